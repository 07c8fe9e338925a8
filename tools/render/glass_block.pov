// povray: +W256 +H256 +A0.1 +AM2 +R2 -V
// One pressed-glass block of the room's glass case, seen straight on and
// lit from behind, the way the case is seen: a glowing rose heart under a
// calm domed face with one broad pressed step around it, which lenses the
// glow into a soft heart inside one bright and one dark ring, thick rounded edges
// that bend the light into a bright rim and a dark fold, and a black
// joint. A key light from the upper left catches the ridges' and the
// edges' upper-left flanks. Orthographic, with the neighbouring blocks
// modelled too, so the picture tiles without a seam.
#version 3.7;
global_settings { assumed_gamma 1.0 ambient_light 0 max_trace_level 12 }

camera { orthographic location <0.5, 0.5, -5> look_at <0.5, 0.5, 0> right x up y }

light_source { <-0.7, 1.0, -1.2> * 1000 rgb <1.0, 0.9, 1.0> * 0.9 }

// The glow behind the glass: one rose heart per block, through violet
// into deep indigo towards the joints (saturated: the case is drawn
// tinted cool, which turns the rose a glowing violet).
#declare Heart = function(x, y) {
  min(0.999, pow(pow(abs(x - floor(x) - 0.5), 4) + pow(abs(y - floor(y) - 0.5), 4), 0.25) * 2) }
plane { z, 1.2
  pigment { function { Heart(x, y) }
    color_map { [0.0 rgb <1.0, 0.45, 0.62> * 1.2] [0.2 rgb <0.9, 0.25, 0.62>]
                [0.42 rgb <0.3, 0.06, 0.45>] [0.65 rgb <0.04, 0.015, 0.12>] [1.0 rgb <0.01, 0.005, 0.03>] } }
  finish { emission 1 diffuse 0 }
}

// The joints: a dark lattice between the blocks, in front of the glow.
#declare Joint = 0.05;
union {
  #for (I, -1, 2)
    box { <I - Joint, -1, -0.02>, <I + Joint, 2, 0.6> }
    box { <-1, I - Joint, -0.02>, <2, I + Joint, 0.6> }
  #end
  pigment { rgb <0.012, 0.014, 0.03> } finish { diffuse 0.1 specular 0.3 roughness 0.03 }
}

// The block: thick glass with rounded edges; its face a low dome (a calm
// lens over the glow) inside one broad pressed step. Three close ridges per
// block read, tiled, as a busy wallpaper of rings.
#declare R = function(x, y) { pow(pow(abs(x), 4) + pow(abs(y), 4), 0.25) }
#declare Face = function(x, y) {
  0.3 * (1 - pow(R(x, y) / 0.46, 2)) + 0.7 / (1 + exp((R(x, y) - 0.3) / 0.022)) }
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
