#!/usr/bin/python3
"""Reads the icons Glimmerdock writes with the readers people use: Pillow, icotool, ImageMagick and
gdk-pixbuf (GNOME's file manager and every GTK program) for the .ico file, icns2png, gdk-pixbuf
and Pillow (its small classic elements) for the .icns file. Each entry a reader decodes must hold
exactly the pixels of the PNG file written from the same icon at that size (fully transparent
pixels equal whatever their colour), and Pillow, gdk-pixbuf and ImageMagick must read every PNG
file alike, palette ones included; for a flat picture, a flat circle on transparency, a soft-edged
one and the empty icon. gdk-pixbuf must also read the application's own icon file as its PNG file.
A square container leaves no pixel transparent in any file that shows the icon whole.

Every set of PNG files, and the .ico's PNG entry, is also no larger than the better of
ImageMagick and Pillow writing the same pixels at their strongest, for the two pictures at the ends
of what the encoder chooses between: the flat one (palettes) and a photograph; in the platforms'
sets, the files up to 512 x 512 (larger ones are written at a quicker level); and the flat
circle's .ico entry, which holds no palette with transparency.

Usage: check-readers.py GLIMMERDOCK ICONS_FOLDER"""

import base64
import functools
import glob
import io
import json
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
    # Two colours, one of them transparent: palettes with a transparent entry, except in the .ico.
    "circle.svg": """<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64"
        shape-rendering="crispEdges"><circle cx="32" cy="32" r="30" fill="#c83c28"/></svg>""",
}

# Whose every set is weighed against ImageMagick's and Pillow's bytes; and whose .ico alone.
COMPARED_WITH_PEERS = ("flat.svg", "photo.png")
ICO_COMPARED_WITH_PEERS = ("circle.svg",)

# The files of a set meant to be partly clear whatever the container: a round icon, an adaptive
# icon's foreground and themed layers, the dark and tinted looks, an unplated logo.
PARTLY_CLEAR = ("round", "foreground", "monochrome", "dark", "tinted", "unplated")


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
    # As programs open it: the entry loaded by its size (where Pillow 9.4 drops a PNG's tRNS).
    for edge in edges:
        with Image.open(path) as icon:
            icon.size = (edge, edge)
            yield "Pillow", pillow(icon)
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
    # Pillow refuses a run-length coded colour element whose runs do not end with their plane.
    for edge in (16, 32):
        with Image.open(path) as icon:
            icon.size = (edge, edge, 1)
            yield "Pillow", pillow(icon)
    yield "gdk-pixbuf", pixbuf(path)


@functools.lru_cache(maxsize=None)
def peer_bytes_of(data):
    """The sizes of ImageMagick's and Pillow's PNG for the pixels of the PNG file `data`; the sets
    hold many files alike (a theme holds the PNG set's), each weighed once."""
    with tempfile.NamedTemporaryFile(suffix=".png") as file:
        file.write(data)
        file.flush()
        return peer_bytes(file.name)


def peer_bytes(path):
    """The bytes of the PNG file at `path` as ImageMagick (level 9, adaptive filters) and Pillow
    (optimize) write its pixels; an RGB file (what the stores require) as RGB, as Pillow keeps it."""
    with open(path, "rb") as file:
        rgb = file.read(26)[25] == 2
    magick_png = subprocess.run(["convert", path, "-quality", "95", "png24:-" if rgb else "png:-"],
                                check=True, capture_output=True).stdout
    pillow_png = io.BytesIO()
    with Image.open(path) as image:
        image.save(pillow_png, "PNG", optimize=True)
    return len(magick_png), len(pillow_png.getvalue())


