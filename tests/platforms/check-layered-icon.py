#!/usr/bin/python3
"""Apple's layered icon as a reader that is not ours sees it. No Apple tool runs here, so: icon.json
must validate against the schema written from what is published of the format (python3-jsonschema),
every picture it names must exist at the 1024 point square (PNG read by Pillow, SVG drawn by
rsvg-convert), and the pictures composed over the fill by a plain compositor (Pillow, the gradient
computed here from icon.json's own numbers) must give the flat icon without the effects the
system's material adds: a mean difference of at most one level. The document: a gradient
container with a border, a highlight and a 3D edge, an SVG and a PNG picture, and a badge.

Usage: check-layered-icon.py GLIMMERDOCK SCHEMA"""

import base64
import json
import os
import struct
import subprocess
import sys
import tempfile

import jsonschema
from PIL import Image, ImageChops, ImageMath, ImageStat

SIDE = 1024
SVG = b"""<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64">
<circle cx="32" cy="32" r="26" fill="teal"/><rect x="20" y="20" width="24" height="24"
fill="gold" fill-opacity="0.7"/></svg>"""


def project(folder, effects):
    """A project with two pictures and a badge; with `effects`, the edge, highlight and border."""
    subprocess.run(["convert", "-size", "120x80", "gradient:red-blue", "-alpha", "set",
                    "-channel", "A", "-evaluate", "set", "80%", os.path.join(folder, "a.png")],
                   check=True)
    with open(os.path.join(folder, "c.svg"), "wb") as svg:
        svg.write(SVG)

    def layer(name, number, x, y, scale, rotation):
        with open(os.path.join(folder, name), "rb") as picture:
            data = base64.b64encode(picture.read()).decode()
        return {"name": name, "index": number, "x": x, "y": y, "scale": scale,
                "rotation": rotation, "data": data}

    style = {"Container/shape": 0, "Container/useBackground": True, "Container/backStyle": 1,
             "Container/backOrientation": 4, "Container/clipImage": True,
             "Container/useBorder": effects, "Container/useGlossy": effects,
             "Container/useBack3dEffect": effects, "Badge/useBadge": True}
    path = os.path.join(folder, "effects.glimmer" if effects else "flat.glimmer")
    with open(path, "w") as out:
        json.dump({"format": "glimmerdock-project", "version": 1, "style": style,
                   "layers": [layer("a.png", 0, 40, 60, 150, 0),
                              layer("c.svg", 1, 120, 30, 250, 20)]}, out)
    return path


def colour(text):
    """An icon.json colour ("srgb:r,g,b,a") as 0..255 RGBA."""
    space, components = text.split(":")
    assert space == "srgb", text
    return tuple(round(float(c) * 255) for c in components.split(","))


def fill_image(fill):
    """The fill over the square: a solid colour, or the linear gradient from start to stop."""
    if "solid" in fill:
        return Image.new("RGBA", (SIDE, SIDE), colour(fill["solid"]))
    first, last = (colour(c) for c in fill["linear-gradient"])
    start, stop = fill["orientation"]["start"], fill["orientation"]["stop"]
    dx, dy = stop["x"] - start["x"], stop["y"] - start["y"]
    length = dx * dx + dy * dy
    # Where each pixel's centre falls along the line, 0 at the start and 1 at the stop: the sum of
    # a part by its column and a part by its row, in 256 steps (at most half a level apart).
    def part(values, size):
        line = Image.frombytes("F", size, struct.pack(f"{SIDE}f", *values))
        return line.resize((SIDE, SIDE), Image.NEAREST)

    across = part([((x + 0.5) / SIDE - start["x"]) * dx / length for x in range(SIDE)], (SIDE, 1))
    down = part([((y + 0.5) / SIDE - start["y"]) * dy / length for y in range(SIDE)], (1, SIDE))
    t = ImageMath.eval("convert(min(max(a + b, 0.0), 1.0) * 255.0 + 0.5, 'L')", a=across, b=down)
    return Image.merge("RGBA", [t.point([round(a + (b - a) * i / 255) for i in range(256)])
                                for a, b in zip(first, last)])


def asset(path):
    if path.endswith(".svg"):
        png = path + ".png"
        subprocess.run(["rsvg-convert", "-o", png, path], check=True)
        path = png
    image = Image.open(path).convert("RGBA")
    assert image.size == (SIDE, SIDE), (path, image.size)
    return image


def main():
    glimmerdock, schema_path = sys.argv[1:3]
    with open(schema_path) as f:
        schema = json.load(f)
    with tempfile.TemporaryDirectory() as work:
        layered = project(work, True)
        flat = project(work, False)
        out = os.path.join(work, "out")
        subprocess.run([glimmerdock, "render", layered, "--apple-layered", out], check=True)
        subprocess.run([glimmerdock, "render", flat, "--png", os.path.join(work, "flat"),
                        "--sizes", str(SIDE)], check=True)
        folder = os.path.join(out, "effects.icon")
        with open(os.path.join(folder, "icon.json")) as f:
            document = json.load(f)
        jsonschema.Draft202012Validator(schema).validate(document)
        groups = document["groups"]
        assert [g["name"] for g in groups] == ["Badge", "Pictures"], groups
        assert [len(g["layers"]) for g in groups] == [1, 2], groups

        composed = fill_image(document["fill"])
        # Back to front: the format lists groups and layers front first.
        for group in reversed(groups):
            for entry in reversed(group["layers"]):
                picture = asset(os.path.join(folder, "Assets", entry["image-name"]))
                composed = Image.alpha_composite(composed, picture)
        expected = Image.open(os.path.join(work, "flat", f"{SIDE}x{SIDE}.png")).convert("RGBA")
        difference = ImageStat.Stat(ImageChops.difference(composed, expected)).mean
        print("mean difference per channel:", [round(d, 3) for d in difference])
        assert max(difference) <= 1.0, difference

    print("layered icon: valid, its pictures compose to the flat icon")


main()
