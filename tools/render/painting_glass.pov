// povray: +W384 +H288 +A0.1 +AM2 +R2 -V
// A hung painting of the gallery: a still life of a glass ball, a lemon and a
// blue jug on a draped cloth by a window, the glass ball echoing the one that
// stands in the room. Warm key light from the left, deep brown ground.
#version 3.7;
global_settings { assumed_gamma 1.0 max_trace_level 8 ambient_light 0 }

camera { location <0, 2.2, -6.5> look_at <0, 1.0, 0> angle 40 right x*4/3 }

background { rgb <0.05, 0.035, 0.025> }
light_source { <-6, 7, -4> rgb <1.25, 1.05, 0.8> area_light <2, 0, 0>, <0, 2, 0>, 3, 3 adaptive 1 jitter }
light_source { <5, 3, -6> rgb <0.12, 0.14, 0.2> shadowless }

// Back wall with a window glow.
plane { z, 4
  pigment { gradient x color_map { [0 rgb <0.09, 0.07, 0.05>] [0.5 rgb <0.2, 0.15, 0.1>] [1 rgb <0.09, 0.07, 0.05>] } scale 10 translate -5 * x }
  finish { diffuse 0.7 }
}

// Table with a draped cloth.
box { <-6, -1, -3>, <6, 0, 5>
  pigment { rgb <0.75, 0.72, 0.66> }
  normal { wrinkles 0.35 scale <2, 0.3, 0.4> }
  finish { diffuse 0.8 }
}

// The glass ball.
sphere { <-0.6, 1.0, 0.2>, 1.0
  pigment { rgbf <0.95, 0.97, 1.0, 0.95> }
  finish { specular 0.9 roughness 0.002 reflection { 0.05, 0.4 fresnel on } diffuse 0.02 }
  interior { ior 1.5 }
}
// A lemon.
sphere { 0, 1 scale <0.62, 0.45, 0.45> rotate 20 * y translate <1.1, 0.43, -0.6>
  pigment { rgb <0.95, 0.72, 0.08> }
  normal { dents 0.4 scale 0.05 }
  finish { diffuse 0.8 specular 0.3 roughness 0.05 }
}
// A blue jug.
lathe { cubic_spline 9,
  <0, 0>, <0, 0>, <0.55, 0.05>, <0.72, 0.7>, <0.45, 1.6>, <0.38, 2.1>, <0.5, 2.45>, <0.48, 2.5>, <0.4, 2.5>
  pigment { rgb <0.1, 0.22, 0.55> }
  finish { diffuse 0.7 specular 0.5 roughness 0.02 reflection 0.05 }
  translate <1.7, 0, 1.4>
}
