// povray: +W1024 +H1024 +A0.1 +AM2 +R2 -V
// The painting that breaks into tiles just before the underwater scene and
// that the scene's trail starts from: a sunlit sea floor of pale sand and dark
// rocks with coral, swaying weed, a school of orange fish and shafts of light
// from a bright surface, sinking into deep blue. It is also cut into 20 x 20
// tiles, so every part of it carries something: the water holds fish and
// shafts, the surface a sun glow and ripples. Square, shown stretched to 4:3.
#version 3.7;
global_settings { assumed_gamma 1.0 ambient_light 0 }

camera { location <0, 2.2, -9> look_at <0, 3.2, 6> angle 62 right x * 0.75 }

background { rgb <0.0, 0.05, 0.16> }
fog { distance 24 rgb <0.03, 0.2, 0.4> }

light_source { <10, 60, 20> rgb <1.3, 1.4, 1.3> }
light_source { <-5, 8, -10> rgb <0.05, 0.12, 0.18> shadowless }

// The surface far above, bright where the sun comes through.
plane { y, 14 hollow
  pigment { bozo color_map { [0 rgb <0.2, 0.55, 0.7>] [0.55 rgb <0.04, 0.2, 0.4>] [0.8 rgb <0.35, 0.7, 0.9>] [1 rgb <0.9, 1.0, 1.0>] } scale <2.5, 1, 1.2> }
  finish { emission 0.8 diffuse 0 } }

// The sun's glow through the surface, upper right.
disc { <3, 13.9, 12>, y, 5 no_shadow
  pigment { spherical color_map { [0 rgbt 1] [1 rgbt <1.0, 1.0, 0.9, 0>] } poly_wave 2 scale 5 translate <3, 13.9, 12> }
  finish { emission 1.2 diffuse 0 } }

// Sand with ripples and light network. Warm and saturated: the blue fog
// mixes a grey sand into olive over the near floor, so the sand's own colour
// carries enough gold to stay sunlit beige through it. The network is thin,
// bright and wavy, as sunlight focused by the swell lies on sand: straight
// broad cell edges read as crazy paving.
height_field { function 256, 256 { pattern { bumps scale 0.08 } }
  smooth scale <60, 0.9, 60> translate <-30, -0.6, -20>
  pigment { crackle turbulence 0.35 octaves 3 omega 0.4
    color_map { [0 rgb <1.3, 1.18, 0.82>] [0.035 rgb <1.0, 0.82, 0.48>] [0.09 rgb <0.66, 0.48, 0.26>] [1 rgb <0.56, 0.4, 0.22>] }
    scale <0.5, 0.5, 0.38> }
  normal { ripples 0.3 scale 0.5 }
  finish { emission 0.16 diffuse 1.1 } }

// Rocks.
#declare R = seed(5);
#for (k, 0, 5)
  blob { threshold 0.5
    sphere { 0, 1.4, 1 } sphere { <0.8, 0.3, 0.2>, 1.1, 1 } sphere { <-0.7, 0.1, 0.4>, 1.0, 1 }
    scale <1.2 + rand(R), 0.8 + 0.5 * rand(R), 1 + rand(R)>
    translate <-9 + 18 * rand(R), -0.2, -1 + 10 * rand(R)>
    pigment { granite color_map { [0 rgb <0.12, 0.14, 0.15>] [1 rgb <0.3, 0.3, 0.28>] } scale 0.7 }
    normal { granite 0.5 scale 0.4 } finish { diffuse 0.7 } }
#end

// Weed: swaying green ribbons.
#for (k, 0, 17)
  #declare wx = -8 + 16 * rand(R);
  #declare wz = 0 + 8 * rand(R);
  #declare wh = 2.5 + 3 * rand(R);
  sphere_sweep { cubic_spline 5,
    <wx, -1, wz>, 0.06, <wx, 0, wz>, 0.07, <wx + 0.4 * rand(R), wh * 0.5, wz>, 0.05,
    <wx - 0.3, wh, wz + 0.2>, 0.02, <wx - 0.5, wh + 1, wz + 0.3>, 0.01
    pigment { rgb <0.1, 0.45 + 0.2 * rand(R), 0.2> } finish { diffuse 0.8 specular 0.2 } }
#end

