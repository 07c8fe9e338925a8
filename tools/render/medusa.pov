// povray: +W512 +H410 +A0.05 +AM2 +R3 -V
// The medusa picture of the deep sea, assembled on screen from 10 x 8 tiles
// and added onto the scene: a glowing bell seen slightly from below, its
// edges brighter than its face (angle of incidence), ribbed, with frilled
// oral arms and long fine tentacles, on black. The tiles show the picture
// stretched 4:3 sideways, so the camera squeezes it by the same amount.
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

#declare BellGlow = pigment {
  aoi
  colour_map {
    [0.00 rgbt <0.75, 0.55, 1.00, 0.05>]
    [0.22 rgbt <0.45, 0.22, 0.70, 0.45>]
    [0.40 rgbt <0.16, 0.07, 0.30, 0.85>]
    [0.50 rgbt <0.07, 0.03, 0.14, 0.95>]
    [0.60 rgbt <0.16, 0.07, 0.30, 0.85>]
    [0.78 rgbt <0.45, 0.22, 0.70, 0.45>]
    [1.00 rgbt <0.75, 0.55, 1.00, 0.05>]
  }
}
#declare Jelly = material {
  texture {
    pigment { BellGlow }
    finish { emission 1.5 diffuse 0 ambient 0 }
  }
  texture {
    pigment {
      radial frequency 16
      colour_map { [0 rgbt <0.9, 0.6, 1, 0.75>] [0.05 rgbt <0.5, 0.3, 0.8, 1>] [0.95 rgbt <0.5, 0.3, 0.8, 1>] [1 rgbt <0.9, 0.6, 1, 0.75>] }
    }
    finish { emission 1.0 diffuse 0 ambient 0 }
  }
}

// The bell: a squashed dome with a scalloped rim, hollow.
#declare Bell = difference {
  sphere { 0, 1 scale <1, 0.78, 1> }
  sphere { 0, 1 scale <0.9, 0.66, 0.9> translate -0.04 * y }
  plane { y, -0.06 }
}
#declare Rim = union {
  #for (k, 0, 23)
    sphere { <0.98, 0, 0>, 0.05 scale <1, 0.5, 1> rotate y * k * 15 translate -0.05 * y }
  #end
}

#declare Medusa = union {
  object { Bell material { Jelly } }
  object { Rim material { Jelly } }
  // A brighter core glow inside the bell.
  sphere { 0, 1 scale <0.45, 0.32, 0.45> translate 0.22 * y
    hollow
    material {
      texture { pigment { rgbt 1 } }
      interior { media { emission <0.8, 0.35, 0.9> * 1.1 density { spherical colour_map { [0 rgb 0] [1 rgb 1] } } } }
    }
  }
  // Four frilled oral arms.
  #for (a, 0, 3)
    sphere_sweep {
      b_spline 8,
      <0.18, 0.1, 0>, 0.05, <0.16, -0.05, 0>, 0.06, <0.22, -0.35, 0.05>, 0.07,
      <0.12, -0.7, -0.04>, 0.06, <0.22, -1.0, 0.05>, 0.05, <0.1, -1.3, -0.03>, 0.035,
      <0.16, -1.55, 0.02>, 0.02, <0.12, -1.7, 0>, 0.01
      rotate y * (a * 90 + 30)
      material { Jelly }
    }
  #end
  // Long fine tentacles hanging from the rim, each drifting its own way.
  #for (k, 0, 23)
    #declare Ang = k * 15;
    #declare Ph = k * 1.7;
    sphere_sweep {
      b_spline 7,
      <0.97, 0, 0>, 0.014, <0.96, -0.05, 0>, 0.014,
      <0.9 + 0.08 * sin(Ph), -0.55, 0.05 * cos(Ph)>, 0.012,
      <0.85 + 0.12 * sin(Ph + 1), -1.05, 0.08 * cos(Ph + 2)>, 0.01,
      <0.8 + 0.14 * sin(Ph + 2), -1.5, 0.1 * sin(Ph)>, 0.008,
      <0.78 + 0.16 * sin(Ph + 3), -1.7 - 0.3 * sin(Ph * 2.3), 0>, 0.005,
      <0.78, -1.8 - 0.3 * sin(Ph * 2.3), 0>, 0.004
      rotate y * Ang
      material {
        texture { pigment { rgbt <0.5, 0.45, 1.0, 0.35> } finish { emission 1.2 diffuse 0 ambient 0 } }
      }
    }
  #end
}

object { Medusa
  rotate x * -14
  rotate y * 12
  scale 0.82
  translate <0, 0.58, 0>
  scale <Squeeze, 1, 1>
}

// Drifting specks of marine snow around it.
#declare R = seed(7);
#for (i, 0, 60)
  sphere { <rand(R) * 3.2 - 1.6, rand(R) * 2.56 - 1.18, rand(R) * 2 - 1>, 0.006 + 0.01 * rand(R)
    pigment { rgbt <0.5, 0.6, 1, 0.2> } finish { emission 0.2 + 0.6 * rand(R) diffuse 0 ambient 0 }
    scale <Squeeze, 1, 1> }
#end
