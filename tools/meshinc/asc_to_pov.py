#!/usr/bin/env python3
"""Writes a mesh of the pack as a POV-Ray mesh2 in the texture space of a
side projection, so an offline render of it lines up texel for texel with the
picture the Layer projects through the body.

The loader exchanges the file's Y and Z and fits the mesh into the cube
-1..1 (uniform scale 2 / max(|max| + |min|), centred per axis). The texture
planes then give s = -0.44 z + 0.5 and t = 0.44 y + 0.48, so POV's point is
(0.44 x, t, s): the camera looks along -x with s to the right, t up.

usage: asc_to_pov.py MESH.asc SKIN_FACES FIN_FACES OUT.inc
  faces [0, SKIN_FACES) are skin, the next FIN_FACES are fins; the rest
  (light catchers hidden inside the body) are left out.
"""
import re
import sys


def read_asc(path):
    text = open(path).read()
    verts = [tuple(float(v) for v in m) for m in re.findall(
        r"Vertex \d+:\s+X:(\S+)\s+Y:(\S+)\s+Z:(\S+)", text)]
    faces = [tuple(int(v) for v in m) for m in re.findall(
        r"Face \d+:\s+A:(\d+)\s+B:(\d+)\s+C:(\d+)", text)]
    return verts, faces


def fitted(verts):
    gl = [(x, z, y) for x, y, z in verts]
    lo = [min(v[c] for v in gl) for c in range(3)]
    hi = [max(v[c] for v in gl) for c in range(3)]
    scale = 2.0 / max(abs(hi[c]) + abs(lo[c]) for c in range(3))
    centre = [(hi[c] + lo[c]) / 2 for c in range(3)]
    return [tuple((v[c] - centre[c]) * scale for c in range(3)) for v in gl]


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def main():
    path, skin, fins, out = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    verts, faces = read_asc(path)
    pts = [(0.44 * x, 0.44 * y + 0.48, 0.5 - 0.44 * z) for x, y, z in fitted(verts)]
    kept = faces[:skin + fins]
    # Smooth normals from the skin and fins only, area weighted.
    normals = [(0.0, 0.0, 0.0)] * len(pts)
    for a, b, c in kept:
        n = cross(sub(pts[b], pts[a]), sub(pts[c], pts[a]))
        for i in (a, b, c):
            normals[i] = tuple(normals[i][k] + n[k] for k in range(3))
    # The side projection mirrors z, which turns the faces' winding round.
    normals = [(-n[0], -n[1], -n[2]) for n in normals]
    with open(out, "w") as f:
        f.write("// Written by tools/meshinc/asc_to_pov.py from %s.\n" % path.split("/")[-1])
        f.write("#declare FishSkin = mesh2 {\n vertex_vectors { %d,\n" % len(pts))
        f.write(",\n".join("  <%.5f,%.5f,%.5f>" % p for p in pts))
        f.write("\n }\n normal_vectors { %d,\n" % len(pts))
        f.write(",\n".join("  <%.5f,%.5f,%.5f>" % (n if any(n) else (1, 0, 0)) for n in normals))
        f.write("\n }\n texture_list { 2, texture { SkinTexture } texture { FinTexture } }\n")
        f.write(" face_indices { %d,\n" % len(kept))
        rows = []
        for i, (a, b, c) in enumerate(kept):
            # The tail is skin past the narrow root (s below FinRootS).
            centroid_s = (pts[a][2] + pts[b][2] + pts[c][2]) / 3
            fin = i >= skin or centroid_s < 0.31
            rows.append("  <%d,%d,%d>,%d" % (a, b, c, 1 if fin else 0))
        f.write(",\n".join(rows))
        f.write("\n }\n}\n")


if __name__ == "__main__":
    main()
