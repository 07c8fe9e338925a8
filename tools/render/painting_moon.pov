// povray: +W384 +H288 +A0.1 +AM2 +R2 -V
// A hung painting of the gallery: a moonlit landscape, dark cypresses on
// rolling hills under a large pale moon, the night sky in deep blue.
#version 3.7;
global_settings { assumed_gamma 1.0 ambient_light 0 }

camera { location <0, 3, -30> look_at <0, 8, 40> angle 50 right x*4/3 }

sky_sphere {
  pigment { gradient y color_map {
    [0.00 rgb <0.20, 0.24, 0.40>]
    [0.15 rgb <0.07, 0.10, 0.26>]
    [1.00 rgb <0.01, 0.02, 0.07>] } }
}
light_source { <-80, 120, 300> rgb <0.55, 0.62, 0.8> }
// The moon with a soft halo.
sphere { <-45, 70, 300>, 12 pigment { rgb <1, 0.97, 0.85> } finish { emission 1.2 diffuse 0 } no_shadow }
sphere { <-45, 70, 302>, 30 pigment { rgbt <0.6, 0.65, 0.8, 0.96> } finish { emission 0.6 diffuse 0 } no_shadow }

// Rolling hills.
#declare Hills = blob { threshold 0.5
  sphere { <-60, -22, 200>, 80, 1 }
  sphere { <20, -30, 170>, 85, 1 }
  sphere { <90, -20, 230>, 95, 1 }
  sphere { <-10, -60, 90>, 80, 1 } }
object { Hills pigment { rgb <0.16, 0.2, 0.16> } normal { bumps 0.3 scale 6 } finish { diffuse 0.8 } }
plane { y, -2 pigment { rgb <0.05, 0.08, 0.07> } finish { diffuse 0.7 } }

// Cypresses.
#declare R = seed(3);
#for (k, 0, 8)
  #declare px = -40 + 80 * rand(R);
  #declare pz = 40 + 120 * rand(R);
  #declare h = 14 + 12 * rand(R);
  sphere { 0, 1 scale <1.8, h * 0.5, 1.8> translate <px, h * 0.45, pz>
    pigment { rgb <0.02, 0.05, 0.035> } normal { bumps 0.6 scale 0.8 } finish { diffuse 0.6 } }
#end
