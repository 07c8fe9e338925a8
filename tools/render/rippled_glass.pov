// povray: +W256 +H256 +A0.1 +AM2 +R2 -V
// The room's glass case as one continuous sheet of clear cast glass over a
// dark blue-green depth, with the light that the glass's swells focus
// playing across it as a net of bright caustic lines, warm where they
// cross. A net of light reads as glass with light through it; the earlier
// even rose-violet glow under ripples read as one-hue purple noise, and
// every design with an edge inside the repeat drew a tiled floor. The
// room shows dozens of repeats at once, so the net's cells are many and
// uneven. Every wave has a whole number of cycles across the picture and
// the camera is orthographic, so the picture tiles without a seam.
#version 3.7;
global_settings { assumed_gamma 1.0 ambient_light 0 max_trace_level 12 }

camera { orthographic location <0.5, 0.5, -5> look_at <0.5, 0.5, 0> right x up y }

light_source { <-0.7, 1.0, -1.2> * 1000 rgb <1.0, 0.9, 1.0> * 1.2 }

#declare T = 2 * pi;
// Two warped trigonometric nets; their zero lines are the caustics.
#declare WX = function(x, y) { x + 0.1 * sin(T * (x + 2 * y)) + 0.06 * sin(T * (3 * y - x) + 1) }
#declare WY = function(x, y) { y + 0.1 * sin(T * (2 * x - y) + 2) + 0.06 * sin(T * (x + 3 * y)) }
#declare NetA = function(u, v) {
  cos(T * (2 * u + v)) + cos(T * (-u + 2 * v) + 1.1) + cos(T * (u - 3 * v) + 2.3) }
#declare NetB = function(u, v) {
  cos(T * (3 * u - v) + 0.7) + cos(T * (u + 3 * v) + 2.0) + cos(T * (-2 * u + v) + 4.1) }
#declare Line = function(f, w) { exp(-f * f / (w * w)) }
#declare LineA = function(x, y) { Line(NetA(WX(x, y), WY(x, y)), 0.3) }
#declare LineB = function(x, y) { Line(NetB(WY(x, y), WX(x, y)), 0.2) }
#declare Light = function(x, y) {
  0.75 * LineA(x, y) + 0.25 * LineB(x, y) + 0.4 * LineA(x, y) * LineB(x, y)
  + 0.12 * Line(NetA(WX(x, y), WY(x, y)), 0.9) + 0.12 * Line(NetB(WY(x, y), WX(x, y)), 0.9) }
plane { z, 0.5
  pigment { function { min(1, Light(x, y)) }
    color_map { [0.0 rgb <0.01, 0.04, 0.1>] [0.12 rgb <0.03, 0.12, 0.22>] [0.4 rgb <0.25, 0.35, 0.5>]
                [0.75 rgb <1.0, 0.62, 0.38>] [1.0 rgb <1.0, 0.88, 0.62>] } }
  finish { emission 1 diffuse 0 }
}
// What the glass mirrors on the camera's side, faintly: the dusk.
sky_sphere { pigment { gradient y color_map { [0.0 rgb <0.9, 0.4, 0.5>] [0.45 rgb <0.45, 0.15, 0.5>]
                                               [0.55 rgb <0.12, 0.05, 0.3>] [1.0 rgb <0.02, 0.01, 0.08>] }
                       scale 2 translate -1 } }
// The glass face: slow swells that bend the net seen through it.
#declare Swell = function(x, y) {
  0.5 * sin(T * (x + y + 0.2 * sin(T * (x - 2 * y))))
  + 0.35 * sin(T * (2 * x - y) + 1) }
box { <-1, -1, 0>, <2, 2, 0.2>
  texture {
    pigment { rgbf <0.94, 0.96, 1.0, 0.95> }
    normal { function { 0.5 + 0.1 * Swell(x, y) } 1.0 }
    finish { ambient 0 diffuse 0.04 specular 0.6 roughness 0.01 reflection { 0.04, 0.3 fresnel } conserve_energy }
  }
  interior { ior 1.5 }
}
