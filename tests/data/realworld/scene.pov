global_settings { assumed_gamma 1.0 max_trace_level 8 }
camera { location <0, 2.2, -6> look_at <0, 0.8, 0> angle 50 }
light_source { <-6, 9, -5> color rgb <1.0, 0.95, 0.85> area_light <2,0,0>,<0,0,2>,4,4 adaptive 1 jitter }
light_source { <5, 4, -3> color rgb <0.25, 0.3, 0.4> shadowless }
sky_sphere { pigment { gradient y color_map { [0 rgb <0.8,0.85,0.95>] [1 rgb <0.2,0.35,0.7>] } } }
plane { y, 0 pigment { wood turbulence 0.08 color_map { [0 rgb <0.55,0.33,0.15>] [0.7 rgb <0.7,0.45,0.22>] [1 rgb <0.4,0.22,0.1>] } scale 0.15 rotate <90, 30, 0> } normal { bumps 0.05 scale 0.02 } finish { reflection 0.08 specular 0.2 } }
sphere { <-1.4, 0.9, 0.5>, 0.9 pigment { granite color_map { [0 rgb <0.2,0.2,0.22>] [0.4 rgb <0.6,0.58,0.55>] [1 rgb <0.9,0.88,0.85>] } scale 0.7 } normal { granite 0.2 scale 0.3 } finish { phong 0.6 } }
sphere { <0.9, 0.7, -0.4>, 0.7 material { texture { pigment { rgbf <0.9, 0.95, 1, 0.9> } finish { reflection 0.1 phong 0.9 } } interior { ior 1.5 } } }
box { <1.6, 0, 0.8>, <3.0, 1.4, 2.2> rotate <0, -20, 0> pigment { crackle turbulence 0.3 color_map { [0 rgb <0.3,0.25,0.2>] [0.05 rgb <0.5,0.45,0.4>] [1 rgb <0.75,0.7,0.6>] } scale 0.4 } normal { crackle 0.4 scale 0.4 } }
cylinder { <-0.2, 0, 2.5>, <-0.2, 2.6, 2.5>, 0.35 pigment { marble turbulence 0.9 color_map { [0 rgb <0.7,0.2,0.1>] [1 rgb <1,0.8,0.5>] } scale 0.3 } finish { specular 0.4 } }
torus { 0.5, 0.15 rotate <70, 20, 0> translate <-0.3, 0.4, -1.4> pigment { bozo turbulence 0.5 color_map { [0 rgb <1,0.8,0.2>] [1 rgb <0.1,0.4,0.1>] } scale 0.1 } finish { metallic reflection 0.3 } }
