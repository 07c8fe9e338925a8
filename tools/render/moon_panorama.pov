// povray: +W2560 +H768 +A0.08 +AM2 +R2 -V
// The five-panel moon panorama as one night seascape seen from a fixed point:
// a cylinder camera turns through 200 degrees (40 per panel), so the panels cut
// from it meet exactly. The lower third of the render is cut away by the
// generator, which puts the horizon a quarter up the panels.
#version 3.7;
#declare Noise = function { pattern { bozo } }
global_settings { assumed_gamma 1.0 ambient_light 0 max_trace_level 6 }

camera { cylinder 1 location <0, 1, 0> direction z right x*5 up y*1.047 angle 200 }

// Panorama x (0..5) to a direction at elevation e (degrees).
#macro Dir(X, E) <sin(radians((X - 2.5) * 40)), tan(radians(E)), cos(radians((X - 2.5) * 40))> #end
#declare MoonX = 1.85; #declare MoonE = 16.8; #declare MoonR = 62;
#declare Moon2X = 4.05; #declare Moon2E = 13.7; #declare Moon2R = 22;
#declare MoonD = vnormalize(Dir(MoonX, MoonE));
#declare Moon2D = vnormalize(Dir(Moon2X, Moon2E));

// The cloud bands' density, and a thin band at their edges.
#declare Cloud = function { pattern { wrinkles turbulence 0.4 scale <0.5, 0.035, 0.5> translate <0.3, 0.1, 0> } }
#declare MDx = MoonD.x; #declare MDy = MoonD.y; #declare MDz = MoonD.z;
#declare MoonDist = function(x, y, z) { sqrt((x - MDx) * (x - MDx) + (y - MDy) * (y - MDy) + (z - MDz) * (z - MDz)) }
#declare CloudEdge = function(x, y, z) { max(0, 1 - abs(Cloud(x, y, z) - 0.7) / 0.07) }

sky_sphere {
  // Layers: the first is the bottom one.
  pigment { gradient y color_map {
    [0.00 rgb <0.05, 0.075, 0.17>]
    [0.15 rgb <0.018, 0.032, 0.10>]
    [0.50 rgb <0.005, 0.01, 0.04>] } }
  pigment { bozo scale 0.0032
    color_map { [0 rgbt <0, 0, 0, 1>] [0.78 rgbt <0, 0, 0, 1>] [0.86 rgbt <0.9, 0.93, 1, 0>] [1 rgbt <1, 1, 1, 0>] } }
  // Mist over the sea hides the stars near the horizon.
  pigment { gradient y
    color_map { [0 rgbt <0.06, 0.08, 0.17, 0>] [0.06 rgbt <0.04, 0.06, 0.13, 0.6>] [0.2 rgbt <0, 0, 0, 1>] [1 rgbt <0, 0, 0, 1>] } }
  // Thin drifting cloud bands, lit faintly from the moon side.
  pigment { wrinkles turbulence 0.4 scale <0.5, 0.035, 0.5> translate <0.3, 0.1, 0>
    color_map { [0.0 rgbt <0, 0, 0, 1>] [0.5 rgbt <0, 0, 0, 1>] [0.75 rgbt <0.12, 0.15, 0.25, 0.6>] [1 rgbt <0.22, 0.25, 0.36, 0.35>] } }
  // Near the moon the clouds' thin edges catch its light: a silver lining,
  // brightest close to the disc, so the sky there has depth, not one flat wash.
  pigment { function { CloudEdge(x, y, z) * max(0, 1 - MoonDist(x, y, z) / 0.7) }
    color_map { [0 rgbt <0, 0, 0, 1>] [0.25 rgbt <0.35, 0.4, 0.55, 0.7>] [1 rgbt <0.85, 0.88, 1, 0.1>] } }
  pigment { spherical scale 0.25 translate Moon2D
    color_map { [0 rgbt <0, 0, 0, 1>] [1 rgbt <0.12, 0.15, 0.25, 0.7>] } }
  pigment { spherical scale 0.07 translate Moon2D
    color_map { [0 rgbt <0, 0, 0, 1>] [1 rgbt <0.5, 0.55, 0.7, 0.4>] } }
  pigment { spherical scale 0.55 translate MoonD
    color_map { [0 rgbt <0, 0, 0, 1>] [0.6 rgbt <0.1, 0.14, 0.26, 0.75>] [1 rgbt <0.2, 0.25, 0.4, 0.55>] } }
  // Halo: a bright soft ring close to the disc, a wide faint glow beyond.
  pigment { spherical scale 0.14 translate MoonD
    color_map { [0 rgbt <0, 0, 0, 1>] [0.5 rgbt <0.3, 0.36, 0.5, 0.75>] [1 rgbt <0.75, 0.8, 0.9, 0.2>] } }
}

