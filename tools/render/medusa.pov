// povray: +W512 +H410 +A0.05 +AM2 +R3 -V
// The medusa picture of the deep sea, assembled on screen from 10 x 8 tiles
// (about 51 texels, some 55 pixels on screen) and added onto the scene. A tile
// flies in and out dim and turned, so every tile must carry one bold piece of
// the animal: fine veins, beads and thin threads read as scribbles there. So
// the drawing is broad: a big bell of dark, clear jelly, bright where the
// eye grazes its skin and along its margin, eight wide soft canals, a thick
// bright ring canal with a few large photophores, four warm gonads, four
// broad oral arms and sixteen long tentacles in slow curves, on black water.
// The tiles show the picture stretched 4:3 sideways, so the camera squeezes
// it by the same amount.
#version 3.7;
global_settings { assumed_gamma 1.0 max_trace_level 12 }
background { rgb 0 }

camera {
  orthographic
  location <0, 0.1, -10>
  look_at <0, 0.1, 0>
  right x * 3.2
  up y * 2.56
}
// The camera's 3.2 x 2.56 window (1.25:1) is shown 1.67:1 on screen.
#declare Squeeze = 0.75;

// Lit jelly: nearly clear where the eye looks through the skin, rising to
// near white only where it grazes it (aoi 0.5), so the outline burns and the
// canals and gonads show through dark jelly. The tiles fade out one by one:
// an evenly glowing interior made each lone tile a flat grey box.
#declare Skin = texture {
  pigment {
    aoi
    colour_map {
      [0.00 rgbt <0.010, 0.007, 0.030, 0.97>]
      [0.32 rgbt <0.016, 0.011, 0.045, 0.96>]
      [0.42 rgbt <0.110, 0.072, 0.260, 0.84>]
      [0.48 rgbt <0.500, 0.380, 0.900, 0.50>]
      [0.50 rgbt <0.950, 0.880, 1.000, 0.10>]
      [0.52 rgbt <0.500, 0.380, 0.900, 0.50>]
      [0.58 rgbt <0.110, 0.072, 0.260, 0.84>]
      [0.68 rgbt <0.016, 0.011, 0.045, 0.96>]
      [1.00 rgbt <0.010, 0.007, 0.030, 0.97>]
    }
  }
  finish { emission 1.3 diffuse 0 ambient 0 }
}
// The margin glows: a narrow band of light just above the ring canal (a wide
// one, seen on both walls, filled the lower bell evenly).
#declare MarginGlow = texture {
  pigment {
    gradient y
    colour_map {
      [0.00 rgbt <0.30, 0.26, 0.70, 0.55>]
      [0.05 rgbt <0.12, 0.09, 0.32, 0.80>]
      [0.14 rgbt <0, 0, 0, 1>]
      [1.00 rgbt <0, 0, 0, 1>]
    }
  }
  finish { emission 1.0 diffuse 0 ambient 0 }
}
// Eight wide radial canals, soft-edged, from the crown to the margin.
#declare Canals = texture {
  pigment {
    radial frequency 8
    colour_map {
      [0.00 rgbt <0.50, 0.44, 0.95, 0.45>]
      [0.04 rgbt <0.30, 0.22, 0.70, 0.70>]
      [0.10 rgbt <0, 0, 0, 1>]
      [0.90 rgbt <0, 0, 0, 1>]
      [0.96 rgbt <0.30, 0.22, 0.70, 0.70>]
      [1.00 rgbt <0.50, 0.44, 0.95, 0.45>]
    }
  }
  finish { emission 1.0 diffuse 0 ambient 0 }
}
#declare Jelly = material { texture { Skin } texture { MarginGlow } texture { Canals } }
#macro Glow(Colour, Strength)
  material { texture { pigment { rgbt <Colour.x, Colour.y, Colour.z, 0.2> } finish { emission Strength diffuse 0 ambient 0 } } }
#end
// Oral arms and gonads: the same grazing light, tinted.
#macro Tinted(Edge, Core)
  material {
    texture {
      pigment {
        aoi
        colour_map {
          [0.00 rgbt <Core.x, Core.y, Core.z, 0.80>]
          [0.38 rgbt <Core.x, Core.y, Core.z, 0.70>]
          [0.50 rgbt <Edge.x, Edge.y, Edge.z, 0.15>]
          [0.62 rgbt <Core.x, Core.y, Core.z, 0.70>]
          [1.00 rgbt <Core.x, Core.y, Core.z, 0.80>]
        }
      }
      finish { emission 1.2 diffuse 0 ambient 0 }
    }
  }
