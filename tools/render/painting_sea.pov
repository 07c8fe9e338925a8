// povray: +W384 +H288 +A0.1 +AM2 +R2 -V
// A hung painting of the gallery: the open sea at dusk, a low sun behind a
// headland with its lighthouse, warm light laid across the swell. Painted in
// big, soft masses so it still reads at the size of a thumbnail.
#version 3.7;
global_settings { assumed_gamma 1.0 ambient_light 0 }

camera { location <0, 1.2, -8> look_at <0, 1.6, 20> angle 48 right x*4/3 }

sky_sphere {
  pigment {
    gradient y
    color_map {
      [0.00 rgb <1.00, 0.62, 0.30>]
      [0.04 rgb <0.95, 0.45, 0.30>]
      [0.12 rgb <0.55, 0.30, 0.42>]
      [0.30 rgb <0.16, 0.16, 0.34>]
      [1.00 rgb <0.04, 0.05, 0.14>]
    }
  }
}

// The sun, low and soft.
light_source { <-60, 22, 400> rgb <1.4, 0.9, 0.55> }
sphere { <-60, 20, 400>, 14 pigment { rgbt <1.0, 0.85, 0.55, 0> } finish { emission 1.3 diffuse 0 } no_shadow }

// Long streaks of cloud lit from below.
#declare CloudRand = seed(7);
#for (k, 0, 13)
  #declare cx = -220 + 440 * rand(CloudRand);
  #declare cy = 35 + 75 * rand(CloudRand);
  sphere { 0, 1 scale <60 + 60 * rand(CloudRand), 3 + 3 * rand(CloudRand), 1> translate <cx, cy, 420>
    pigment { rgbt <0.95, 0.55 + 0.2 * rand(CloudRand), 0.45, 0.55> }
    finish { emission 0.55 diffuse 0 } no_shadow }
#end

// The sea: a dark swell that mirrors the sky.
plane { y, 0
  pigment { rgb <0.02, 0.05, 0.09> }
  normal { bumps 0.45 scale <3, 1, 0.6> }
  finish { reflection { 0.15, 0.9 fresnel on } specular 0.6 roughness 0.01 diffuse 0.1 }
  interior { ior 1.33 }
}

// Headland and lighthouse on the right.
blob {
  threshold 0.5
  sphere { <40, -6, 140>, 38, 1 }
  sphere { <70, -4, 150>, 34, 1 }
  sphere { <95, -10, 130>, 40, 1 }
  pigment { rgb <0.06, 0.05, 0.07> }
  finish { diffuse 0.4 }
}
union {
  cone { <0, 0, 0>, 1.6, <0, 12, 0>, 1.0 }
  cylinder { <0, 12, 0>, <0, 13.5, 0>, 1.3 }
  cone { <0, 13.5, 0>, 1.5, <0, 15.5, 0>, 0 }
  pigment { rgb <0.55, 0.5, 0.5> } finish { diffuse 0.6 }
  translate <52, 12, 146>
}
sphere { <52, 24.7, 145>, 1.6 pigment { rgb <1, 0.95, 0.7> } finish { emission 2 diffuse 0 } no_shadow }

// A sail far out, catching the last light.
prism { linear_spline 0, 0.02, 4, <0, 0>, <2.2, 0>, <0, 4.5>, <0, 0>
  rotate -90 * x rotate 20 * y translate <-14, 0.4, 70>
  pigment { rgb <1.0, 0.8, 0.6> } finish { emission 0.4 diffuse 0.6 } }