// The moon: a cratered face, brighter at its middle; a thin veil a little
// wider softens its edge. The water reflects a brighter stand-in (no_image)
// so the glitter path shines while the visible face stays unclipped.
sphere { MoonD * 1000, MoonR
  pigment { bozo turbulence 0.5 scale 22 color_map { [0 rgb <0.92, 0.91, 0.86>] [0.45 rgb <0.86, 0.86, 0.84>] [0.6 rgb <0.62, 0.65, 0.7>] [1 rgb <0.55, 0.58, 0.64>] } }
  finish { emission 1 diffuse 0 } no_shadow no_reflection }
sphere { MoonD * 995, MoonR * 1.06 pigment { rgbt <0.8, 0.84, 0.92, 0.6> } finish { emission 1 diffuse 0 } no_shadow no_reflection }
sphere { MoonD * 1000, MoonR * 1.1 pigment { rgb <1, 0.97, 0.9> } finish { emission 9 diffuse 0 } no_shadow no_image }
// A column of light under each moon, seen only in the water: the ripples
// break its mirror image into the glittering path down to the shore.
#macro Path(X, E, R, Bright)
box { <-4 * R, 0, -1>, <4 * R, 1000 * tan(radians(E)), 1>
  pigment { function { max(0, 1 - abs(x) / (R * (0.3 + 1.7 * y / (1000 * tan(radians(E)))))) }
    pigment_map { [0 rgbt <0, 0, 0, 1>]
      [1 bozo scale <R * 0.12, 0.8, 9> color_map { [0 rgbt <0, 0, 0, 1>] [0.5 rgbt <0, 0, 0, 1>] [0.75 rgb <0.9, 0.92, 1> * Bright] }] } }
  finish { emission 1 diffuse 0 } no_shadow no_image
  translate z * 1000 rotate y * (X - 2.5) * 40 }
#end
Path(MoonX, MoonE, MoonR, 9)
// Sparse glints far off the path: on a real swell the moon's sparkle spreads
// wide and thins out, so the dark water round the path is not dead.
box { <-14 * MoonR, 0, -1>, <14 * MoonR, 1000 * tan(radians(MoonE)), 1>
  pigment { function { max(0, 1 - abs(x) / (MoonR * (1 + 11 * y / (1000 * tan(radians(MoonE)))))) }
    pigment_map { [0 rgbt <0, 0, 0, 1>]
      [1 bozo scale <MoonR * 0.05, 0.5, 9> color_map { [0 rgbt <0, 0, 0, 1>] [0.74 rgbt <0, 0, 0, 1>] [0.86 rgb <0.8, 0.86, 1> * 5] }] } }
  finish { emission 1 diffuse 0 } no_shadow no_image
  translate z * 1020 rotate y * (MoonX - 2.5) * 40 }
Path(Moon2X, Moon2E, Moon2R, 5)
sphere { Moon2D * 1000, Moon2R
  pigment { granite scale 20 color_map { [0 rgb <0.9, 0.92, 0.95>] [1 rgb <0.7, 0.74, 0.8>] } }
  finish { emission 1 diffuse 0 } no_shadow no_reflection }
sphere { Moon2D * 1000, Moon2R * 1.1 pigment { rgb <0.9, 0.94, 1> } finish { emission 5 diffuse 0 } no_shadow no_image }

light_source { MoonD * 5000 rgb <0.35, 0.4, 0.55> }