def no_larger_than_peers(name, folder):
    """Our bytes against the better of ImageMagick and Pillow for every folder of PNG files under
    `folder` (set by set), and for the .ico's 256 entry against their own .ico writers."""
    failures = []
    for target in sorted(os.listdir(folder)):
        ours = magick_total = pillow_total = 0
        for png in glob.glob(os.path.join(folder, target, "**", "*.png"), recursive=True):
            with Image.open(png) as image:
                if image.width * image.height > 512 * 512:
                    continue
            ours += os.path.getsize(png)
            with open(png, "rb") as file:
                magick_bytes, pillow_bytes = peer_bytes_of(file.read())
            magick_total += magick_bytes
            pillow_total += pillow_bytes
        if ours > min(magick_total, pillow_total):
            failures.append(f"{name} {target}: {ours} bytes, ImageMagick {magick_total}, "
                            f"Pillow {pillow_total}")
    return failures + ico_no_larger_than_peers(name, glob.glob(os.path.join(folder, "ico", "*.ico"))[0])


def ico_no_larger_than_peers(name, icon):
    """The .ico's 256 entry against ImageMagick's and Pillow's own .ico writers."""
    failures = []
    entry = ico_png_entry(icon)
    if entry:
        with tempfile.TemporaryDirectory() as work:
            png, magick_ico = os.path.join(work, "256.png"), os.path.join(work, "magick.ico")
            with open(png, "wb") as file:
                file.write(entry)
            subprocess.run(["convert", png, magick_ico], check=True)
            pillow_ico = io.BytesIO()
            with Image.open(png) as image:
                image.save(pillow_ico, "ICO", sizes=[(256, 256)])
            peers = (len(ico_png_entry(magick_ico)), len(ico_png_entry(pillow_ico.getvalue())))
        if len(entry) > min(peers):
            failures.append(f"{name} .ico: a 256 entry of {len(entry)} bytes, theirs {peers}")
    return failures


def ico_png_entry(source):
    """The bytes of the 256 px entry of an .ico file (a path or its bytes) if it is a PNG."""
    data = source if isinstance(source, bytes) else open(source, "rb").read()
    for i in range(struct.unpack("<H", data[4:6])[0]):
        record = data[6 + 16 * i:22 + 16 * i]
        size, offset = struct.unpack("<II", record[8:16])
        if record[0] == 0 and data[offset:offset + 4] == b"\x89PNG":
            return data[offset:offset + size]
    return b""


def render(glimmerdock, *arguments):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM")}
    subprocess.run([glimmerdock, "render", *arguments], check=True, env=env)


def check(glimmerdock, work, name):
    picture = os.path.join(work, name)
    if name in PICTURES:
        with open(picture, "w") as file:
            file.write(PICTURES[name])
    out = os.path.join(work, name[:-4])
    render(glimmerdock, picture, "--ico", out + ".ico", "--icns", out + ".icns", "--png", out,
           "--sizes", ",".join(map(str, SIZES)))
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
    if name in COMPARED_WITH_PEERS:
        render(glimmerdock, picture, "--all", out + "-all")
        failures += no_larger_than_peers(name, out + "-all")
    if name in ICO_COMPARED_WITH_PEERS:
        failures += ico_no_larger_than_peers(name, out + ".ico")
    return failures, palettes


def square_container(glimmerdock, work):
    """A square container fills the icon: no pixel of a file showing the icon whole is
    transparent, in every entry of the .ico and the .icns (every reader) and every PNG file."""
    project, out = os.path.join(work, "square.glimmer"), os.path.join(work, "square")
    with open(project, "w") as file:
        json.dump({"format": "glimmerdock-project", "version": 1, "layers": [],
                   "style": {"Container/useBackground": True, "Canvas/canvasSize": 2}}, file)
    render(glimmerdock, project, "--all", out)
    failures = []
    for path in sorted(glob.glob(os.path.join(out, "**", "*.*"), recursive=True)):
        if any(word in os.path.basename(path) for word in PARTLY_CLEAR):
            continue
        suffix = os.path.splitext(path)[1]
        readers = {".ico": ico_entries, ".icns": icns_elements,
                   ".png": lambda png: [("Pillow", pillow(png))]}
        for reader, (width, pixels) in readers.get(suffix, lambda _: [])(path):
            alpha = pixels[3::4]
            if not alpha or alpha.count(255) != len(alpha):
                failures.append(f"square container {os.path.relpath(path, out)}: {reader} reads "
                                f"{len(alpha) - alpha.count(255)} pixels of {width} x {width} "
                                "not opaque")
    return failures


