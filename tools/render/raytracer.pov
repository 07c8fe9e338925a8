// povray: +W512 +H512 +A0.05 +AM2 +R3 -V
// The blobby surface's side picture. It is laid flat over the surface by
// position and added, so while the surface is a sheet it IS the sheet's look.
// The sheet rises over the swarm's dusk and the trail shows through where it
// opens, so it is a liquid mirror of that same dusk seen from straight above:
// a slow swell, a few soft wave trains and fine wind ripples catch the warm horizon glow on their
// slopes and the violet sky on their crests; no rings from one centre (they
// read as a grey target wall).
#version 3.7;
global_settings { assumed_gamma 1.0 max_trace_level 6 ambient_light 0 }

// Looks straight down on the grid's 8 x 8 square, the area the picture spans.
camera { orthographic location <0, 10, 0> look_at <0, 0, 0> right x*8 up z*8 }

// The dusk: a rose-amber glow low on one side, violet overhead, a few dark
// cloud bands; a flat stretch mirrors the near-black zenith, a slope the
// glow, since the sheet's own skin is already lit and this is added to it.
sky_sphere {
  pigment {
    gradient y
    color_map {
      [0.00 rgb <0.20, 0.07, 0.04>]
      [0.70 rgb <0.36, 0.13, 0.05>]
      [0.84 rgb <0.46, 0.18, 0.08>]
      [0.9 rgb <0.24, 0.07, 0.16>]
      [0.94 rgb <0.07, 0.025, 0.1>]
      [1.00 rgb <0.01, 0.006, 0.03>]
    }
  }
  pigment {
    bozo
    turbulence 0.6 octaves 4
    color_map {
      [0.00 rgbt <0.02, 0.01, 0.04, 0.2>]
      [0.35 rgbt <0.02, 0.01, 0.04, 0.6>]
      [0.55 rgbt <0, 0, 0, 1>]
      [1.00 rgbt <0, 0, 0, 1>]
    }
    scale <0.5, 0.08, 0.5>
  }
}

// The sun's afterglow, seen only in the mirror: a long warm strip low on the
// horizon. (A cool soft-box read as a grey pebble lying on the sheet.)
#declare Soft = finish { emission 1 diffuse 0 };
box {
  <-9, 1.2, -30>, <9, 2.6, -29>
  texture {
    pigment { gradient y color_map { [0 rgb 0] [0.5 rgb <1.0, 0.55, 0.28> * 0.9] [1 rgb 0] } scale <1, 1.4, 1> translate <0, 1.2, 0> }
    finish { Soft }
  }
  no_shadow no_image
}

// The liquid: a slow swell with two crossing wave trains, dark and glossy.
plane {
  y, 0
  texture {
    pigment { color rgb <0.01, 0.006, 0.015> }
    normal {
      average normal_map {
        [1.0 waves 0.8 frequency 0.45 translate <6, 0, 4.5>]
        [1.0 waves 0.7 frequency 0.55 translate <-5.5, 0, -4> scale 1.2]
        [0.7 waves 0.6 frequency 0.5 translate <5, 0, -6.5>]
        [0.9 bumps 0.5 scale 2.2]
        // Fine wind ripples, stretched across the swell, so the sheet shows
        // a wet surface rather than soft blotches of colour.
        [0.5 wrinkles 0.35 scale <0.5, 1, 0.18> rotate y*25]
      }
    }
    finish { ambient 0 diffuse 0.02 specular 0.35 roughness 0.02 reflection { 0.55, 0.9 fresnel } conserve_energy }
  }
  interior { ior 1.33 }
}
