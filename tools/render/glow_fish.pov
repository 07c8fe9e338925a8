// povray: +W256 +H256 +A0.05 +AM2 +R3 -V
// One small fish of the deep, seen from the side, for the sprite the deep
// sea's fish swarm, its far specks and the gallery's sparks all share. The
// swarm draws it some 20-40 pixels across and adds hundreds of copies, so the
// fish is one bold shape: a pale body lit from the viewer's side, which falls
// to dark at its outline (the dark edge that keeps overlapping copies apart),
// a narrow waist and a clearly forked tail, a dark eye, and a row of bright
// photophores along the belly like a lanternfish's, so that a far copy of a
// few pixels still reads as a point of light. Rows run bottom-up on screen;
// the generator turns the picture over.
#version 3.7;
global_settings { assumed_gamma 1.0 }
background { rgb 0 }

camera {
  orthographic
  location <0, 0, -10>
  look_at <0, 0, 0>
  right x * 2
  up y * 2
}
light_source { <-2, 3, -10> rgb 0.75 }

// Pale, slightly cool flesh: the swarm tints it blue or amber when drawn. Lit
// nearly from the front, so it is brightest along its middle and dark at its
// outline.
#declare Flesh = texture {
  pigment { rgb <0.9, 0.96, 1.0> }
  finish { diffuse 0.8 ambient 0 emission 0.04 brilliance 2.2 specular 0.15 roughness 0.06 }
}

// Body: one smooth spindle from the blunt head (left) to the narrow waist,
// flattened side to side as a fish is.
#declare Body = lathe {
  cubic_spline 10,
  <0.0, -0.82>, <0.0, -0.75>, <0.11, -0.68>, <0.2, -0.45>, <0.2, -0.2>,
  <0.15, 0.08>, <0.08, 0.33>, <0.045, 0.52>, <0.0, 0.62>, <0.0, 0.7>
  // The lathe turns about y: lay it along x, head to the left.
  rotate z * -90
  scale <1, 1, 0.55>
  translate y * 0.02
  texture { Flesh }
}

// Forked tail: two flat lobes swept back from the waist, a dark notch
// between them.
#declare Lobe = sphere {
  0, 1
  scale <0.16, 0.05, 0.02>
  texture { Flesh }
}
#declare Tail = union {
  object { Lobe rotate z * 36 translate <0.60, 0.09, 0> }
  object { Lobe rotate z * -36 translate <0.60, -0.09, 0> }
}

// Dorsal and anal fins: low and thin, dimmer than the body.
#declare Fin = sphere {
  0, 1
  scale <0.12, 0.04, 0.012>
  texture { pigment { rgb <0.6, 0.72, 0.85> } finish { diffuse 0.45 ambient 0 emission 0.02 } }
}

union {
  object { Body }
  object { Tail }
  object { Fin rotate z * -16 translate <0.08, 0.17, 0> }
  object { Fin rotate z * 14 translate <0.16, -0.12, 0> }
  // The eye: dark, with one glint.
  sphere { <-0.50, 0.07, -0.1>, 0.04 pigment { rgb 0.01 } finish { ambient 0 diffuse 0.05 } }
  sphere { <-0.51, 0.083, -0.14>, 0.01 pigment { rgb 1 } finish { emission 1 } no_shadow }
  // Photophores along the belly, brightest towards the middle.
  #for (k, 0, 5)
    sphere {
      <-0.40 + k * 0.11, -0.105 + 0.012 * k, -0.2>, 0.016
      pigment { rgb <0.8, 0.95, 1.0> }
      finish { emission 1.5 - 0.15 * abs(k - 2.5) ambient 0 diffuse 0 }
      no_shadow
    }
  #end
  scale 1.1
}
