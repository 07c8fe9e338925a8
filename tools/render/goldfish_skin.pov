// povray: +W512 +H512 +A0.1 +AM2 +R3 -V
// The goldfish's skin, seen straight from its side in the texture space the
// body is projected through (s to the right from tail to snout, t up from
// belly to back; goldfish_body.inc is the pack's mesh laid into that space),
// so every shade lands where the body carries it. The Layer's material
// shows the picture nearly at full wherever its light reaches, so this is
// the fish's final look by moonlight: a rounded body, its flank gold and
// its back a deep red-gold in shadow, a pale silver belly, overlapping
// scales whose rims catch a metallic sheen, a dark glossy eye, and fins of
// thin gold film with fine rays over the night.
#version 3.7;
global_settings { assumed_gamma 1.0 max_trace_level 8 }

camera {
  orthographic
  location <3, 0.5, 0.5>
  direction <-1, 0, 0>
  right <0, 0, 1>
  up <0, 1, 0>
}

// Scales: rows along the body, offset by half a scale from row to row, each
// an arc open toward the tail that rises to its rim; smaller toward both ends.
// A fish is seen only 100 to 150 pixels long: scales of a fortieth of the
// body were three-pixel specks there, so they are about a sixteenth, some
// seven rows from belly to back, each wide enough to read as a scale.
#declare ScaleSize = function(z) { 0.036 + 0.008 * sin(pi * min(max((z - 0.33) / 0.45, 0), 1)) }
#declare ScaleRow = function(y, z) { (y - 0.3) / (ScaleSize(z) * 0.8) }
#declare ScaleCol = function(y, z) {
  z / ScaleSize(z) + 0.5 * mod(floor(ScaleRow(y, z)), 2)
}
#declare ScaleArc = function(y, z) {
  sqrt(pow(ScaleCol(y, z) - floor(ScaleCol(y, z)) - 0.5 + 0.45, 2) +
       pow((ScaleRow(y, z) - floor(ScaleRow(y, z)) - 0.5) * 1.15, 2))
}
// A rim a tenth of a scale wide is under a pixel on screen and shimmers;
// at an eighth it stays a soft line.
#declare ScaleRim = function(x, y, z) { exp(-pow((ScaleArc(y, z) - 0.6) / 0.13, 2)) }

#declare SkinTexture = texture {
  pigment {
    slope y
    color_map {
      [0.00 rgb <0.90, 0.89, 0.84>]
      [0.22 rgb <0.86, 0.80, 0.62>]
      [0.32 rgb <0.90, 0.62, 0.25>]
      [0.42 rgb <0.95, 0.45, 0.06>]
      [0.56 rgb <0.85, 0.26, 0.02>]
      [0.70 rgb <0.36, 0.06, 0.01>]
      [1.00 rgb <0.16, 0.025, 0.01>]
    }
  }
  normal { function { ScaleRim(x, y, z) } -0.08 }
  finish {
    ambient 0 emission 0.03
    diffuse 0.75 brilliance 1.4
    specular 0.45 roughness 0.006 metallic 0.9
    reflection { 0.05, 0.25 metallic }
  }
}

// Each scale's rim is a little darker, the lap of the next scale.
#declare ScaleRims = texture {
  pigment {
    function { ScaleRim(x, y, z) * min(max((z - 0.3) / 0.05, 0), 1) * min(max((0.82 - z) / 0.05, 0), 1) }
    color_map { [0.0 rgbt 1] [1.0 rgbt <0.25, 0.06, 0.0, 0.45>] }
  }
  finish { ambient 0 diffuse 0.7 }
}
#declare SkinTexture = texture { SkinTexture } texture { ScaleRims }

// Fins: thin film with fine rays, letting the night through toward the edge,
// the web between the rays fading first, so the edge frays like a veil.
// The tail's rays fan out from its root; the back, belly and pelvic fins'
// rays slant back toward the tail.
#declare TailOut = function(y, z) { min(max((0.31 - z) / 0.25, 0), 1) }
#declare BodyOut = function(y) { min(max(max((y - 0.58) / 0.09, (0.38 - y) / 0.08), 0), 1) }
#declare FinOut = function(y, z) { select(0.31 - z, BodyOut(y), TailOut(y, z)) }
#declare RayAngle = function(y, z) { atan2(y - 0.48, 0.34 - z) }
#declare FinRays = function(x, y, z) {
  select(0.31 - z,
         pow(0.5 + 0.5 * cos(2 * pi * 42 * (z + 0.7 * (y - 0.48) * select(y - 0.48, -1, 1))), 6),
         pow(0.5 + 0.5 * cos(RayAngle(y, z) * 60), 6))
}
#declare FinTexture = texture {
  pigment {
    function { FinRays(x, y, z) * (1 - 0.55 * FinOut(y, z)) }
    color_map {
      [0.0 rgbt <0.95, 0.36, 0.06, 0.55>]
      [0.5 rgbt <1.0, 0.52, 0.14, 0.35>]
      [1.0 rgbt <1.0, 0.74, 0.38, 0.15>]
    }
  }
  finish { ambient 0 emission 0.06 diffuse 0.75 }
}
#declare FinEdge = texture {
  pigment {
    function { min(max((FinOut(y, z) - 0.6 + 0.3 * FinRays(x, y, z)) / 0.35, 0), 1) }
    color_map { [0.0 rgbt 1] [0.4 rgbt <0.05, 0.065, 0.13, 0.6>] [1.0 rgbt <0.003, 0.005, 0.013, 0.05>] }
  }
  finish { ambient 0 diffuse 0.6 }
}
#declare FinTexture = texture { FinTexture } texture { FinEdge }

#include "goldfish_body.inc"
object { FishSkin }

// The eye, where the Layer sets its glows: dark and glossy, a gold iris.
#declare EyeT = 0.526;
#declare EyeS = 0.855;
#declare EyeAt = <0.072, EyeT, EyeS>;
sphere {
  EyeAt, 0.02
  pigment {
    function { min(sqrt(pow(y - EyeT, 2) + pow(z - EyeS, 2)) / 0.02, 1) }
    color_map {
      [0.0 rgb 0.01] [0.45 rgb 0.02] [0.55 rgb <0.7, 0.5, 0.15>] [0.85 rgb <0.45, 0.25, 0.06>]
      [1.0 rgb <0.2, 0.08, 0.02>]
    }
  }
  finish { ambient 0 diffuse 0.8 specular 1.0 roughness 0.002 reflection 0.1 }
}

// The night behind the fins and at the outline.
plane { x, -1 pigment { rgb <0.003, 0.005, 0.014> } finish { ambient 0 emission 1 diffuse 0 } }
// A sky for the scales to mirror, unseen by the camera: cool above, dark below.
sphere {
  0, 20 hollow no_image
  pigment { gradient y color_map { [0 rgb 0] [0.5 rgb <0.05, 0.06, 0.1>] [1 rgb <0.5, 0.6, 0.9>] } scale 40 translate -20 * y }
  finish { ambient 0 emission 1 diffuse 0 }
}

// The moon ahead and above the viewer; a warm low fill; a cool back rim.
light_source { <4, 3.5, -3> rgb <0.95, 0.97, 1.05> }
light_source { <5, -3, 1> rgb <0.2, 0.13, 0.07> }
// Moonlight thrown back by the water below: it keeps the belly pale.
light_source { <5, -5, -1> rgb <0.6, 0.62, 0.68> }
light_source { <-2, 5, 2> rgb <0.35, 0.42, 0.6> }