// Headlands: ridges that fall into the sea, paler with distance. The rippled
// water does not mirror them: their broken dark images cut the lit water into
// bands with wavy, tilted edges that read as panels that do not line up.
#macro Headland(X, Dist, W, H, D, Seed, Ends, Col)
height_field {
  function 600, 80 {
    max(0, min(1,
      pow(max(0, sin(pi * x)), 0.7) * (1 - pow(2 * y - 1, 2))
      * (0.15 + 0.9 * Noise(x * 5 + Seed, y * 2, Seed) + 0.15 * Noise(x * 40, y * 9, Seed + 1))))
  }
  smooth
  translate <-0.5, 0, 0> scale <W, H, D> translate <0, -0.01, Dist>
  rotate y * (X - 2.5) * 40
  pigment { gradient y scale H * 1.0 color_map { [0 rgb Col] [0.8 rgb Col * 1.3] [1 rgb Col * 2.2] } }
  finish { emission 1 diffuse 0.15 }
  no_reflection
}
#end
// Far ranges in haze.
Headland(0.9, 900, 1200, 40, 200, 3, 1, <0.045, 0.065, 0.13>)
Headland(2.3, 760, 340, 16, 120, 29, 1, <0.035, 0.05, 0.105>)
Headland(4.3, 900, 1000, 20, 200, 7, 1, <0.045, 0.065, 0.13>)
// Middle headland on the left, falling into the sea before the moon's path.
Headland(0.55, 420, 420, 40, 140, 11, 1, <0.018, 0.028, 0.06>)
// Near headland on the right of the path.
Headland(3.15, 260, 330, 34, 120, 17, 1, <0.006, 0.009, 0.02>)
Headland(3.75, 360, 260, 14, 100, 23, 1, <0.02, 0.03, 0.06>)
// The coast closes the view at the right end: a near cliff rising out of the
// water where the scroll runs out, a dark rock face with the moon behind the
// viewer's left, so the picture ends in a shape instead of a band of sky
// fading to black. Flat black, it read as a dead mass filling the right side.
height_field {
  function 600, 80 {
    max(0, min(1,
      pow(max(0, sin(pi * x)), 0.9) * (1 - pow(2 * y - 1, 2))
      * (0.35 + 0.5 * Noise(x * 5 + 41, y * 2, 41) + 0.25 * Noise(x * 16, y * 5, 43)
         + 0.1 * Noise(x * 60, y * 12, 42))))
  }
  smooth
  translate <-0.5, 0, 0> scale <150, 95, 60> translate <0, -0.01, 70>
  rotate y * 2.65 * 40
  // Weathered rock in ledges, lit by the moon: its own light picks out the
  // facets and ledges, so the face reads as stone, not a black cut-out.
  pigment { gradient y scale 95 turbulence 0.05
    pigment_map {
      [0 granite scale 9 color_map { [0 rgb <0.03, 0.035, 0.06>] [1 rgb <0.06, 0.07, 0.11>] }]
      [0.75 granite scale 9 color_map { [0 rgb <0.05, 0.06, 0.1>] [1 rgb <0.09, 0.1, 0.16>] }]
      [1 granite scale 9 color_map { [0 rgb <0.1, 0.11, 0.17>] [1 rgb <0.16, 0.18, 0.26>] }] } }
  normal { average normal_map {
    [2 granite 0.9 scale 7]
    [1 gradient y 0.8 scale 3.5 turbulence 0.6 triangle_wave] } }
  finish { emission 0.12 diffuse 0.8 }
  no_reflection
}

// The view opens on the same coast at its left end: a near bluff, lower and
// narrower than the cliff, rising out of the water just left of the first
// panel, where the scroll shows only the cleared dark for the first seconds.
// The dark then reads as the bluff's shadowed side, with a rock outline
// against the sky, not as a band where the picture stops.
height_field {
  function 600, 80 {
    max(0, min(1,
      pow(max(0, sin(pi * x)), 0.8) * (1 - pow(2 * y - 1, 2))
      * (0.35 + 0.5 * Noise(x * 5 + 51, y * 2, 51) + 0.25 * Noise(x * 16, y * 5, 53)
         + 0.1 * Noise(x * 60, y * 12, 52))))
  }
  smooth
  translate <-0.5, 0, 0> scale <60, 85, 40> translate <0, -0.01, 55>
  rotate y * -2.75 * 40
  // Seen large at the start, an even grey face read as mud: darker cracks,
  // paler moonlit ledges and a sharper grain make it read as stone.
  pigment { gradient y scale 85 turbulence 0.05
    pigment_map {
      [0 granite scale 6 color_map { [0 rgb <0.015, 0.02, 0.04>] [0.6 rgb <0.05, 0.06, 0.1>] [1 rgb <0.09, 0.1, 0.15>] }]
      [0.75 granite scale 6 color_map { [0 rgb <0.025, 0.03, 0.06>] [0.6 rgb <0.08, 0.09, 0.14>] [1 rgb <0.14, 0.15, 0.22>] }]
      [1 granite scale 6 color_map { [0 rgb <0.06, 0.07, 0.11>] [0.6 rgb <0.15, 0.17, 0.24>] [1 rgb <0.24, 0.26, 0.35>] }] } }
  normal { average normal_map {
    [2 granite 1.0 scale 7]
    [1.5 gradient y 1.2 scale 2.5 turbulence 0.7 triangle_wave]
    [1 crackle 0.6 scale 6] } }
  finish { emission 0.08 diffuse 1.0 specular 0.15 roughness 0.05 }
  no_reflection
}

// The sea: dark, reflective, rippled into a glittering path under each moon.
plane { y, 0
  pigment { rgb <0.002, 0.004, 0.012> }
  normal { average normal_map { [1 bumps 0.8 scale <0.16, 1, 0.035>] [1 wrinkles 0.3 scale <0.5, 1, 0.1>] } }
  finish { diffuse 0.1 reflection { 0.004, 0.06 falloff 5 } specular 0 }
}
