// povray: +W256 +H256 +A0.05 +AM2 +R3 +J0.8 -V
// The blobby surface's side picture: the classic look of a ray-traced still
// (chrome and glass balls over a chequered floor under a dusk sky), added onto
// the surface through its second texture unit. Because it is added, the sky
// stays dark and the light lives in small highlights and reflections, so the
// surface keeps its own shading and only picks up glints and colour.
#version 3.7;
global_settings { assumed_gamma 1.0 max_trace_level 8 ambient_light 0 }

camera {
  location <0, 1.35, -5.2>
  look_at <0, 0.75, 0>
  angle 52
}

// Dusk: a deep blue zenith over a warm, low band at the horizon.
sky_sphere {
  pigment {
    gradient y
    color_map {
      [0.00 color rgb <0.30, 0.09, 0.03>]
      [0.04 color rgb <0.06, 0.02, 0.03>]
      [0.15 color rgb <0.004, 0.004, 0.015>]
      [1.00 color rgb <0.0, 0.0, 0.002>]
    }
  }
}

light_source {
  <-6, 9, -5> color rgb <1.0, 0.86, 0.7> * 1.1
  area_light <2, 0, 0>, <0, 0, 2>, 4, 4 adaptive 1 jitter circular orient
}
light_source { <7, 3, 2> color rgb <0.25, 0.4, 0.9> * 0.6 shadowless }

// The floor: a polished chequer that fades into the dark.
plane {
  y, 0
  texture {
    pigment { checker color rgb 0.22 color rgb 0.002 scale 0.9 }
    finish { diffuse 0.55 specular 0.3 roughness 0.02 reflection { 0.05, 0.35 fresnel } }
  }
  interior { ior 1.5 }
}
fog { distance 12 color rgb <0.004, 0.003, 0.008> fog_type 1 }

// Two glowing studio panels out of view: the chrome balls mirror them as the
// bright curved windows that make a ray-traced still read at a glance.
box { <-5, 1.5, -6.5>, <-0.5, 6, -6.4> texture { pigment { color rgb <1.0, 0.9, 0.75> } finish { emission 2.2 diffuse 0 } } no_shadow }
box { <1.5, 0.6, -6.5>, <6, 2.2, -6.4> texture { pigment { color rgb <0.4, 0.7, 1.0> } finish { emission 1.6 diffuse 0 } } no_shadow }

#declare Chrome = texture {
  pigment { color rgb <0.9, 0.92, 0.95> }
  finish { ambient 0 diffuse 0.05 specular 0.9 roughness 0.002 metallic reflection { 0.75 metallic } }
};
#declare Copper = texture {
  pigment { color rgb <0.95, 0.5, 0.3> }
  finish { ambient 0 diffuse 0.15 specular 0.8 roughness 0.004 metallic reflection { 0.55 metallic } }
};

sphere { <-1.25, 0.8, 0.6>, 0.8 texture { Chrome } }
sphere { <0.95, 0.55, -0.2>, 0.55 texture { Copper } }
sphere {
  <0.15, 0.38, -1.3>, 0.38
  material {
    texture { pigment { color rgbf <0.75, 0.9, 1.0, 0.92> } finish { ambient 0 diffuse 0 specular 1 roughness 0.001 reflection { 0.05, 0.6 fresnel } } }
    interior { ior 1.5 }
  }
}
// A matte blue ball far back gives the eye a resting point and some depth.
sphere {
  <2.4, 0.9, 3.2>, 0.9
  texture { pigment { color rgb <0.08, 0.2, 0.75> } finish { ambient 0 diffuse 0.6 specular 0.4 roughness 0.01 } }
}