// Fish: goldfish with a full body, a forked tail, a back fin and a dark eye
// in a pale ring, graded from a deep red-orange back to a gold belly, so
// each reads as a fish at the size a tile shows it; a plain orange pill with
// a cone for a tail read as a blocky blob once magnified on screen.
#macro Fish(P, S, A)
  union {
    union {
      sphere { 0, 1 scale <0.5, 0.24, 0.13> }
      cone { <-0.28, 0, 0>, 0.14, <-0.52, 0, 0>, 0.045 scale <1, 1, 0.5> }
      texture {
        pigment { gradient y
          color_map { [0 rgb <1.0, 0.74, 0.3>] [0.4 rgb <1.0, 0.5, 0.06>] [0.75 rgb <0.92, 0.26, 0.02>] [1 rgb <0.65, 0.1, 0.02>] }
          scale 0.5 translate -0.24 * y }
        normal { bumps 0.2 scale 0.035 }
        finish { emission 0.4 diffuse 0.8 specular 0.7 roughness 0.015 } }
      // Scales: each a paler middle with a thin darker rim, so the body
      // reads as a living fish, not a flat cut-out with a gradient.
      texture {
        pigment { crackle scale <0.07, 0.05, 0.07>
          color_map { [0 rgbt <1.0, 0.58, 0.12, 0.72>] [0.3 rgbt 1] [0.75 rgbt 1] [1 rgbt <0.5, 0.08, 0.0, 0.35>] } }
        finish { emission 0.4 diffuse 0.8 } } }
    // Tail, back fin and belly fin: flat, a little translucent, brighter at
    // the edges the light comes through.
    union {
      prism { linear_spline -0.015, 0.015, 6,
        <-0.48, 0>, <-0.9, 0.34>, <-0.8, 0.02>, <-0.9, -0.3>, <-0.48, 0>, <-0.48, 0> }
      prism { linear_spline -0.012, 0.012, 4, <0.2, 0.2>, <-0.12, 0.38>, <-0.3, 0.14>, <0.2, 0.2> }
      prism { linear_spline -0.012, 0.012, 4, <-0.05, -0.18>, <-0.22, -0.3>, <-0.3, -0.12>, <-0.05, -0.18> }
      // Fin rays fanning from the tail's root, clear membrane between them.
      pigment { radial frequency 36
        color_map { [0 rgbt <0.95, 0.34, 0.02, 0>] [0.35 rgbt <0.95, 0.34, 0.02, 0>]
                    [0.5 rgbt <1.0, 0.46, 0.06, 0.3>] [1 rgbt <1.0, 0.46, 0.06, 0.3>] }
        translate <-0.45, 0, 0> }
      rotate -90 * x
      finish { emission 0.55 diffuse 0.6 } }
    // The eye: black with a catch-light, in a pale gold ring, both sides.
    #for (side, -1, 1, 2)
      sphere { <0.34, 0.05, 0.095 * side>, 0.05 pigment { rgb <1.0, 0.9, 0.6> } finish { emission 0.5 } }
      sphere { <0.355, 0.05, 0.115 * side>, 0.032 pigment { rgb 0.01 } finish { specular 1.0 roughness 0.002 } }
    #end
    scale S rotate A * y translate P }
#end
// A few large fish near the viewer, the painting's main shapes.
Fish(<-2.4, 3.1, -3>, 1.05, 15)
Fish(<-0.9, 3.9, -2>, 0.85, 25)
Fish(<1.7, 2.5, -3.5>, 1.0, -165)
Fish(<2.6, 4.0, -1>, 0.75, -160)
Fish(<0.3, 4.8, 0>, 0.65, 5)
// A school higher up, smaller with distance, all heading one way.
#declare F = seed(17);
#for (k, 0, 23)
  #declare fz = -2 + 9 * rand(F);
  Fish(<-7 + 14 * rand(F), 4.2 + 3.5 * rand(F) + 0.3 * fz, fz>, 0.5 + 0.3 * rand(F), 160 + 30 * rand(F))
#end

