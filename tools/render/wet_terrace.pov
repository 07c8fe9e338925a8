// povray: +W512 +H512 +A0.05 +AM2 +R3 -V
// The rain scene's floor seen straight from above, laid once over the
// 12 x 12 quad (x -4..8 left to right, z -5.9..6.1 bottom to top, the vase
// at x 0, z 0): a garden terrace at dusk in the rain. The vase stands in a
// round pool of still black water inside a ring of coping stones, so its
// mirror image under the floor shows there; around it wet flagstones with
// moss in the joints and a few fallen petals catch the low sun from the
// left (warm, fading across the terrace) and the violet sky above, their
// rain films glowing with the sunset on the sun's side. The
// generator grades it down to the feedback loop's budget and lets the
// edges sink into the night.
#version 3.7;
global_settings { assumed_gamma 1.0 ambient_light 0 max_trace_level 6 }

camera {
  orthographic
  location <2, 10, 0.1>
  direction <0, -1, 0>
  right <12, 0, 0>
  up <0, 0, 12>
}

// wet_terrace_films.pov declares FilmMask to render only where standing
// rain lies (white on black), so the generator can light the films apart
// from the stone.
#ifndef (FilmMask) #declare FilmMask = 0; #end

// The sky the wet surfaces mirror: violet overhead, warm towards the sun
// (-x), deep indigo on the far side.
#if (!FilmMask)
sky_sphere {
  pigment {
    gradient x
    scale 2 translate -x
    color_map {
      [0.00 color rgb <1.00, 0.45, 0.22>]
      [0.30 color rgb <0.55, 0.22, 0.30>]
      [0.45 color rgb <0.22, 0.12, 0.32>]
      [0.60 color rgb <0.08, 0.07, 0.22>]
      [1.00 color rgb <0.02, 0.03, 0.10>]
    }
  }
}
#end

// The low sun far to the left, fading across the terrace.
#if (!FilmMask)
light_source {
  <-15, 7.6, 0>
  color rgb <1.0, 0.5, 0.25> * 3.6
  fade_distance 12 fade_power 2
}
// The sky's cold light from above.
light_source {
  <6, 40, -8>
  color rgb <0.10, 0.11, 0.30>
  shadowless
}
#end

#declare R = seed(4411);
#declare PoolRadius = 2.5;
#declare CopingWidth = 0.45;

// Soil and moss between the stones.
plane {
  y, -0.12
  pigment {
    granite scale 0.35
    color_map {
      [0.0 color rgb <0.015, 0.02, 0.01>]
      [0.5 color rgb <0.03, 0.05, 0.02>]
      [1.0 color rgb <0.06, 0.09, 0.03>]
    }
  }
  finish { diffuse 0.8 specular 0.2 roughness 0.05 }
}

// Wet slate: dark, faintly varied, glossy, with thin films of standing
// rain in its hollows that mirror the sky: the sunset's glow on the sun's
// side, rose, then indigo towards the far side.
#if (FilmMask)
#declare RainFilm = texture {
  pigment { color rgb 1 }
  finish { diffuse 0 emission 1 }
}
#else
#declare RainFilm = texture {
  pigment {
    gradient x scale 12 translate -4 * x
    color_map {
      [0.00 color rgb <0.95, 0.45, 0.2>]
      [0.30 color rgb <0.5, 0.2, 0.28>]
      [0.65 color rgb <0.16, 0.1, 0.3>]
      [1.00 color rgb <0.06, 0.07, 0.22>]
    }
  }
  finish { diffuse 0 emission 0.22 specular 0.9 roughness 0.004 reflection 0.1 }
}
#end
#macro StoneBody(Tint, Size, Shift)
  pigment {
    granite scale Size translate Shift
    color_map {
      [0.0 color rgb Tint * 0.55]
      [0.6 color rgb Tint * 0.85]
      [1.0 color rgb Tint * 1.05]
    }
  }
  normal { bumps 0.35 scale 0.25 }
  finish { diffuse 0.55 specular 0.7 roughness 0.015 reflection { 0.03, 0.12 } }
#end
#macro Slate(Tint)
  #local Size = 0.55 + 0.45 * rand(R);
  #local Shift = <rand(R), rand(R), rand(R)> * 10;
  texture {
    bozo scale <1.3, 1, 0.9> translate <rand(R), 0, rand(R)> * 20
    texture_map {
      [0.0 StoneBody(Tint, Size, Shift)]
      [0.58 StoneBody(Tint, Size, Shift)]
      [0.8 RainFilm]
      [1.0 RainFilm]
    }
  }
