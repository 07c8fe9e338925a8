// povray: +W512 +H512 +A0.1 +AM2 +R2 -V
// One bay of the gallery's painted panelling, seen straight on: a raised
// field with chamfered edges inside an ovolo moulding and a thin gilt bead,
// on flat stiles that meet the next bay at the picture's edges. The room has
// one flat directional light and no shadows, so the light falling from the
// upper left, the shadow under each moulding and the glint on the bead are
// baked here. The camera is orthographic and the light parallel, and the
// bays round this one are modelled too, so the picture tiles without a seam.
#version 3.7;
global_settings { assumed_gamma 1.0 ambient_light 0 }

camera { orthographic location <0.5, 0.5, -5> look_at <0.5, 0.5, 0> right x up y }

// Key light from the upper left, soft enough that the shadows have a
// penumbra; a shadowless fill from the viewer keeps the shade from going black.
light_source { <-0.6, 1.0, -0.75> * 1000 rgb 1.0
  area_light <40, 0, 0>, <0, 40, 0>, 5, 5 adaptive 1 jitter circular orient }
light_source { <0.5, 0.5, -1000> rgb 0.2 shadowless }

#declare Paint = texture {
  pigment { rgb <0.25, 0.155, 0.085> }
  normal { granite 0.04 scale 0.05 }
  finish { diffuse 0.9 specular 0.06 roughness 0.08 }
}
#declare Gilt = texture {
  pigment { rgb <0.85, 0.52, 0.16> }
  finish { diffuse 0.55 specular 0.7 roughness 0.015 metallic brilliance 2 }
}

// A rectangle of tube through the four corners (X0, Y0)-(X1, Y1).
#macro Loop(X0, Y0, X1, Y1, Z, R)
  sphere_sweep { linear_spline 5,
    <X0, Y0, Z>, R, <X1, Y0, Z>, R, <X1, Y1, Z>, R, <X0, Y1, Z>, R, <X0, Y0, Z>, R }
#end

// The field stands 0.015 proud of the stiles and slopes down to them over
// 0.03 on every side.
#macro Field(A, B)
  #local K = vnormalize(<1, 0, 2>);
  intersection {
    box { <A, A, -0.015>, <B, B, 0.1> }
    plane { <-K.x, 0, -K.z>, -K.x * A }
    plane { <K.x, 0, -K.z>, K.x * B }
    plane { <0, -K.x, -K.z>, -K.x * A }
    plane { <0, K.x, -K.z>, K.x * B }
  }
#end

#macro Bay(DX, DY)
  union {
    object { Loop(0.1, 0.1, 0.9, 0.9, 0.006, 0.036) texture { Paint } }
    object { Loop(0.148, 0.148, 0.852, 0.852, 0.0, 0.011) texture { Gilt } }
    object { Field(0.17, 0.83) texture { Paint } }
    translate <DX, DY, 0>
  }
#end

plane { -z, 0 texture { Paint } }
#for (I, -1, 1)
  #for (J, -1, 1)
    Bay(I, J)
  #end
#end
