// povray: +W640 +H480 +A0.05 +AM2 +R3 -V
// The swarm's sky as the camera sees it (45 degrees high, 4:3): a clear
// twilight over a low cloud deck, rose and gold where the set sun still
// lights the cloud undersides, violet above, deep blue at the top with the
// first stars. No moon: the map stands still on screen, so a disc there
// read as a stain on the lens. The butterflies and glows are added on top,
// so the sky keeps to the middle tones and leaves its highlights small.
#version 3.7;
global_settings { assumed_gamma 1.0 ambient_light 0 }

camera {
  location <0, 0, 0>
  direction <0, 0, 1>
  up <0, 1, 0>
  right <4/3, 0, 0>
  angle 57.82
  look_at <0, 0.45, 1>
}

// Twilight gradient, from the horizon glow up to the night.
sky_sphere {
  pigment {
    gradient y
    color_map {
      [0.00 color rgb <0.70, 0.34, 0.12>]
      [0.05 color rgb <0.55, 0.20, 0.18>]
      [0.12 color rgb <0.30, 0.11, 0.28>]
      [0.20 color rgb <0.08, 0.05, 0.18>]
      [0.35 color rgb <0.02, 0.025, 0.09>]
      [1.00 color rgb <0.005, 0.006, 0.03>]
    }
  }
  // Stars: sparse specks, only high up where the sky is dark.
  pigment {
    granite
    scale 0.004
    color_map {
      [0.00 color rgbt <0, 0, 0, 1>]
      [0.83 color rgbt <0, 0, 0, 1>]
      [0.88 color rgbt <1.0, 0.95, 0.9, 0.1>]
      [1.00 color rgbt <1.0, 1.0, 1.0, 0.0>]
    }
  }
}

// Cloud deck: long streaks, dark on top, lit rose and gold from below.
#macro CloudLayer(Height, Scale, Seed, Lit, Dark)
plane {
  y, Height
  hollow
  texture {
    pigment {
      bozo
      turbulence 0.6
      octaves 6
      lambda 2.4
      omega 0.55
      color_map {
        [0.00 color rgbt <0, 0, 0, 1>]
        [0.52 color rgbt <0, 0, 0, 1>]
        [0.58 color rgbt Dark + <0, 0, 0, 0.35>]
        [0.72 color rgbt Lit + <0, 0, 0, 0.05>]
        [0.90 color rgbt Lit * 1.3]
        [1.00 color rgbt Dark]
      }
      scale <Scale * 5, Scale, Scale * 1.2>
      translate <Seed, 0, Seed * 0.7>
    }
    finish { emission 1 diffuse 0 }
  }
  no_shadow
}
#end

CloudLayer(9, 22, 3.1, <0.75, 0.34, 0.22>, <0.10, 0.04, 0.10>)
CloudLayer(16, 30, 11.7, <0.32, 0.16, 0.34>, <0.03, 0.015, 0.06>)

// Ground far below the horizon, out of the frame, so no sky shows under it.
plane { y, -22 pigment { color rgb <0.015, 0.01, 0.025> } finish { diffuse 0 emission 1 } }
