// povray: +W640 +H480 +A0.05 +AM2 +R3 -V
// The swarm's sky as the camera sees it (45 degrees high, 4:3): the first
// minutes of night, the sun just set below the lower left. Its afterglow is
// the sky's one clear light, hot gold low at the left, rising through rose
// and violet into a deep indigo night with the first stars over the top
// half. Long banks of cloud cross the glow as dark shapes with salmon lit
// undersides; higher up only a few thin drifts catch rose on their
// lower edges. The butterflies are added on top and the shown picture is
// this one (the trail keeps no gain), so most of the frame is dark: the
// butterflies carry the light, the glow frames them from below.
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

// Elevation as the colour maps read it: the gradient spans -1..1, so the
// frame runs from about 0.515 (bottom edge) to 0.86 (top edge); the swarm's
// picture shows a little less than the bottom edge, so the glow reaches up
// to about 0.575.
#declare SkyByHeight = pigment {
  gradient y
  scale 2 translate -y
  color_map {
    [0.000 color srgb <0.36, 0.15, 0.1>]
    [0.545 color srgb <0.36, 0.15, 0.1>]
    [0.575 color srgb <0.34, 0.11, 0.17>]
    [0.610 color srgb <0.25, 0.075, 0.25>]
    [0.650 color srgb <0.15, 0.06, 0.25>]
    [0.700 color srgb <0.08, 0.05, 0.21>]
    [0.780 color srgb <0.04, 0.035, 0.14>]
    [0.860 color srgb <0.02, 0.025, 0.1>]
    [1.000 color srgb <0.015, 0.02, 0.09>]
  }
}

// The light on a cloud's underside: salmon in the glow, rose above it, a
// cool pale violet high in the night.
#declare CloudLight = pigment {
  gradient y
  scale 2 translate -y
  color_map {
    [0.000 color srgb <0.38, 0.23, 0.15>]
    [0.525 color srgb <0.38, 0.22, 0.15>]
    [0.560 color srgb <0.38, 0.19, 0.18>]
    [0.610 color srgb <0.36, 0.18, 0.26>]
    [0.680 color srgb <0.26, 0.16, 0.32>]
    [0.800 color srgb <0.17, 0.13, 0.28>]
    [1.000 color srgb <0.10, 0.08, 0.20>]
  }
}

// Cloud bodies seen against the light: dark shapes on the glow, a little
// above the night high up where they still catch some of it.
#declare CloudShade = pigment {
  gradient y
  scale 2 translate -y
  color_map {
    [0.000 color srgb <0.10, 0.04, 0.05>]
    [0.530 color srgb <0.11, 0.045, 0.06>]
    [0.590 color srgb <0.08, 0.04, 0.085>]
    [0.680 color srgb <0.05, 0.035, 0.085>]
    [0.800 color srgb <0.035, 0.03, 0.075>]
    [1.000 color srgb <0.025, 0.022, 0.06>]
  }
}

// Patterns are laid on directions warped by a mild perspective: a cloud
// shrinks toward the bottom of the frame, about three times from top to
// bottom (a stronger one ran the banks into streaks and read as a floor).
#declare fPersp = function(y) { 1 / (0.25 + max(y, 0)) }
#declare fBankP = function { pattern { bozo turbulence 0.35 octaves 5 omega 0.55 lambda 2.2
                                       scale <0.6, 0.11, 0.6> translate <1.7, 0.3, -2.2> } }
#declare fTuftP = function { pattern { bozo turbulence 0.3 octaves 4 omega 0.5 lambda 2.3
                                       scale <0.07, 0.03, 0.07> translate <-6.1, 3.4, 0.7> } }
#declare fVeilP = function { pattern { bozo turbulence 0.6 octaves 5 omega 0.6 lambda 2.2
                                       scale <0.4, 0.03, 0.4> translate <-3.7, 9.1, 2.6> } }
