#!/usr/bin/python3
"""Reads the icons Glimmerdock writes with the readers people use: Pillow, icotool, ImageMagick and
gdk-pixbuf (GNOME's file manager and every GTK program) for the .ico file, icns2png and gdk-pixbuf
for the .icns file. Each entry a reader decodes must hold exactly the pixels of the PNG file
written from the same icon at that size (fully transparent pixels equal whatever their colour),
and Pillow, gdk-pixbuf and ImageMagick must read every PNG file alike, palette ones included; for
a flat picture, a soft-edged one and the empty icon. gdk-pixbuf must also read the application's
own icon file as its PNG file.

Usage: check-readers.py GLIMMERDOCK ICONS_FOLDER"""

import glob
import os
import struct
import subprocess
import sys
import tempfile

import gi
from PIL import Image

gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf  # noqa: E402

SIZES = (16, 32, 48, 64, 128, 256, 512, 1024)
PICTURES = {
    # Hard-edged, four colours: its PNG files are palettes.
    "flat.svg": """<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64"
        shape-rendering="crispEdges"><rect width="64" height="64" fill="#1e5ac8"/>
        <rect x="16" y="16" width="32" height="32" fill="#fac828"/>
        <rect x="24" y="8" width="16" height="48" fill="white" fill-opacity="0.5"/></svg>""",
    "soft.svg": """<svg xmlns="http://www.w3.org/2000/svg" width="96" height="64">
        <rect width="96" height="64" rx="20" fill="orange" fill-opacity="0.6"/>
        <circle cx="48" cy="32" r="24" fill="navy"/></svg>""",
    "empty.svg": '<svg xmlns="http://www.w3.org/2000/svg" width="8" height="8"/>',
}


def rgba(width, data):
    """(width, RGBA bytes) with every fully transparent pixel as transparent black."""
    pixels = bytearray(data)
    for i in range(3, len(pixels), 4):
        if pixels[i] == 0:
            pixels[i - 3:i] = b"\0\0\0"
    return width, bytes(pixels)


def pillow(source):
    image = source if isinstance(source, Image.Image) else Image.open(source)
    return rgba(image.width, image.convert("RGBA").tobytes())


def pixbuf(path):
    image = GdkPixbuf.Pixbuf.new_from_file(path)
    if not image.get_has_alpha():
        image = image.add_alpha(False, 0, 0, 0)
    width, stride = image.get_width(), image.get_rowstride()
    data = image.get_pixels()
    return rgba(width, b"".join(data[y * stride:y * stride + 4 * width]
                                for y in range(image.get_height())))


def magick(path):
    data = subprocess.run(["convert", path, "-depth", "8", "rgba:-"], check=True,
                          capture_output=True).stdout
    return rgba(int((len(data) // 4) ** 0.5), data)


def ico_entries(path):
    """Every entry of an .ico file as Pillow, icotool and ImageMagick decode it: (reader, pixels)."""
    with open(path, "rb") as file:
        data = file.read()
    count = struct.unpack("<H", data[4:6])[0]
    edges = [data[6 + 16 * i] or 256 for i in range(count)]
    with Image.open(path) as icon:
        for edge in edges:
            yield "Pillow", pillow(icon.ico.getimage((edge, edge)))
    with tempfile.TemporaryDirectory() as out:
        subprocess.run(["icotool", "-x", "-o", out, path], check=True)
        extracted = sorted(glob.glob(os.path.join(out, "*.png")))
        if len(extracted) != count:
            yield "icotool", (0, f"{len(extracted)} of {count} entries".encode())
        for png in extracted:
            yield "icotool", pillow(png)
    for i in range(count):
        yield "ImageMagick", magick(f"{path}[{i}]")
    yield "gdk-pixbuf", pixbuf(path)


def icns_elements(path):
    with tempfile.TemporaryDirectory() as out:
        subprocess.run(["icns2png", "-x", "-o", out, path], check=True, capture_output=True)
        for png in glob.glob(os.path.join(out, "*.png")):
            yield "icns2png", pillow(png)
    yield "gdk-pixbuf", pixbuf(path)


def check(glimmerdock, work, name):
    picture = os.path.join(work, name)
    with open(picture, "w") as file:
        file.write(PICTURES[name])
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM")}
    out = os.path.join(work, name[:-4])
    subprocess.run([glimmerdock, "render", picture, "--ico", out + ".ico", "--icns",
                    out + ".icns", "--png", out, "--sizes", ",".join(map(str, SIZES))],
                   check=True, env=env)
    failures, written = [], {}
    for size in SIZES:
        png = os.path.join(out, f"{size}x{size}.png")
        written[size] = pillow(png)
        for reader, read in (("gdk-pixbuf", pixbuf(png)), ("ImageMagick", magick(png))):
            if read != written[size]:
                failures.append(f"{name} {size}x{size}.png: {reader} reads it otherwise")
    palettes = sum(open(os.path.join(out, f"{size}x{size}.png"), "rb").read()[25] == 3
                   for size in SIZES)
    if name == "flat.svg" and palettes < len(SIZES) // 2:
        failures.append(f"{name}: only {palettes} of the PNG files are palettes")
    for suffix, entries in ((".ico", ico_entries), (".icns", icns_elements)):
        for reader, (edge, pixels) in entries(out + suffix):
            if (edge, pixels) != written.get(edge):
                failures.append(f"{name}{suffix}: {reader} reads the {edge} px entry otherwise")
    return failures, palettes


def main():
    failures, palettes = [], 0
    with tempfile.TemporaryDirectory() as work:
        for name in PICTURES:
            found, counted = check(sys.argv[1], work, name)
            failures += found
            palettes += counted
    own = pixbuf(os.path.join(sys.argv[2], "glimmerdock.ico"))
    if own != pixbuf(os.path.join(sys.argv[2], f"glimmerdock-{own[0]}.png")):
        failures.append(f"glimmerdock.ico: its {own[0]} px entry is not glimmerdock-{own[0]}.png")
    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print(f"PASS: every reader reads every entry exactly ({palettes} palette PNG files)")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
