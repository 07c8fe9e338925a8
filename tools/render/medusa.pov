// povray: +W512 +H410 +A0.05 +AM2 +R3 -V
// The medusa picture of the deep sea, assembled on screen from 10 x 8 tiles
// (about 51 texels each) and added onto the scene. A tile flies in and out
// while it is dim, so every tile must carry its own piece of drawing: the
// bell is dark jelly whose light lives in its structure (a bright rim where
// the eye looks along the skin, radial canals, a fine vein net, four gonads,
// photophores on the scalloped margin), the oral arms are lace frills, and
// long beaded tentacles drift wide across the lower rows; marine snow fills
// the dark around it. The tiles show the picture stretched 4:3 sideways, so
// the camera squeezes it by the same amount.
#version 3.7;
global_settings { assumed_gamma 1.0 max_trace_level 10 }
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

// Lit jelly: bright where the eye grazes the skin (aoi 0.5), dim where it
// looks straight through (aoi 0 and 1), so the bell's outline and folds glow.
#declare Skin = texture {
  pigment {
    aoi
    colour_map {
      [0.00 rgbt <0.02, 0.01, 0.05, 0.98>]
      [0.38 rgbt <0.06, 0.03, 0.14, 0.94>]
      [0.45 rgbt <0.40, 0.22, 0.75, 0.65>]
      [0.50 rgbt <0.85, 0.70, 1.00, 0.10>]
      [0.55 rgbt <0.40, 0.22, 0.75, 0.65>]
      [0.62 rgbt <0.06, 0.03, 0.14, 0.94>]
      [1.00 rgbt <0.02, 0.01, 0.05, 0.98>]
    }
  }
  finish { emission 1.3 diffuse 0 ambient 0 }
}
// Sixteen radial canals from the crown to the margin.
#declare Canals = texture {
  pigment {
    radial frequency 16
    colour_map {
      [0.00 rgbt <0.95, 0.75, 1.00, 0.15>]
      [0.03 rgbt <0.60, 0.40, 0.95, 0.70>]
      [0.06 rgbt <0, 0, 0, 1>]
      [0.94 rgbt <0, 0, 0, 1>]
      [0.97 rgbt <0.60, 0.40, 0.95, 0.70>]
      [1.00 rgbt <0.95, 0.75, 1.00, 0.15>]
    }
  }
  finish { emission 1.1 diffuse 0 ambient 0 }
}
// A fine net of veins between the canals (cell borders, bent).
#declare Veins = texture {
  pigment {
    crackle
    turbulence 0.25
    colour_map {
      [0.00 rgbt <0.80, 0.60, 1.00, 0.35>]
      [0.025 rgbt <0.50, 0.30, 0.90, 0.85>]
      [0.05 rgbt <0, 0, 0, 1>]
      [1.00 rgbt <0, 0, 0, 1>]
    }
    scale 0.15
  }
  finish { emission 1.0 diffuse 0 ambient 0 }
}
#declare Jelly = material { texture { Skin } texture { Canals } texture { Veins } }
#declare Lace = material {
  texture { Skin }
  texture {
    pigment {
      crackle
      colour_map { [0 rgbt <0.9, 0.7, 1, 0.3>] [0.06 rgbt <0, 0, 0, 1>] [1 rgbt <0, 0, 0, 1>] }
      scale 0.05
    }
    finish { emission 1.0 diffuse 0 ambient 0 }
  }
}
#macro Glow(Colour, Strength)
  material { texture { pigment { rgbt <Colour.x, Colour.y, Colour.z, 0.2> } finish { emission Strength diffuse 0 ambient 0 } } }
#end

// The bell: a squashed dome, hollow, open below.
#declare Bell = difference {
  sphere { 0, 1 scale <1, 0.8, 1> }
  sphere { 0, 1 scale <0.93, 0.72, 0.93> translate -0.03 * y }
  plane { y, -0.04 }
}