# A project of a detailed picture from 48 px and a hand-drawn 16 x 16 one for 16 px alone, placed
# to fill the icon (16 times its size, at the icon square's corner): every 16 px file holds the
# drawing pixel for pixel, the 32 px ones nothing, and the files of 48 px and more are those of
# the detailed picture alone.
HAND_DRAWN = ("png/16x16.png", "hicolor/hicolor/16x16/apps/sized.png", "web/favicon-16x16.png",
              "msix/Square44x44Logo.targetsize-16.png")
DETAILED = ("android/**/*", "apple-layered/**/*", "apple/**/AppIcon-1024*.png", "png/48x48.png",
            "png/256x256.png", "hicolor/hicolor/[45]*/apps/sized.png", "web/icon-*.png",
            "msix/*targetsize-48*.png", "msix/Square150x150Logo.*.png")


def layer(path, index, scale, **sizes):
    with open(path, "rb") as file:
        data = base64.b64encode(file.read()).decode()
    return {"name": os.path.basename(path), "index": index, "x": 22, "y": 22, "scale": scale,
            "rotation": 0, "data": data, **sizes}


def size_ranges(glimmerdock, work):
    hand = os.path.join(work, "hand.png")
    Image.frombytes("RGBA", (16, 16), bytes(
        v for i in range(256) for v in (i * 7 % 256, i * 13 % 256, i % 16 * 16,
                                        0 if i % 5 == 0 else 255))).save(hand)
    detailed = layer(os.path.join(work, "photo.png"), 0, 85)
    trees = {}
    for name, layers in (("ranged", [dict(detailed, minSize=48), layer(hand, 1, 1600, maxSize=16)]),
                         ("alone", [detailed])):
        os.makedirs(os.path.join(work, name))
        project = os.path.join(work, name, "sized.glimmer")
        with open(project, "w") as file:
            json.dump({"format": "glimmerdock-project", "version": 1, "layers": layers}, file)
        trees[name] = os.path.join(work, name, "all")
        render(glimmerdock, project, "--all", trees[name])
    ranged, alone = trees["ranged"], trees["alone"]
    drawn, failures = pillow(hand), []
    for path in HAND_DRAWN:
        for reader, read in (("Pillow", pillow), ("gdk-pixbuf", pixbuf)):
            if read(os.path.join(ranged, path)) != drawn:
                failures.append(f"size ranges: {reader} reads {path} otherwise than drawn")
    if pillow(os.path.join(ranged, "png/32x32.png"))[1] != bytes(32 * 32 * 4):
        failures.append("size ranges: the 32 px file shows a picture")
    for path in sorted({p for pattern in DETAILED
                        for p in glob.glob(os.path.join(alone, pattern), recursive=True)}):
        if os.path.isfile(path) and open(path, "rb").read() != open(
                path.replace(alone, ranged), "rb").read():
            failures.append(f"size ranges: {os.path.relpath(path, alone)} is not the detailed one")
    for suffix, entries in ((".ico", ico_entries), (".icns", icns_elements)):
        files = [glob.glob(os.path.join(tree, "*", "sized" + suffix))[0] for tree in (ranged, alone)]
        read = [sorted(entries(file)) for file in files]
        for (reader, (edge, pixels)), other in zip(*read):
            if pixels != (drawn[1] if edge == 16 else other[1][1]) and edge != 32:
                failures.append(f"size ranges: {reader} reads the {edge} px {suffix} entry otherwise")
    return failures


def main():
    failures, palettes = [], 0
    with tempfile.TemporaryDirectory() as work:
        subprocess.run(["convert", "-size", "300x200", "-seed", "3", "plasma:fractal",
                        os.path.join(work, "photo.png")], check=True)
        for name in (*PICTURES, "photo.png"):
            found, counted = check(sys.argv[1], work, name)
            failures += found
            palettes += counted
        failures += square_container(sys.argv[1], work)
        failures += size_ranges(sys.argv[1], work)
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
