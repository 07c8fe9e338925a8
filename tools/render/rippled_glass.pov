// povray: +W256 +H256 +A0.1 +AM2 +R2 -V
// The room's glass case as one continuous sheet of rippled cast glass,
// seen straight on and lit from behind by a rose-violet glow. Its face
// carries slow crossing swells, bent by one another so no line runs
// straight, and the swells lens the glow into soft bright crests and dim
// troughs; a key light from the upper left glints along the crests. No
// block, joint or frame: the room shows dozens of repeats at once, and any
// edge inside the repeat drew a tiled floor. Every wave has a whole number
// of cycles across the picture and the camera is orthographic, so the
// picture tiles without a seam.
#version 3.7;
global_settings { assumed_gamma 1.0 ambient_light 0 max_trace_level 12 }

camera { orthographic location <0.5, 0.5, -5> look_at <0.5, 0.5, 0> right x up y }

light_source { <-0.7, 1.0, -1.2> * 1000 rgb <1.0, 0.9, 1.0> * 1.2 }

#declare T = 2 * pi;
// The glow behind the glass: nearly even rose-violet with broad, warped
// brighter drifts; the ripples lens it into crests and troughs.
#declare Glow = function(x, y) {
  0.55 + 0.25 * sin(T * (x + y + 0.25 * sin(T * (x - 2 * y))))
       + 0.15 * sin(T * (2 * x - y + 0.3 * sin(T * y))) }
plane { z, 0.5
  pigment { function { Glow(x, y) }
    color_map { [0.0 rgb <0.1, 0.03, 0.2>] [0.35 rgb <0.26, 0.06, 0.38>] [0.65 rgb <0.55, 0.14, 0.52>]
                [0.9 rgb <0.85, 0.3, 0.6>] [1.0 rgb <0.95, 0.42, 0.64>] } }
  finish { emission 1 diffuse 0 }
}
// What the glass mirrors on the camera's side: the dusk, indigo above and
// rose low down, so every ripple's slope catches a band of it.
sky_sphere { pigment { gradient y color_map { [0.0 rgb <0.9, 0.4, 0.5>] [0.45 rgb <0.45, 0.15, 0.5>]
                                               [0.55 rgb <0.12, 0.05, 0.3>] [1.0 rgb <0.02, 0.01, 0.08>] }
                       scale 2 translate -1 } }

// The glass face: ripples with sharp crests and broad troughs, like cast
// water glass, in three directions, each warped by another.
#declare Crest = function(u) { 1 - 2 * pow(abs(sin(pi * u)), 0.8) }
#declare Swell = function(x, y) {
  0.45 * Crest(2 * x + y + 0.35 * sin(T * (y - x)))
  + 0.35 * Crest(-x + 2 * y + 0.3 * sin(T * (x + 2 * y)))
  + 0.25 * Crest(3 * x - y + 0.25 * sin(T * (2 * y))) }
box { <-1, -1, 0>, <2, 2, 0.2>
  texture {
    pigment { rgbf <0.94, 0.92, 1.0, 0.95> }
    normal { function { 0.5 + 0.18 * Swell(x, y) } 1.0 }
    finish { ambient 0 diffuse 0.04 specular 0.8 roughness 0.008 reflection { 0.12, 0.5 fresnel } conserve_energy }
  }
  interior { ior 1.5 }
}