#declare Medusa = union {
  object { Bell material { Jelly } }
  // The ring canal round the margin, and the scalloped lappets below it.
  torus { 0.955, 0.012 translate -0.02 * y Glow(<0.9, 0.75, 1>, 1.2) }
  #for (k, 0, 31)
    sphere { <0.975, 0, 0>, 0.045 scale <1, 0.55, 1.3> rotate y * (k * 11.25 + 5.6) translate -0.06 * y
      material { Jelly } }
    // A photophore on every lappet.
    sphere { <0.99, -0.07, 0>, 0.013 rotate y * (k * 11.25 + 5.6) Glow(<1, 0.9, 0.8>, 1.6) }
  #end
  // Four gonads round the crown, warm against the violet jelly.
  #for (a, 0, 3)
    torus { 0.17, 0.05 scale <1, 0.4, 0.8> translate <0.26, 0.6, 0> rotate y * (a * 90 + 45)
      material {
        texture { Skin }
        texture {
          pigment { crackle colour_map { [0 rgbt <1, 0.8, 0.6, 0.45>] [0.15 rgbt <0.9, 0.45, 0.55, 0.75>] [1 rgbt <0.6, 0.2, 0.4, 0.9>] } scale 0.03 }
          finish { emission 1.1 diffuse 0 ambient 0 }
        }
      }
    }
  #end
  // Four oral arms: a core with lace frills beaded along it.
  #declare R = seed(3);
  #for (a, 0, 3)
    union {
      sphere_sweep {
        b_spline 7,
        <0.12, 0.1, 0>, 0.03, <0.1, -0.05, 0>, 0.035, <0.16, -0.4, 0.04>, 0.04,
        <0.08, -0.8, -0.03>, 0.035, <0.18, -1.15, 0.04>, 0.025, <0.07, -1.45, -0.02>, 0.015,
        <0.12, -1.6, 0>, 0.008
      }
      #for (i, 0, 44)
        #declare F = i / 44;
        #declare Y = -0.05 - 1.45 * F;
        #declare X = 0.12 + 0.06 * sin(F * 9 + a) + 0.05 * (1 - F) * (rand(R) - 0.5);
        sphere { 0, 1 scale <0.07, 0.022, 0.05> * (1.1 - 0.7 * F)
          rotate <rand(R) * 80 - 40, rand(R) * 360, rand(R) * 80 - 40>
          translate <X, Y, 0.04 * (rand(R) - 0.5)> }
      #end
      material { Lace }
      rotate y * (a * 90 + 30)
    }
  #end
  // Forty long tentacles from the margin, beaded with stinging cells,
  // drifting outward and apart in a slow current.
  #for (k, 0, 39)
    #declare Ang = k * 9 + 4;
    #declare Ph = k * 2.39;
    #declare Out = 0.1 + 0.25 * (0.5 + 0.5 * sin(Ph * 1.3));
    union {
      sphere_sweep {
        b_spline 8,
        <0.97, 0.02, 0>, 0.011, <0.97, -0.06, 0>, 0.011,
        <0.95 + 0.6 * Out * 0.3 + 0.06 * sin(Ph), -0.5, 0.06 * cos(Ph)>, 0.009,
        <0.95 + 0.6 * Out * 0.6 + 0.1 * sin(Ph + 1), -1.0, 0.1 * cos(Ph + 2)>, 0.008,
        <0.95 + 0.6 * Out + 0.12 * sin(Ph + 2), -1.5, 0.12 * sin(Ph)>, 0.006,
        <0.95 + 0.6 * Out * 1.2 + 0.14 * sin(Ph + 3), -1.9, 0.1 * sin(Ph + 1)>, 0.005,
        <0.95 + 0.6 * Out * 1.3 + 0.16 * sin(Ph + 4), -2.3, 0>, 0.004,
        <0.95 + 0.6 * Out * 1.3, -2.5, 0>, 0.003
        material { texture { pigment { rgbt <0.55, 0.5, 1.0, 0.3> } finish { emission 1.0 diffuse 0 ambient 0 } } }
      }
      #for (i, 1, 12)
        #declare F = i / 13;
        #declare Y = -0.06 - 2.2 * F;
        sphere { <0.97 + 0.6 * Out * 1.1 * F + 0.1 * sin(Ph + 3 * F), Y, 0>, 0.016 - 0.008 * F
          Glow(<0.85, 0.8, 1>, 1.3 - 0.6 * F) }
      #end
      rotate y * Ang
    }
  #end
}

object { Medusa
  rotate x * -16
  rotate y * 12
  scale 1.02
  translate <0, 0.33, 0>
  scale <Squeeze, 1, 1>
}

// Marine snow round it: many faint specks and a few brighter motes, so the
// dark tiles too carry a little of the picture.
#declare S = seed(7);
#for (i, 0, 260)
  #declare B = rand(S);
  sphere { <rand(S) * 3.2 - 1.6, rand(S) * 2.56 - 1.18, 0>, 0.004 + 0.012 * B * B
    Glow(<0.55, 0.65, 1>, 0.15 + 0.7 * B * B)
    scale <Squeeze, 1, 1> }
#end
