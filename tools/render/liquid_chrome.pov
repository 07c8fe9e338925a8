// povray: +W512 +H512 +A0.05 +AM2 +R3 -V
// The blobby surface's skin: a mirror ball seen straight on through an
// orthographic camera, which is the map the surface reads by its normals
// (the middle reflects what lies behind the viewer, the rim what lies
// behind the ball). The world it mirrors is the swarm's dusk over a calm
// sea: a broad gold afterglow low at the front left, rose and violet
// above, long lit cloud banks, a deep indigo only overhead; below, the sea
// mirrors that glow as a wide warm path broken by slow swells, so the
// drops' lower halves are lit too. Late on the drops float on a cleared
// black screen and this is all the picture there is, so it is bright
// (most of it between a third and two thirds), with no thin lines and no
// near-black band: a thin hot horizon over black drew every coarse
// triangle as a step and, where two drops met, a dark crack.
#version 3.7;
global_settings { assumed_gamma 1.0 ambient_light 0 max_trace_level 4 }

camera {
  orthographic
  location <0, 0, -10>
  direction <0, 0, 1>
  up <0, 2, 0>
  right <2, 0, 0>
  look_at <0, 0, 0>
}

// Towards the afterglow: low at the front left (the viewer's side).
#declare SunDir = vnormalize(<-0.65, 0.02, -0.76>);
#declare SX = SunDir.x; #declare SY = SunDir.y; #declare SZ = SunDir.z;
// A high cloud still in full sun, up and behind the viewer's left shoulder:
// the drops' one sharp light, a glint on every upper left face.
#declare KeyDir = vnormalize(<-0.42, 0.55, -0.72>);
#declare KX = KeyDir.x; #declare KY = KeyDir.y; #declare KZ = KeyDir.z;
// A pale cool patch low on the right, the night's side: the reply light.
#declare FillDir = vnormalize(<0.75, 0.12, -0.65>);
#declare FX = FillDir.x; #declare FY = FillDir.y; #declare FZ = FillDir.z;
#declare Bank = function { pattern { bozo turbulence 0.25 scale <0.45, 0.09, 0.45> } }
#declare Towards = function(x, y, z, a, b, c) {
  max(0, (x * a + y * b + z * c) / sqrt(x * x + y * y + z * z))
}

sky_sphere {
  // Dusk by height: hot gold on the horizon, through rose and violet to a
  // deep blue night overhead, so each drop runs from a dark crown to a
  // blazing waist (the contrast that reads as polished metal). The gold
  // climbs some fifteen degrees before it turns rose: held to three, the waist
  // was a thin line that the coarse normals broke into a jagged band.
  pigment {
    gradient y
    scale 2 translate -y
    color_map {
      [0.000 color srgb <0.5, 0.26, 0.3>]
      [0.500 color srgb <1.0, 0.66, 0.34>]
      [0.580 color srgb <1.0, 0.58, 0.36>]
      [0.650 color srgb <0.84, 0.38, 0.5>]
      [0.720 color srgb <0.52, 0.23, 0.67>]
      [0.820 color srgb <0.26, 0.15, 0.58>]
      [1.000 color srgb <0.12, 0.09, 0.36>]
    }
  }
  // The afterglow: a wide gold lobe, its heart low and hot.
  pigment {
    function { pow(Towards(x, y, z, SX, SY, SZ), 1.6) * exp(-max(y, 0) * 3) }
    color_map {
      [0.0 color srgbt <1, 0.55, 0.3, 1>]
      [0.5 color srgbt <1, 0.68, 0.34, 0.4>]
      [1.0 color srgbt <1, 0.9, 0.62, 0>]
    }
  }
  // The sunlit cloud: a soft-edged bright patch some 35 degrees across, soft enough that the coarse normals smear it without facets.
  pigment {
    function { exp(-pow(acos(min(1, Towards(x, y, z, KX, KY, KZ))) / 0.32, 2)) }
    color_map {
      [0.0 color srgbt <1, 0.8, 0.7, 1>]
      [0.4 color srgbt <1, 0.82, 0.7, 0.5>]
      [1.0 color srgbt <1, 0.95, 0.88, 0.1>]
    }
  }
  pigment {
    function { exp(-pow(acos(min(1, Towards(x, y, z, FX, FY, FZ))) / 0.3, 2)) }
    color_map {
      [0.0 color srgbt <0.6, 0.7, 1, 1>]
      [1.0 color srgbt <0.62, 0.72, 1, 0.45>]
    }
  }
  // Long cloud banks from the horizon up to the rose: lit salmon towards
  // the glow, a violet grey away from it. Broad, so a coarse normal field
  // bends them without breaking them up.
  pigment {
    function {
      min(max((Bank(x, y, z) - 0.48) * 4, 0), 1) *
      (y > 0.03) * exp(-pow((y - 0.2) / 0.13, 2))
    }
    color_map {
      [0.0 color srgbt <0.4, 0.22, 0.4, 1>]
      [0.5 color srgbt <0.55, 0.28, 0.42, 0.4>]
      [1.0 color srgbt <0.98, 0.62, 0.45, 0>]
    }
  }
}

// The sea: a deep wine body that mirrors the sky, strongly at grazing
// angles, with slow swells that draw the glow out into a long gold path.
plane {
  y, -1.4
  pigment { color srgb <0.5, 0.16, 0.2> }
  normal { bumps 0.2 scale <5, 1, 2> }
  finish { ambient 0 emission 0.5 diffuse 0 reflection { 0.3, 0.7 falloff 2 } }
}

sphere {
  0, 1
  pigment { color rgb 1 }
  finish { ambient 0 diffuse 0 emission 0 reflection { 0.95 } }
  no_reflection
  no_shadow
}
