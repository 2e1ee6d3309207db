#!/usr/bin/python3
"""Draws an SVG that names other files in every way SVG and CSS can (an image, a use, a url()
paint, a style sheet import, an XInclude, a base, a processing instruction, an entity, a data:
document naming them in turn) through Glimmerdock's command line under strace: no such file may
even be looked at, and nothing they hold (red) may be drawn.

Usage: check-no-outside-reads.py GLIMMERDOCK"""

import base64
import os
import subprocess
import sys
import tempfile

import gi

gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf  # noqa: E402

RED_PNG = base64.b64decode("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8"
                           "DwHwAFBQIAX8jx0gAAAABJRU5ErkJggg==")


def attack(secret):
    inner = (f'<svg xmlns="http://www.w3.org/2000/svg" width="8" height="8">'
             f'<image width="8" height="8" href="{secret}/red.png"/></svg>')
    data = "data:image/svg+xml;base64," + base64.b64encode(inner.encode()).decode()
    return f"""<?xml version="1.0"?>
<?xml-stylesheet href="{secret}/sheet.css"?>
<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink"
     xmlns:xi="http://www.w3.org/2001/XInclude" width="32" height="32" xml:base="file://{secret}/">
<style>@import url("{secret}/sheet.css"); rect {{ fill: url({secret}/paint.svg#p) }}</style>
<image width="32" height="32" xlink:href="{secret}/red.png"/>
<image width="32" height="32" href="file://{secret}/red.png"/>
<image width="32" height="32" href="red.png"/>
<image width="32" height="32" href="{data}"/>
<use href="{secret}/paint.svg#r"/>
<use href="{data}#r"/>
<rect width="32" height="32" style="fill: url('file://{secret}/paint.svg#p')"/>
<rect width="32" height="32" fill="url({data}#p)" filter="url({secret}/paint.svg#f)"/>
<filter id="f"><feImage href="{secret}/red.png"/></filter>
<rect width="32" height="32" fill="none" stroke="none" filter="url(#f)"/>
<xi:include href="{secret}/paint.svg" parse="xml"/>
<xi:include href="{secret}/sheet.css" parse="text"/>
</svg>"""


def main():
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM")}
    # LeakSanitizer (in the sanitizer build) cannot run under strace; leaks are not checked here.
    env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
    with tempfile.TemporaryDirectory() as work:
        secret = os.path.join(work, "secret")
        os.mkdir(secret)
        with open(os.path.join(secret, "red.png"), "wb") as file:
            file.write(RED_PNG)
        with open(os.path.join(secret, "sheet.css"), "w") as file:
            file.write("rect { fill: red }")
        with open(os.path.join(secret, "paint.svg"), "w") as file:
            file.write('<svg xmlns="http://www.w3.org/2000/svg"><rect id="r" width="99" '
                       'height="99" fill="red"/><linearGradient id="p"><stop stop-color="red"/>'
                       '</linearGradient></svg>')
        picture = os.path.join(work, "attack.svg")
        with open(picture, "w") as file:
            file.write(attack(secret))
        log, out = os.path.join(work, "strace.log"), os.path.join(work, "out")
        subprocess.run(["strace", "-f", "-e", "trace=%file", "-o", log, sys.argv[1], "render",
                        picture, "--png", out, "--sizes", "32"], check=True, env=env,
                       cwd=secret)
        with open(log) as file:
            trace = file.read()
        drawn = GdkPixbuf.Pixbuf.new_from_file(os.path.join(out, "32x32.png"))
        failures = [line for line in trace.splitlines() if "secret/" in line]
        if "attack.svg" not in trace:
            failures.append("strace saw no file opened: the check is void")
        pixels = drawn.get_pixels()
        # The other files hold red alone; what they leave unpainted may come out black.
        if any(pixels[i] > 64 for i in range(0, len(pixels), 4)):
            failures.append("something of the other files was drawn")
    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print("PASS: nothing outside the SVG was looked at or drawn")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
