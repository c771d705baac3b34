#!/usr/bin/env python3
# Draws a binary STL file as a shaded picture (README picture of an export):
#   scripts/draw-stl.py IN.stl OUT.png
# Needs Debian's python3-matplotlib; y is up in the file.
import struct, sys
import numpy as np
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt
from mpl_toolkits.mplot3d.art3d import Poly3DCollection

data = open(sys.argv[1], "rb").read()
count = struct.unpack("<I", data[80:84])[0]
rec = np.frombuffer(data[84:84 + 50 * count], dtype=np.dtype([("n", "<f4", 3), ("v", "<f4", (3, 3)), ("a", "<u2")]))
tris = rec["v"][:, :, [0, 2, 1]]  # y up in the file, z up in the plot
normals = rec["n"][:, [0, 2, 1]]
light = np.array([0.4, -0.5, 0.75]); light /= np.linalg.norm(light)
shade = 0.35 + 0.65 * np.clip(normals @ light, 0, 1)
colors = np.stack([0.85 * shade, 0.55 * shade, 0.25 * shade, np.ones_like(shade)], axis=1)
fig = plt.figure(figsize=(6.4, 4.4), dpi=100)
ax = fig.add_subplot(projection="3d")
ax.add_collection3d(Poly3DCollection(tris, facecolors=colors, edgecolors="none"))
lo, hi = tris.reshape(-1, 3).min(0), tris.reshape(-1, 3).max(0)
ax.set_xlim(lo[0], hi[0]); ax.set_ylim(lo[1], hi[1]); ax.set_zlim(lo[2], hi[2])
ax.view_init(elev=32, azim=-58)
ax.set_xlabel("x (mm)"); ax.set_ylabel("z (mm)"); ax.set_zlabel("y (mm)")
ax.set_box_aspect(hi - lo, zoom=1.25)
fig.tight_layout()
fig.savefig(sys.argv[2])
