// povray: +W256 +H256 +A0.05 +AM2 +R3 -V
// The blobby surface's side picture. It is laid flat over the surface by
// position and added, so while the surface is a sheet it IS the sheet's look:
// a still photo of a scene read as a picture pasted over the trail. This is
// the sheet itself seen from straight above instead: near-black ink with a
// mirror finish, rings spreading from the middle where the balls break
// through, lit by a soft band of sky, a soft-box and a warm strip. Between
// the rings it stays dark, so the surface keeps its own shading where it bends.
#version 3.7;
global_settings { assumed_gamma 1.0 max_trace_level 6 ambient_light 0 }

// Looks straight down on the grid's 8 x 8 square, the area the picture spans.
camera { orthographic location <0, 10, 0> look_at <0, 0, 0> right x*8 up z*8 }

// Dark at the zenith (what a flat stretch mirrors) and lit in a soft band
// about 70 degrees up (what a ripple's slope mirrors), so the rings come out
// as soft gradients of sheen rather than drawn lines.
sky_sphere {
  pigment {
    gradient y
    color_map {
      [0.00 rgb 0]
      [0.82 rgb <0.002, 0.003, 0.008>]
      [0.93 rgb <0.42, 0.52, 0.8>]
      [0.985 rgb <0.02, 0.025, 0.05>]
      [1.00 rgb <0.001, 0.002, 0.005>]
    }
  }
}

// The lights are seen only in the ink's mirror (no_image): a cool soft-box
// and a long warm strip give the glints colour and a side.
#declare Soft = finish { emission 1 diffuse 0 };
disc {
  <-3.5, 6, 2.5>, <0.5, -1, -0.3>, 2.6
  texture {
    pigment { spherical color_map { [0 rgb 0] [0.6 rgb <0.55, 0.72, 1.0> * 0.9] [1 rgb <0.75, 0.88, 1.0> * 1.0] } scale 2.6 translate <-3.5, 6, 2.5> }
    finish { Soft }
  }
  no_shadow no_image
}
box {
  <3.5, 4.5, -5>, <4.3, 4.6, 5>
  texture {
    pigment { gradient x color_map { [0 rgb 0] [0.5 rgb <1.0, 0.66, 0.38> * 1.1] [1 rgb 0] } scale <0.8, 1, 1> translate <3.5, 0, 0> }
    finish { Soft }
  }
  no_shadow no_image
}

// The ink: a few broad rings from the middle over a slow swell that keeps
// them from looking drawn with a compass; many fine rings read as a
// fingerprint.
plane {
  y, 0
  texture {
    pigment { color rgb <0.003, 0.006, 0.016> }
    normal {
      average normal_map {
        [1 ripples 0.35 frequency 0.9 turbulence 0.03]
        [0.45 waves 0.3 frequency 0.5 translate <2.5, 0, -1.8> scale 1.7]
      }
    }
    finish { ambient 0 diffuse 0.02 specular 0.5 roughness 0.01 reflection { 0.15, 0.8 fresnel } conserve_energy }
  }
  interior { ior 1.33 }
}
