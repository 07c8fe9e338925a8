// povray: +W1024 +H512 +A0.1 +AM2 +R2 -V
// The back wall of the small gallery, 18 x 9 units, seen straight on and laid
// once across the wall: warm plaster under three picture lights, with the
// three paintings (rendered by painting_*.pov) hung in dark wooden frames.
// The light pools, frame shadows and the falloff into the corners are baked
// here, because the room itself is lit by one flat directional light.
// Frame and canvas places must match the gallery scene (tools/assetgen/scenes.cpp).
#version 3.7;
global_settings { assumed_gamma 1.0 ambient_light 0 }

camera { orthographic location <0, 4.5, -30> look_at <0, 4.5, 0> right x * 18 up y * 9 }

#macro Painting(File, X0, X1, Y0, Y1)
  // Canvas with a faint weave, then the frame standing 0.2 off the wall.
  box { <X0, Y0, -0.06>, <X1, Y1, 0>
    pigment { image_map { png File interpolate 2 } scale <X1 - X0, Y1 - Y0, 1> translate <X0, Y0, 0> }
    normal { bumps 0.08 scale 0.02 }
    finish { diffuse 0.9 specular 0.05 }
  }
  #local W = 0.25;
  union {
    box { <X0 - W, Y0 - W, -0.2>, <X1 + W, Y0, 0> }
    box { <X0 - W, Y1, -0.2>, <X1 + W, Y1 + W, 0> }
    box { <X0 - W, Y0, -0.2>, <X0, Y1, 0> }
    box { <X1, Y0, -0.2>, <X1 + W, Y1, 0> }
    pigment { rgb <0.55, 0.38, 0.15> }
    finish { diffuse 0.6 specular 0.6 roughness 0.02 metallic }
  }
  // A picture light above it, aimed down the canvas.
  light_source { <(X0 + X1) / 2, Y1 + 1.3, -1.4> rgb <1.25, 1.05, 0.8>
    spotlight point_at <(X0 + X1) / 2, (Y0 + Y1) / 2 - 0.4, 0> radius 24 falloff 44 tightness 4
    area_light <1.2, 0, 0>, <0, 0, 0.4>, 3, 2 adaptive 1 jitter }
#end

// Plaster: warm, with soft mottling.
plane { z, 0
  pigment { granite color_map { [0 rgb <0.78, 0.62, 0.44>] [0.6 rgb <0.74, 0.59, 0.42>] [1 rgb <0.82, 0.66, 0.47>] } scale 3 }
  normal { bumps 0.05 scale 0.08 }
  finish { diffuse 0.85 }
}
// A dado rail and the skirting shadow line.
box { <-10, 2.45, -0.08>, <10, 2.6, 0> pigment { rgb <0.35, 0.24, 0.14> } finish { diffuse 0.7 specular 0.2 } }
box { <-10, 0, -0.02>, <10, 2.45, 0>
  pigment { rgb <0.30, 0.16, 0.12> } normal { bumps 0.04 scale 0.05 } finish { diffuse 0.8 } }

// Soft general light from the open front, falling off towards the floor.
light_source { <0, 12, -14> rgb <0.28, 0.27, 0.3> area_light <10, 0, 0>, <0, 0, 4>, 4, 2 adaptive 1 jitter }

Painting("painting_sea.png", -7.2, -2.8, 3.2, 6.5)
Painting("painting_glass.png", -1.6, 2.4, 3.5, 6.5)
Painting("painting_moon.png", 4.6, 8.2, 4.6, 7.3)
