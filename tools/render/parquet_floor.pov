// povray: +W512 +H512 +A0.1 +AM2 +R2 -V
// The gallery's floor, seen straight down: eight varnished boards across,
// each laid in lengths of half the picture with its joints staggered, every
// board with its own grain and tone and eased edges. The room's light never
// reaches the floor (it lies on ambient light alone), so the light raking
// across from the windows, the glint along the boards' eased edges and the
// dark joints are baked here. Orthographic camera, parallel light, and the
// board that runs over the picture's top edge is the same board as the one
// that runs in at the bottom: the picture repeats without a seam.
#version 3.7;
global_settings { assumed_gamma 1.0 ambient_light 0 }

camera { orthographic location <0.5, 0.5, -5> look_at <0.5, 0.5, 0> right x up y }

// Low light raking along the boards, soft, and a shadowless fill from above.
light_source { <-0.35, 1.0, -0.9> * 1000 rgb 0.95
  area_light <30, 0, 0>, <0, 30, 0>, 4, 4 adaptive 1 jitter circular orient }
light_source { <0.5, 0.5, -1000> rgb 0.22 shadowless }

// Dark joint below the boards.
plane { -z, -0.02 pigment { rgb <0.03, 0.015, 0.008> } finish { diffuse 0.5 } }

#declare Boards = 8;
#declare W = 1 / Boards;
#declare Len = 0.5;
#declare E = 0.006; // how far the eased edge rounds in
#declare R = seed(71);
#for (Col, 0, Boards - 1)
  #declare Offset = rand(R) * Len;
  // Two boards per column per repeat, each with its own tone and grain; the
  // pair repeats every picture height so the boards meet across the edges.
  #declare Tone = array[2];
  #declare Grain = array[2];
  #declare Tilt = array[2];
  #for (B, 0, 1)
    #declare Tilt[B] = 86 + 8 * rand(R);
    #declare Tone[B] = 0.75 + 0.3 * rand(R);
    #declare Grain[B] = <rand(R) * 50, rand(R) * 50, rand(R) * 50>;
  #end
  #for (K, -2, 3)
    #declare Y0 = Offset + K * Len;
    #declare Pick = mod(K + 4, 2);
    #declare T = Tone[Pick];
    #declare X0 = Col * W;
    // The board, with the long edges and the ends eased by rounded boxes.
    superellipsoid { <0.05, 0.07>
      scale <W / 2 - 0.0015, Len / 2 - 0.0015, 0.012>
      translate <X0 + W / 2, Y0 + Len / 2, 0>
      texture {
        pigment {
          wood turbulence 0.12 octaves 3 lambda 2.5
          color_map {
            [0.0 rgb <0.36, 0.16, 0.055> * T]
            [0.45 rgb <0.48, 0.24, 0.085> * T]
            [0.75 rgb <0.38, 0.18, 0.065> * T]
            [1.0 rgb <0.22, 0.09, 0.03> * T]
          }
          scale <0.03, 0.03, 1>
          rotate x * Tilt[Pick]
          translate Grain[Pick] + <0, Y0, 0>
        }
        normal { bumps 0.03 scale <0.004, 0.05, 0.004> }
        finish { diffuse 0.85 specular 0.35 roughness 0.02 }
      }
    }
  #end
#end