#end

// Flagstones in running rows of mixed sizes, each slab slightly irregular
// with a small tilt, cut back where it meets the pool's coping.
#declare Z = -6.6;
#while (Z < 6.6)
  #declare Depth = 0.8 + 1.0 * rand(R);
  #declare X = -4.6 - 1.5 * rand(R);
  #while (X < 8.6)
    #declare Width = 0.8 + 1.6 * rand(R);
    #declare Cx = X + Width / 2;
    #declare Cz = Z + Depth / 2;
    #declare Grey = 0.08 + 0.06 * rand(R);
    #declare Tint = <Grey * (0.95 + 0.15 * rand(R)), Grey, Grey * (1.0 + 0.2 * rand(R))>;
    difference {
      box {
        <-Width / 2 + 0.04, -0.2, -Depth / 2 + 0.04>, <Width / 2 - 0.04, 0.0, Depth / 2 - 0.04>
        rotate <(rand(R) - 0.5) * 2.5, (rand(R) - 0.5) * 4, (rand(R) - 0.5) * 2.5>
        translate <Cx, 0.01 * rand(R), Cz>
      }
      cylinder { <0, -1, 0>, <0, 1, 0>, PoolRadius + CopingWidth + 0.05 }
      Slate(Tint)
    }
    #declare X = X + Width;
  #end
  #declare Z = Z + Depth;
#end

// The pool's coping: a ring of dressed stones with narrow joints.
#declare Blocks = 20;
difference {
  cylinder { <0, -0.2, 0>, <0, 0.04, 0>, PoolRadius + CopingWidth }
  cylinder { <0, -0.3, 0>, <0, 0.1, 0>, PoolRadius }
  #declare K = 0;
  #while (K < Blocks)
    box { <0, -0.5, -0.025>, <PoolRadius + 1, 0.5, 0.025> rotate y * (360 / Blocks * K + 7) }
    #declare K = K + 1;
  #end
  Slate(<0.15, 0.14, 0.13>)
}

// Still black water, a perfect mirror of the dark sky overhead.
disc {
  <0, -0.04, 0>, y, PoolRadius + 0.05
  pigment { color rgb <0.002, 0.003, 0.006> }
  finish { diffuse 0.05 specular 0.3 roughness 0.01 reflection 0.006 }
}

// Fallen petals and a few leaves on the stones.
#declare K = 0;
#while (K < 80)
  #declare A = rand(R) * 360;
  #declare D = PoolRadius + CopingWidth + 0.3 + rand(R) * 7;
  #declare P = <D * cos(radians(A)), 0.02, D * sin(radians(A))>;
  #if (P.x > -4.2 & P.x < 8.2 & P.z > -6.1 & P.z < 6.3)
    #if (rand(R) < 0.75)
      sphere {
        0, 1 scale <0.09, 0.012, 0.055>
        pigment { color rgb <0.85, 0.35, 0.45> * (0.5 + 0.4 * rand(R)) }
        finish { diffuse 0.7 specular 0.4 roughness 0.03 }
        rotate y * rand(R) * 180 translate P
      }
    #else
      sphere {
        0, 1 scale <0.14, 0.01, 0.06>
        pigment { color rgb <0.35, 0.22, 0.06> * (0.5 + 0.5 * rand(R)) }
        finish { diffuse 0.7 specular 0.3 roughness 0.04 }
        rotate y * rand(R) * 180 translate P
      }
    #end
  #end
  #declare K = K + 1;
#end

// Beads of rain standing on the stones: each a low water dome whose tight
// highlight mirrors the low sun, so the dark terrace is lit by small hot
// points (warm near the sun, fading across) instead of a broad glow. A
// point is what the feedback loop can carry: the moving camera draws it
// out into a short wet streak, where a lit area burns to a flat sheet.
#declare K = 0;
#while (K < 700)
  #declare P = <-4 + 12 * rand(R), 0.01, -6 + 12 * rand(R)>;
  #declare Size = 0.025 + 0.03 * rand(R);
  #if (vlength(<P.x, 0, P.z>) > PoolRadius + CopingWidth + 0.1)
    sphere {
      0, 1 scale <Size, 0.45 * Size, Size> translate P
      pigment { color rgbf <0.9, 0.95, 1.0, 0.92> }
      finish { diffuse 0.02 phong 2.5 phong_size 35 reflection 0.04 }
    }
  #end
  #declare K = K + 1;
#end
