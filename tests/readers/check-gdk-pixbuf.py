#!/usr/bin/python3
"""Reads the icons Glimmerdock writes with gdk-pixbuf, the reader of GNOME's file manager and of
every GTK program: the entry it picks from the .ico and .icns files must hold exactly the pixels
of the PNG file written from the same icon at that size, for a picture with soft edges and for
the empty icon; likewise the application's own icon file against its PNG files.

Usage: check-gdk-pixbuf.py GLIMMERDOCK ICONS_FOLDER"""

import os
import subprocess
import sys
import tempfile

import gi

gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf  # noqa: E402

LOGO = """<svg xmlns="http://www.w3.org/2000/svg" width="96" height="64">
<rect width="96" height="64" rx="20" fill="orange" fill-opacity="0.6"/>
<circle cx="48" cy="32" r="24" fill="navy"/></svg>"""


def pixels(path):
    image = GdkPixbuf.Pixbuf.new_from_file(path)
    return image.get_width(), image.get_has_alpha(), image.get_pixels()


def check(glimmerdock, work, picture):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM")}
    out = os.path.join(work, "out-" + os.path.basename(picture))
    subprocess.run([glimmerdock, "render", picture, "--ico", out + ".ico", "--icns",
                    out + ".icns", "--png", out, "--sizes", "16,32,48,256,512,1024"], check=True,
                   env=env)
    failures = []
    for icon in (".ico", ".icns"):
        got = pixels(out + icon)
        want = pixels(os.path.join(out, f"{got[0]}x{got[0]}.png"))
        if got != want:
            failures.append(f"{picture}{icon}: {got[0]} px, alpha {got[1]}, "
                            f"{sum(a != b for a, b in zip(got[2], want[2]))} bytes differ")
    return failures


def main():
    with tempfile.TemporaryDirectory() as work:
        logo = os.path.join(work, "logo.svg")
        empty = os.path.join(work, "empty.svg")
        with open(logo, "w") as file:
            file.write(LOGO)
        with open(empty, "w") as file:
            file.write('<svg xmlns="http://www.w3.org/2000/svg" width="8" height="8"/>')
        failures = check(sys.argv[1], work, logo) + check(sys.argv[1], work, empty)
    own = pixels(os.path.join(sys.argv[2], "glimmerdock.ico"))
    if own != pixels(os.path.join(sys.argv[2], f"glimmerdock-{own[0]}.png")):
        failures.append(f"glimmerdock.ico: its {own[0]} px entry is not glimmerdock-{own[0]}.png")
    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print("PASS: gdk-pixbuf reads the .ico and .icns files as the PNG files")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
