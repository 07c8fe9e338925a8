// povray: +W640 +H480 +A0.05 +AM2 +R3 -V
// The swarm's sky as the camera sees it (45 degrees high, 4:3): the first
// minutes of night, the sun just under the bottom edge. A warm glow rises
// from below the frame without a horizon line, through rose and violet into
// deep indigo with the first stars; soft round clouds drift at every height,
// their undersides lit gold and rose low down, dim mauve higher up. The
// butterflies and their glows are added on top, and the shown picture is
// this one (the trail keeps no gain), so even the glow stays in the low
// middle tones: the butterflies carry the light.
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

// Sky colour by elevation; the gradient spans -1..1 so the horizon (just
// under the frame) sits in the middle of the map and nothing repeats.
#declare SkyByHeight = pigment {
  gradient y
  scale 2 translate -y
  color_map {
    [0.000 color rgb <0.26, 0.10, 0.07>]
    [0.480 color rgb <0.30, 0.12, 0.07>]
    [0.500 color rgb <0.34, 0.15, 0.08>]
    [0.530 color rgb <0.27, 0.10, 0.10>]
    [0.570 color rgb <0.17, 0.065, 0.14>]
    [0.620 color rgb <0.085, 0.045, 0.15>]
    [0.700 color rgb <0.035, 0.035, 0.115>]
    [0.800 color rgb <0.014, 0.018, 0.070>]
    [1.000 color rgb <0.006, 0.008, 0.035>]
  }
}

// What lights a cloud: the glow under the frame, strongest low down.
#declare CloudLight = pigment {
  gradient y
  scale 2 translate -y
  color_map {
    [0.000 color rgb <0.55, 0.26, 0.12>]
    [0.500 color rgb <0.58, 0.28, 0.12>]
    [0.540 color rgb <0.50, 0.20, 0.16>]
    [0.600 color rgb <0.30, 0.12, 0.22>]
    [0.680 color rgb <0.13, 0.08, 0.20>]
    [0.800 color rgb <0.05, 0.045, 0.11>]
    [1.000 color rgb <0.02, 0.02, 0.05>]
  }
}

// Cloud bodies: the unlit side, a little brighter than the night behind
// them high up (they catch the last light) and a little darker low down.
#declare CloudShade = pigment {
  gradient y
  scale 2 translate -y
  color_map {
    [0.000 color rgb <0.14, 0.055, 0.06>]
    [0.500 color rgb <0.16, 0.065, 0.075>]
    [0.560 color rgb <0.11, 0.05, 0.11>]
    [0.650 color rgb <0.055, 0.04, 0.11>]
    [0.800 color rgb <0.025, 0.025, 0.07>]
    [1.000 color rgb <0.012, 0.014, 0.04>]
  }
}

// Cloud density on the sky (directions): soft round billows, a little wider
// than high, ragged only in the small octaves.
#declare fBillows = function { pattern { bozo turbulence 0.3 octaves 6 omega 0.55 lambda 2.1
                                         scale <0.25, 0.12, 0.25> translate <7.3, 2.2, -4.1> } }
#declare fHigh = function { pattern { bozo turbulence 0.5 octaves 6 omega 0.6 lambda 2.3
                                      scale <0.42, 0.09, 0.42> translate <-3.7, 9.1, 2.6> } }
#declare Cover = 0.46;
#declare fCloud = function(x, y, z) { min(1, max(0, (fBillows(x, y, z) - Cover) / 0.22)) }
// Lit rims: where a billow thins towards the glow below, its lower edge
// catches the light.
#declare fRim = function(x, y, z) {
  min(1, max(0, (fBillows(x, y, z) - fBillows(x, y - 0.025, z)) * 16)) * fCloud(x, y, z)
}
#declare fVeil = function(x, y, z) { min(1, max(0, (fHigh(x, y, z) - 0.55) / 0.35)) }

sky_sphere {
  // The whole sky at half strength: the glow at the bottom stays in the
  // low middle tones.
  emission rgb 0.5
  pigment { SkyByHeight }
  // Stars: sparse specks, only high up where the sky is dark.
  pigment {
    gradient y
    scale 2 translate -y
    pigment_map {
      [0.00 color rgbt <0, 0, 0, 1>]
      [0.64 color rgbt <0, 0, 0, 1>]
      [0.74 granite
            scale 0.004
            color_map {
              [0.00 color rgbt <0, 0, 0, 1>]
              [0.85 color rgbt <0, 0, 0, 1>]
              [0.90 color rgbt <1.0, 0.95, 0.9, 0.2>]
              [1.00 color rgbt <1.0, 1.0, 1.0, 0.0>]
            }]
      [1.00 granite
            scale 0.004
            color_map {
              [0.00 color rgbt <0, 0, 0, 1>]
              [0.85 color rgbt <0, 0, 0, 1>]
              [0.90 color rgbt <1.0, 0.95, 0.9, 0.2>]
              [1.00 color rgbt <1.0, 1.0, 1.0, 0.0>]
            }]
    }
  }
  // A thin high veil, lit faintly.
  pigment {
    function { fVeil(x, y, z) }
    pigment_map {
      [0.0 color rgbt <0, 0, 0, 1>]
      [1.0 CloudLight transmit 0.55]
    }
  }
  // The billows' shaded bodies, then their lit lower rims on top.
  pigment {
    function { fCloud(x, y, z) }
    pigment_map {
      [0.0 color rgbt <0, 0, 0, 1>]
      [1.0 CloudShade]
    }
  }
  pigment {
    function { fRim(x, y, z) }
    pigment_map {
      [0.0 color rgbt <0, 0, 0, 1>]
      [1.0 CloudLight]
    }
  }
}
