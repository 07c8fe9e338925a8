// povray: +W512 +H512 +A0.05 +AM2 +R3 -V
// The blobby surface's skin: a mirror ball seen straight on through an
// orthographic camera, which is the map the surface reads by its normals
// (the middle reflects what lies behind the viewer, the rim what lies
// behind the ball). Late on the drops float on a cleared black screen and
// this is the whole picture, so it is a photographer's studio built for
// chrome: a dark plum room, a few large soft light panels in the swarm's
// dusk colours and one bright cyclorama line on the horizon, over a dark
// polished floor that mirrors them. Chrome reads by its contrast: broad
// bold lights beside deep (but never black) reflections. Every edge is
// soft, some ten degrees wide: the surface's normals are coarse, and a
// sharp panel edge or a thin line drew each triangle as a step.
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

// A soft-edged rectangle of light seen from the ball: the direction is
// projected onto the panel's plane (so the panel keeps its flat shape),
// measured in its half-widths, and a rounded box of that size fades out
// over the outer quarter or so of the panel.
#macro Panel(Centre, Up, HalfW, HalfH, Edge)
  #local C = vnormalize(Centre);
  #local U = vnormalize(Up - vdot(Up, C) * C);
  #local R = vcross(U, C);
  #local CX = C.x; #local CY = C.y; #local CZ = C.z;
  #local UX = U.x; #local UY = U.y; #local UZ = U.z;
  #local RX = R.x; #local RY = R.y; #local RZ = R.z;
  function {
    (x * CX + y * CY + z * CZ > 0.05) *
    exp(-pow(pow(pow(abs(x * RX + y * RY + z * RZ) / max(x * CX + y * CY + z * CZ, 0.05) / HalfW, 4) +
                 pow(abs(x * UX + y * UY + z * UZ) / max(x * CX + y * CY + z * CZ, 0.05) / HalfH, 4), 0.25), Edge))
  }
#end

// Key: a big warm softbox up and behind the viewer's left shoulder, so
// every drop's upper left face carries one broad gold light.
#declare Key = Panel(<-0.42, 0.62, -0.75>, y, 0.6, 0.42, 3)
// A tall cool strip on the right, the night's side: a cyan reply down
// each drop's right flank.
#declare Strip = Panel(<0.85, 0.1, -0.52>, y, 0.26, 1.8, 3)
// A wide rose panel overhead, over the drops' crowns.
#declare Top = Panel(<0.1, 1, 0.1>, z, 0.9, 0.6, 4)
// Two violet strips behind the drops light their rims.
#declare BackL = Panel(<-0.75, 0.25, 0.62>, y, 0.35, 1.2, 4)
#declare BackR = Panel(<0.7, 0.2, 0.68>, y, 0.3, 1.0, 4)

sky_sphere {
  // The room: deep plum walls, a little lighter and warmer towards the
  // horizon (the spill of the lights), darkest overhead.
  pigment {
    gradient y
    scale 2 translate -y
    color_map {
      [0.000 color srgb <0.08, 0.05, 0.07>]
      [0.480 color srgb <0.2, 0.1, 0.14>]
      [0.530 color srgb <0.17, 0.085, 0.14>]
      [0.650 color srgb <0.11, 0.06, 0.14>]
      [1.000 color srgb <0.05, 0.04, 0.1>]
    }
  }
  // The cyclorama line: a bright warm band all round the horizon, its
  // core some ten degrees high in a wider glow.
  pigment {
    function { 0.5 * exp(-pow(y / 0.2, 2)) + 0.5 * exp(-pow(y / 0.085, 2)) }
    color_map {
      [0.0 color srgbt <1, 0.6, 0.35, 1>]
      [0.5 color srgbt <1, 0.72, 0.42, 0.35>]
      [1.0 color srgbt <1, 0.93, 0.78, 0>]
    }
  }
  pigment {
    function { Key(x, y, z) }
    color_map {
      [0.0 color srgbt <1, 0.7, 0.4, 1>]
      [0.5 color srgbt <1, 0.78, 0.5, 0.3>]
      [1.0 color srgbt <1, 0.94, 0.8, 0>]
    }
  }
  pigment {
    function { Strip(x, y, z) }
    color_map {
      [0.0 color srgbt <0.3, 0.7, 1, 1>]
      [0.5 color srgbt <0.4, 0.8, 1, 0.35>]
      [1.0 color srgbt <0.75, 0.95, 1, 0>]
    }
  }
  pigment {
    function { Top(x, y, z) }
    color_map {
      [0.0 color srgbt <0.9, 0.3, 0.55, 1>]
      [0.5 color srgbt <0.95, 0.38, 0.6, 0.35>]
      [1.0 color srgbt <1, 0.62, 0.78, 0.05>]
    }
  }
  pigment {
    function { max(BackL(x, y, z), BackR(x, y, z)) }
    color_map {
      [0.0 color srgbt <0.5, 0.35, 1, 1>]
      [1.0 color srgbt <0.7, 0.6, 1, 0.2>]
    }
  }
}

// The floor: dark polished stone that mirrors the lights, faintly at the
// foot of the ball and strongly towards the horizon, so the drops' lower
// halves hold dark reflections of the panels, not a void.
plane {
  y, -1.4
  pigment { color srgb <0.17, 0.08, 0.1> }
  finish { ambient 0 emission 1 diffuse 0 reflection { 0.15, 0.7 falloff 2 } }
}

// Round the ball the map is never looked up; a dark card there keeps the
// map's corners from counting as light (reflections do not see it).
plane {
  z, 3
  pigment { color rgb <0.04, 0.03, 0.05> }
  finish { ambient 0 emission 1 diffuse 0 }
  no_reflection
  no_shadow
}

sphere {
  0, 1
  pigment { color rgb 1 }
  finish { ambient 0 diffuse 0 emission 0 reflection { 0.95 } }
  no_reflection
  no_shadow
}