// Cloud cover in warped space (pv is the height coordinate; u and v would
// name x and y inside a function): long banks with
// ragged tufts at their edges, denser low down, only a few drifts in the
// upper half. The edge is crisp (a few pixels), so the lit rims are lines,
// not washes.
#declare fRaw = function(pu, pv, pw, h) {
  fBankP(pu, pv, pw) + 0.3 * fTuftP(pu, pv, pw) - 0.67 - 0.16 * min(1, max(0, (h - 0.12) / 0.4))
  - 0.2 * min(1, max(0, (0.09 - h) / 0.06))
}
#declare fDenseW = function(pu, pv, pw, h) { min(1, max(0, fRaw(pu, pv, pw, h) / 0.025)) }
#declare fDense = function(x, y, z) {
  fDenseW(x * fPersp(y), ln(0.25 + max(y, 0)), z * fPersp(y), y)
}
// Light from under the frame: a cloud is lit where its cover grows upward
// (its lower edge), brightest right at the edge and fading into the body.
#declare fRawAt = function(x, y, z) {
  fRaw(x * fPersp(y), ln(0.25 + max(y, 0)), z * fPersp(y), y)
}
#declare fRim = function(x, y, z) {
  fDense(x, y, z) * min(1, max(0, 60 * (fRawAt(x, y, z) - fRawAt(x, y - 0.01, z))))
  * min(1, max(0, 1 - fRawAt(x, y, z) / 0.2))
}
// Inside a cloud, some texture of lighter and darker billows, so no body
// is a flat fill.
#declare fBillow = function(x, y, z) {
  fDense(x, y, z) * min(1, max(0, (fTuftP(x * fPersp(y) * 2.3, ln(0.25 + max(y, 0)) * 2.3,
                                          z * fPersp(y) * 2.3) - 0.4) / 0.4)) * 0.5
}
// A faint high veil in the clear night, so the dark sky has some slow relief.
#declare fVeil = function(x, y, z) {
  min(1, max(0, (fVeilP(x * fPersp(y), ln(0.25 + max(y, 0)), z * fPersp(y)) - 0.45) / 0.35))
  * min(1, max(0, (y - 0.15) / 0.2))
}

// The sun has just set below the lower left: its afterglow hugs the bottom
// edge, hot gold at the left fading to rose towards the right and upward
// within a quarter of the frame. It is the sky's one clear light, so the
// pale swarm has a bright band to cross and the night above stays dark.
#declare fSunGlow = function(x, y, z) {
  exp(-max(y - 0.03, 0) / 0.1)
  * min(1, max(0.25, 0.25 + 0.75 * (0.35 - x / max(z, 0.2)) / 0.8))
}

sky_sphere {
  pigment { SkyByHeight }
  pigment {
    function { fSunGlow(x, y, z) }
    pigment_map {
      [0.00 color srgbt <0, 0, 0, 1>]
      [0.15 color srgbt <0.45, 0.12, 0.22, 0.75>]
      [0.45 color srgbt <0.82, 0.3, 0.2, 0.35>]
      [0.80 color srgbt <0.98, 0.56, 0.24, 0.1>]
      [1.00 color srgbt <1.0, 0.74, 0.38, 0>]
    }
  }
  pigment {
    function { fVeil(x, y, z) }
    pigment_map {
      [0.0 color srgbt <0, 0, 0, 1>]
      [1.0 color srgbt <0.09, 0.06, 0.18, 0.7>]
    }
  }
  // Stars: sparse specks, only where the sky is dark.
  pigment {
    gradient y
    scale 2 translate -y
    pigment_map {
      [0.00 color srgbt <0, 0, 0, 1>]
      [0.63 color srgbt <0, 0, 0, 1>]
      [0.72 granite
            scale 0.004
            color_map {
              [0.00 color srgbt <0, 0, 0, 1>]
              [0.84 color srgbt <0, 0, 0, 1>]
              [0.89 color srgbt <0.9, 0.9, 1.0, 0.3>]
              [1.00 color srgbt <1.0, 1.0, 1.0, 0.0>]
            }]
      [1.00 granite
            scale 0.004
            color_map {
              [0.00 color srgbt <0, 0, 0, 1>]
              [0.84 color srgbt <0, 0, 0, 1>]
              [0.89 color srgbt <0.9, 0.9, 1.0, 0.3>]
              [1.00 color srgbt <1.0, 1.0, 1.0, 0.0>]
            }]
    }
  }
  pigment {
    function { fDense(x, y, z) }
    pigment_map {
      [0.0 color srgbt <0, 0, 0, 1>]
      [1.0 CloudShade]
    }
  }
  pigment {
    function { fBillow(x, y, z) }
    pigment_map {
      [0.0 color srgbt <0, 0, 0, 1>]
      [1.0 CloudLight transmit 0.5]
    }
  }
  pigment {
    function { fRim(x, y, z) }
    pigment_map {
      [0.0 color srgbt <0, 0, 0, 1>]
      [1.0 CloudLight]
    }
  }
}