#end

// The bell: a tall dome, hollow, open below.
#declare Bell = difference {
  sphere { 0, 1 scale <1, 0.86, 1> }
  sphere { 0, 1 scale <0.95, 0.80, 0.95> translate -0.03 * y }
  plane { y, -0.02 }
}

#declare Medusa = union {
  object { Bell material { Jelly } }
  // The ring canal round the margin, thick and bright, with eight large
  // photophores hanging below it.
  torus { 0.975, 0.024 translate -0.01 * y Glow(<0.95, 0.90, 1>, 1.5) }
  #for (k, 0, 15)
    #if (mod(k, 2) = 0)
      sphere { <1.0, -0.085, 0>, 0.026 rotate y * (k * 22.5 + 11.25) Glow(<1, 0.92, 0.85>, 1.6) }
    #end
  #end
  // Four gonads round the crown, warm against the violet jelly.
  #for (a, 0, 3)
    sphere { 0, 1 scale <0.2, 0.07, 0.13> translate <0.33, 0.64, 0> rotate y * (a * 90 + 45)
      Tinted(<1.0, 0.58, 0.36>, <0.36, 0.13, 0.10>) }
  #end
  // Four broad oral arms hanging from the centre, curtains that twist as they
  // fall, wide at the top and narrowing.
  #for (a, 0, 3)
    sphere_sweep {
      b_spline 8,
      <0.10, 0.15, 0>, 0.05, <0.10, 0.0, 0>, 0.07, <0.18, -0.35, 0.05>, 0.085,
      <0.10, -0.75, -0.04>, 0.075, <0.22, -1.10, 0.05>, 0.06, <0.12, -1.45, -0.03>, 0.045,
      <0.20, -1.75, 0>, 0.03, <0.16, -1.95, 0>, 0.02
      scale <1, 1, 0.5>
      rotate y * (a * 90 + 30)
      Tinted(<1.00, 0.80, 0.95>, <0.24, 0.12, 0.30>)
    }
  #end
  // Sixteen long tentacles from the margin, thick at the root, in slow
  // S-curves that drift outward and apart with the current.
  #for (k, 0, 15)
    #declare Ang = k * 22.5 + 3;
    #declare Ph = k * 2.39;
    #declare Out = 0.15 + 0.3 * (0.5 + 0.5 * sin(Ph * 1.3));
    sphere_sweep {
      b_spline 8,
      <0.97, 0.02, 0>, 0.02, <0.97, -0.08, 0>, 0.02,
      <0.97 + 0.4 * Out + 0.14 * sin(Ph), -0.55, 0.08 * cos(Ph)>, 0.017,
      <0.97 + 0.7 * Out + 0.24 * sin(Ph + 1.5), -1.05, 0.10 * cos(Ph + 2)>, 0.014,
      <0.97 + 0.9 * Out + 0.28 * sin(Ph + 3), -1.55, 0.10 * sin(Ph)>, 0.012,
      <0.97 + 1.1 * Out + 0.28 * sin(Ph + 4.5), -2.0, 0.08 * sin(Ph + 1)>, 0.010,
      <0.97 + 1.2 * Out + 0.24 * sin(Ph + 6), -2.4, 0>, 0.008,
      <0.97 + 1.2 * Out, -2.6, 0>, 0.006
      rotate y * Ang
      // Brightest at the root, dimming as the tentacle thins.
      material {
        texture {
          pigment {
            gradient y
            colour_map { [0 rgbt <0.10, 0.12, 0.35, 0.7>] [0.55 rgbt <0.28, 0.34, 0.80, 0.4>] [1 rgbt <0.80, 0.82, 1.0, 0.2>] }
            scale 2.8 translate -2.7 * y
          }
          finish { emission 1.25 diffuse 0 ambient 0 }
        }
      }
    }
  #end
}

object { Medusa
  rotate x * -18
  rotate y * 12
  scale 1.22
  translate <0, 0.2, 0>
  scale <Squeeze, 1, 1>
}

// A few soft motes of marine snow round it, large enough to read as round.
#declare S = seed(7);
#for (i, 0, 45)
  #declare B = rand(S);
  sphere { <rand(S) * 3.2 - 1.6, rand(S) * 2.56 - 1.18, 0>, 0.008 + 0.01 * B
    Glow(<0.50, 0.62, 1>, 0.12 + 0.3 * B * B)
    scale <Squeeze, 1, 1> }
#end
