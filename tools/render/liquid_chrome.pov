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
#declare Bank = function { pattern { bozo turbulence 0.25 scale <0.45, 0.09, 0.45> } }
#declare Glow = function(x, y, z) {
  max(0, (x * SX + y * SY + z * SZ) / sqrt(x * x + y * y + z * z))
}

sky_sphere {
  // Dusk by height: warm at the horizon, night only near the zenith.
  pigment {
    gradient y
    scale 2 translate -y
    color_map {
      [0.000 color srgb <0.5, 0.26, 0.3>]
      [0.500 color srgb <0.85, 0.5, 0.32>]
      [0.530 color srgb <0.82, 0.42, 0.45>]
      [0.600 color srgb <0.68, 0.34, 0.64>]
      [0.720 color srgb <0.5, 0.28, 0.72>]
      [0.860 color srgb <0.34, 0.22, 0.66>]
      [1.000 color srgb <0.22, 0.16, 0.52>]
    }
  }
  // The afterglow: a wide gold lobe, its heart low and hot.
  pigment {
    function { pow(Glow(x, y, z), 1.6) * exp(-max(y, 0) * 3) }
    color_map {
      [0.0 color srgbt <1, 0.55, 0.3, 1>]
      [0.5 color srgbt <1, 0.65, 0.32, 0.45>]
      [1.0 color srgbt <1, 0.86, 0.55, 0>]
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
      [0.0 color srgbt <0.5, 0.3, 0.4, 1>]
      [0.5 color srgbt <0.7, 0.38, 0.42, 0.4>]
      [1.0 color srgbt <0.95, 0.6, 0.45, 0>]
    }
  }
}

// The sea: a deep violet body that mirrors the sky, strongly at grazing
// angles, with slow swells that widen the glow into a path.
plane {
  y, -1.4
  pigment { color srgb <0.62, 0.24, 0.2> }
  normal { bumps 0.2 scale <5, 1, 2> }
  finish { ambient 0 emission 0.55 diffuse 0 reflection { 0.25, 0.55 falloff 2 } }
}

sphere {
  0, 1
  pigment { color rgb 1 }
  finish { ambient 0 diffuse 0 emission 0 reflection { 0.95 } }
  no_reflection
  no_shadow
}