// Coral on the rocks: warm fans and branches, bright against the dark stone.
#macro Coral(P, S, C)
  union {
    #for (b, 0, 6)
      cone { 0, 0.06, <0.5 * sin(b * 0.9), 0.7 + 0.3 * rand(R), 0.5 * cos(b * 1.7)>, 0.02 }
      sphere { <0.5 * sin(b * 0.9), 0.7, 0.5 * cos(b * 1.7)>, 0.08 }
    #end
    pigment { rgb C } finish { emission 0.25 diffuse 0.9 }
    scale S translate P }
#end
Coral(<-6.5, 0.6, 2>, 1.8, <1.0, 0.35, 0.45>)
Coral(<-3.8, 0.5, 1>, 1.5, <1.0, 0.6, 0.2>)
Coral(<3.5, 0.5, 2.5>, 1.7, <0.9, 0.3, 0.7>)
Coral(<6.0, 0.4, 4>, 1.5, <1.0, 0.5, 0.3>)
Coral(<0.5, 0.3, 5>, 1.3, <0.95, 0.8, 0.3>)


// Shafts of light: faint glowing slabs from the surface.
#for (k, 0, 6)
  box { <-0.25, 0, -0.05>, <0.25, 16, 0.05>
    rotate <0, 30 * rand(R), 14 + 6 * rand(R)> translate <-6 + 12 * rand(R), -1, 3 + 6 * rand(R)>
    pigment { rgbt <0.7, 0.9, 1.0, 0.88> } finish { emission 0.7 diffuse 0 } no_shadow hollow }
#end

// Farther off, a second school, small and paler with distance, so the open
// water between the near fish and the rocks has depth and every tile there
// carries something.
#declare G = seed(29);
#for (k, 0, 29)
  #declare gz = 9 + 9 * rand(G);
  Fish(<-12 + 24 * rand(G), 1.6 + 2.4 * rand(G) + 0.12 * gz, gz>, 0.35 + 0.2 * rand(G), 170 + 20 * rand(G))
#end

// Streams of bubbles rising from the rocks and the coral, each a small glassy
// bead with a bright highlight, thinning out as they rise.
#declare B = seed(41);
#for (stream, 0, 6)
  #declare bx = -7 + 14 * rand(B);
  #declare bz = 0.5 + 6 * rand(B);
  #for (k, 0, 22)
    #declare by = 0.6 + 0.45 * k + 0.3 * rand(B);
    sphere { <bx + 0.25 * sin(k * 0.9 + stream) + 0.1 * rand(B), by, bz + 0.1 * rand(B)>,
      0.05 + 0.07 * rand(B) * (1 - k / 30)
      pigment { rgbt <0.85, 0.95, 1.0, 0.55> }
      finish { emission 0.35 diffuse 0.2 specular 1.2 roughness 0.005 reflection 0.2 }
      no_shadow }
  #end
#end

// Near the viewer, in the lowest rows: smaller dark stones with coral on
// them, so the tiles there carry dark shapes against the sand, not an even
// floor. Last in the file: the coral takes numbers from R, which would
// otherwise move the shafts.
#declare N = seed(53);
#for (k, 0, 4)
  #declare nx = -3.4 + 1.7 * k + 0.6 * rand(N);
  #declare nz = -4.6 + 1.6 * rand(N);
  // The sun stands behind them: the light the pale sand throws back up
  // models their near faces, so they read as stones, not as holes.
  light_group {
  light_source { <nx, 1.0, nz - 2.5> rgb <0.36, 0.32, 0.24> shadowless }
  blob { threshold 0.5
    sphere { 0, 0.8, 1 } sphere { <0.45, 0.15, 0.1>, 0.6, 1 } sphere { <-0.4, 0.05, 0.2>, 0.55, 1 }
    scale <0.7 + 0.4 * rand(N), 0.75 + 0.3 * rand(N), 0.6 + 0.3 * rand(N)>
    translate <nx, -0.3, nz>
    pigment { granite color_map { [0 rgb <0.2, 0.19, 0.18>] [1 rgb <0.5, 0.44, 0.36>] } scale 0.4 }
    normal { granite 0.6 scale 0.25 } finish { diffuse 0.9 } }
  global_lights on }
  #if (mod(k, 2) = 0)
    Coral(<nx + 0.2, 0.15, nz>, 0.8, <1.0, 0.4 + 0.2 * rand(N), 0.25>)
  #else
    Coral(<nx - 0.1, 0.15, nz>, 0.75, <0.95, 0.3, 0.6>)
  #end
#end
