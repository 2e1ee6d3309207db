#!/usr/bin/python3
"""Draws real icons of a Debian icon theme, and small drawings of our own that hide, soften or
embed, through Glimmerdock's command line and compares them, pixel by pixel, with rsvg-convert's
drawing of the same files: masks, clip paths, filters, embedded pictures and plain drawings alike
must come out as GNOME draws them.

Usage: check-svg-icons.py GLIMMERDOCK [THEME_FOLDER]"""

import base64
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

from PIL import Image, ImageChops

SIZE = 256
PER_FEATURE = 10
FEATURES = ("<mask", "<clipPath", "<filter", "")
# Premultiplied channels may differ by rounding; a drawing that leaves a feature out differs by far
# more on many pixels.
TOLERANCE = 1


RED_PNG = "iVBORw0KGgoAAAANSUhEUgAAAAIAAAACCAYAAABytg0kAAAAEUlEQVR4nGP4z8DwH4QZYAwAR8oH+WdZbrcAAAAASUVORK5CYII="
# Each hides, softens or shows what a drawing that leaves its feature out would show otherwise.
OWN = {
    "mask": '<mask id="m"><rect width="128" height="256" fill="white"/></mask>'
            '<rect width="256" height="256" fill="red" mask="url(#m)"/>',
    "clip": '<clipPath id="c"><circle cx="128" cy="128" r="64"/></clipPath>'
            '<rect width="256" height="256" fill="navy" clip-path="url(#c)"/>',
    "blur": '<filter id="b"><feGaussianBlur stdDeviation="12"/></filter>'
            '<rect x="64" y="64" width="128" height="128" fill="green" filter="url(#b)"/>',
    "embedded": '<image width="256" height="128" preserveAspectRatio="none" '
                f'href="data:image/png;base64,{RED_PNG}"/>',
}


def own_drawings(work):
    paths = []
    for name, body in OWN.items():
        paths.append(os.path.join(work, name + ".svg"))
        with open(paths[-1], "w") as file:
            file.write(f'<svg xmlns="http://www.w3.org/2000/svg" width="{SIZE}" height="{SIZE}" '
                       f'viewBox="0 0 256 256">{body}</svg>')
    return paths


def natural_side(path):
    """The side of a square icon whose side divides SIZE (so the icon is drawn at a whole
    scale), or None."""
    try:
        root = ElementTree.parse(path).getroot()
    except ElementTree.ParseError:
        return None
    width, height = root.get("width", ""), root.get("height", "")
    if width != height or not width.isdigit() or SIZE % int(width):
        return None
    return int(width)


def chosen_icons(theme):
    """PER_FEATURE icons for each feature (the last: icons with none of them), by sorted path."""
    chosen = {feature: [] for feature in FEATURES}
    for folder, _, names in sorted(os.walk(theme)):
        for name in sorted(names):
            path = os.path.join(folder, name)
            if not name.endswith(".svg") or os.path.islink(path) or not natural_side(path):
                continue
            with open(path, encoding="utf-8", errors="replace") as file:
                text = file.read()
            feature = next((f for f in FEATURES if f and f in text), "")
            if len(chosen[feature]) < PER_FEATURE:
                chosen[feature].append(path)
    return chosen


def premultiplied(path):
    with Image.open(path) as image:
        if image.size != (SIZE, SIZE):
            raise ValueError(f"{path}: not {SIZE} x {SIZE}")
        return image.convert("RGBA").convert("RGBa")


def differing_pixels(ours, reference):
    """How many pixels differ by more than TOLERANCE in any premultiplied channel."""
    difference = ImageChops.difference(premultiplied(ours), premultiplied(reference))
    beyond = [band.point(lambda value: 255 if value > TOLERANCE else 0)
              for band in difference.split()]
    anywhere = beyond[0]
    for band in beyond[1:]:
        anywhere = ImageChops.lighter(anywhere, band)
    return anywhere.histogram()[255]


def main():
    glimmerdock = sys.argv[1]
    theme = sys.argv[2] if len(sys.argv) > 2 else "/usr/share/icons/elementary"
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM")}
    chosen = chosen_icons(theme)
    failures, count = [], 0
    with tempfile.TemporaryDirectory() as work:
        failures += [f"only {len(icons)} icons with {feature or 'no feature'}"
                     for feature, icons in chosen.items() if len(icons) < PER_FEATURE // 2]
        chosen["own"] = own_drawings(work)
        for feature, icons in chosen.items():
            for n, icon in enumerate(icons):
                out = os.path.join(work, f"{feature.strip('<')}{n}")
                subprocess.run([glimmerdock, "render", icon, "--png", out, "--sizes", str(SIZE)],
                               check=True, env=env)
                subprocess.run(["rsvg-convert", "-w", str(SIZE), "-h", str(SIZE), icon, "-o",
                                out + ".png"], check=True)
                differing = differing_pixels(os.path.join(out, f"{SIZE}x{SIZE}.png"), out + ".png")
                count += 1
                if differing:
                    failures.append(f"{icon}: {differing} pixels differ from rsvg-convert's")
    for failure in failures:
        print("FAIL:", failure)
    print(f"{count} icons drawn, {len(failures)} mismatched")
    sys.exit(1 if failures or count < 30 + len(OWN) else 0)


if __name__ == "__main__":
    main()
