// povray: +W256 +H256 +A0.1 +AM2 +R2 -V
// One pressed-glass block of the room's glass case, seen straight on and
// lit from behind, the way the case is seen: an even rose-violet pane
// under a calm low dome that lenses the glow into a faint heart, thick
// rounded edges that bend the light into a thin bright rim and a dark
// fold, and a narrow dark joint. A key light from the upper left glints
// on the edges' upper-left flanks. The room repeats the block dozens of
// times across the view, so each one holds a single soft shape: rings
// inside a block tiled into a busy pattern. Orthographic, with the
// neighbouring blocks modelled too, so the picture tiles without a seam.
#version 3.7;
global_settings { assumed_gamma 1.0 ambient_light 0 max_trace_level 12 }

camera { orthographic location <0.5, 0.5, -5> look_at <0.5, 0.5, 0> right x up y }

light_source { <-0.7, 1.0, -1.2> * 1000 rgb <1.0, 0.9, 1.0> * 0.75 }

// The glow behind the glass: one rose heart per block, through violet
// into deep indigo towards the joints (saturated: the case is drawn
// tinted cool, which turns the rose a glowing violet). The dome magnifies
// the middle, so the pane reads nearly even.
#declare Heart = function(x, y) {
  min(0.999, pow(pow(abs(x - floor(x) - 0.5), 4) + pow(abs(y - floor(y) - 0.5), 4), 0.25) * 2) }
plane { z, 1.2
  pigment { function { Heart(x, y) }
    color_map { [0.0 rgb <1.0, 0.4, 0.65>] [0.25 rgb <0.75, 0.2, 0.56>] [0.5 rgb <0.4, 0.09, 0.44>]
                [0.8 rgb <0.18, 0.05, 0.3>] [1.0 rgb <0.1, 0.03, 0.18>] } }
  finish { emission 1 diffuse 0 }
}

// The joints: a dark lattice between the blocks, in front of the glow.
#declare Joint = 0.03;
union {
  #for (I, -1, 2)
    box { <I - Joint, -1, -0.02>, <I + Joint, 2, 0.6> }
    box { <-1, I - Joint, -0.02>, <2, I + Joint, 0.6> }
  #end
  pigment { rgb <0.1, 0.035, 0.18> } finish { diffuse 0.1 specular 0.3 roughness 0.03 }
}

// The block: thick glass with rounded edges; its face one low dome (a
// calm lens over the glow). A pressed step inside it drew a bright and a
// dark ring per block, and ridges before that, which tiled read as a busy
// pattern of rings.
#declare R = function(x, y) { pow(pow(abs(x), 4) + pow(abs(y), 4), 0.25) }
#declare Face = function(x, y) {
  0.4 * (1 - pow(R(x, y) / 0.46, 2)) }
#declare Block = superellipsoid { <0.22, 0.3>
  scale <0.455, 0.455, 0.2>
  texture {
    pigment { rgbf <0.92, 0.9, 1.0, 0.94> }
    normal { function { Face(x, y) } 1.0 }
    finish { ambient 0 diffuse 0.05 specular 0.6 roughness 0.01 reflection { 0.04, 0.2 fresnel } conserve_energy }
  }
  interior { ior 1.5 }
}
#for (I, -1, 1)
  #for (J, -1, 1)
    object { Block translate <0.5 + I, 0.5 + J, 0.2> }
  #end
#end
