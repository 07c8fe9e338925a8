// povray: +W640 +H480 +A0.05 +AM2 +R3 -V
// The swarm's sky as the camera sees it (45 degrees high, 4:3): the first
// minutes of night, the sun just under the bottom edge. A warm glow rises
// from below the frame without a horizon line, through rose and violet into
// deep indigo with the first stars; a deck of small cloudlets (a mackerel
// sky) fills the middle, each lit from underneath gold and rose low down,
// violet higher up, dim violet at the top among the stars; thin dark banks lie
// along the glow. The butterflies and their glows are added on top, and the
// shown picture is this one (the trail keeps no gain), so even the glow
// stays in the low middle tones: the butterflies carry the light.
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
    [0.000 color rgb <0.58, 0.27, 0.11>]
    [0.500 color rgb <0.62, 0.29, 0.11>]
    [0.540 color rgb <0.60, 0.23, 0.15>]
    [0.600 color rgb <0.52, 0.17, 0.24>]
    [0.680 color rgb <0.30, 0.12, 0.30>]
    [0.800 color rgb <0.16, 0.09, 0.25>]
    [1.000 color rgb <0.07, 0.05, 0.13>]
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
    [0.560 color rgb <0.14, 0.058, 0.13>]
    [0.650 color rgb <0.075, 0.048, 0.14>]
    [0.800 color rgb <0.025, 0.025, 0.07>]
    [1.000 color rgb <0.012, 0.014, 0.04>]
  }
}

// The cloud field is a deck of small cloudlets (a mackerel sky) seen a little
// in perspective: every pattern below is laid on warped directions in which
// a cloudlet shrinks toward the bottom of the frame, about three times
// smaller there than at the top. Cloudlets are some 20 to 60 pixels on the
// screen, so no stretch of the frame is a wide, smooth ramp: the window's
// 8-bit trail would freeze such a ramp into stepped bands.
#declare fPersp = function(y) { 1 / (0.3 + max(y, 0)) }
#declare fCellsW = function { pattern { crackle form <1, 0, 0> metric 2 turbulence 0.25 octaves 4
                                        omega 0.5 lambda 2.4
                                        scale <0.1, 0.055, 0.1> translate <1.7, 0.3, -2.2> } }
#declare fPuffW = function { pattern { bozo turbulence 0.2 octaves 4 omega 0.5 lambda 2.2
                                       scale <0.04, 0.025, 0.04> translate <-6.1, 3.4, 0.7> } }
#declare fCoverW = function { pattern { bozo turbulence 0.4 octaves 5 omega 0.55 lambda 2.1
                                        scale <0.32, 0.13, 0.32> translate <7.3, 2.2, -4.1> } }
#declare fStrataP = function { pattern { bozo turbulence 0.12 octaves 5 omega 0.6 lambda 2.3
                                         scale <0.16, 0.009, 0.16> translate <-3.7, 9.1, 2.6> } }
#declare fNebW = function { pattern { bozo turbulence 0.6 octaves 5 omega 0.6 lambda 2.2
                                      scale <0.11, 0.07, 0.11> translate <4.2, -1.3, 5.5> } }
// Cloudlets in warped space: round puffs about cell centres (g is the
// distance from the nearest centre, roughened), gathered into drifts with
// lanes of clear sky between them, thinning a little near the top, where
// their dim violet rims still break up the night. Inside a dense
// drift the puffs grow and run together; at its edges they break up small.
#declare fGapW = function(u, v, w) { fCellsW(u, v, w) + 0.32 * fPuffW(u, v, w) }
#declare fDeckW = function(u, v, w, y) {
  min(1, max(0, (0.4 + 0.85 * fCoverW(u, v, w) - fGapW(u, v, w)) / 0.3))
  * min(1, max(0, (fCoverW(u, v, w) - 0.25) / 0.25))
  * (1 - 0.3 * min(1, max(0, (y - 0.45) / 0.25)))
}
// The light comes from below the frame, so each puff is lit like a ball
// from underneath: bright where its centre lies above (the distance grows
// downward), shaded on top, with a smooth turn between.
#declare fDeckLitW = function(u, v, w) {
  min(1, max(0, 0.45 + 3.2 * (fCellsW(u, v - 0.02, w) - fCellsW(u, v, w))))
}
// Long thin banks along the glow at the bottom, dark against it, their
// lower edges lit where no bank lies just under them.
#declare fStrata = function(x, y, z) {
  min(1, max(0, (fStrataP(x, y, z) - 0.48) / 0.14)) * (1 - min(1, max(0, (y - 0.05) / 0.14)))
}
#declare fStrataLit = function(x, y, z) { 1 - fStrata(x, y - 0.005, z) }
#declare fDeck = function(x, y, z) { fDeckW(x * fPersp(y), ln(0.3 + max(y, 0)), z * fPersp(y), y) }
#declare fCloud = function(x, y, z) { max(fDeck(x, y, z), fStrata(x, y, z)) }
#declare fRim = function(x, y, z) {
  max(fDeck(x, y, z) * pow(fDeckLitW(x * fPersp(y), ln(0.3 + max(y, 0)), z * fPersp(y)), 1.3),
      fStrata(x, y, z) * fStrataLit(x, y, z))
}
// Nebulous light in the clear sky: faint warm patches, so the lanes between
// the drifts are not flat ramps either.
#declare fNeb = function(x, y, z) {
  min(1, max(0, (fNebW(x * fPersp(y), ln(0.3 + max(y, 0)), z * fPersp(y)) - 0.35) / 0.4))
}

sky_sphere {
  // The whole sky at half strength: the glow at the bottom stays in the
  // low middle tones.
  emission rgb 0.5
  pigment { SkyByHeight }
  pigment {
    function { fNeb(x, y, z) }
    pigment_map {
      [0.0 color rgbt <0, 0, 0, 1>]
      [1.0 CloudLight transmit 0.6]
    }
  }
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
  // The cloudlets' shaded bodies, then their lit lower rims on top.
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
