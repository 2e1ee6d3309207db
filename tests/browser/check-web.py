#!/usr/bin/python3
"""Opens the web icon set in a real browser: Chromium (headless, over its DevTools protocol)
loads a page carrying head.html's tags from 127.0.0.1, the set served at the base its links
start from (given on the command line, or kept in the project) and the page in another folder,
and must report no error in the manifest, nothing about the manifest or its icons in its
installability check, and decode every icon the page and the manifest name.

Usage: check-web.py GLIMMERDOCK"""

import base64
import functools
import http.server
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

import websocket


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


LOGO = """<svg xmlns="http://www.w3.org/2000/svg" width="96" height="64">
<rect width="96" height="64" rx="12" fill="orange"/><circle cx="48" cy="32" r="24" fill="navy"/>
</svg>"""


# A round container with a gradient and a border, the picture enlarged, turned and clipped to it:
# every part of a project a vector favicon can carry.
PROJECT = {"format": "glimmerdock-project", "version": 1,
         "style": {"Container/shape": 2, "Container/useBackground": True,
                   "Container/backStyle": 1, "Container/backOrientation": 4,
                   "Container/backColor1": "#2060c0", "Container/backColor2": "#f0f0a0",
                   "Container/useBorder": True, "Container/borderWidth": 6,
                   "Container/borderColor": "#102030", "Container/clipImage": True,
                   "Badge/useBadge": False}}


def layer(svg, x=35, y=45, scale=200):
    return {"name": "logo.svg", "index": 0, "x": x, "y": y, "scale": scale, "rotation": 30,
            "data": base64.b64encode(svg.encode()).decode()}


def render_site(glimmerdock, work, name, style, picture, base):
    """The set in work/NAME, served at /NAME/, and a page at /pages/NAME.html linking it, the base
    given by `base`: ["--web-base", PATH] or {"webBase": PATH} in the project."""
    project = os.path.join(work, name + ".glimmer")
    with open(project, "w") as file:
        json.dump(dict(PROJECT, layers=[picture], style=dict(PROJECT["style"], **style),
                       **(base if isinstance(base, dict) else {})), file)
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM")}
    site = os.path.join(work, name)
    subprocess.run([glimmerdock, "render", project, "--web", site,
                    *(base if isinstance(base, list) else [])], check=True, env=env)
    with open(os.path.join(site, "head.html")) as head:
        tags = head.read()
    os.makedirs(os.path.join(work, "pages"), exist_ok=True)
    with open(os.path.join(work, "pages", name + ".html"), "w") as page:
        page.write("<!doctype html><html><head><title>Icons</title>\n" + tags +
                   "</head><body>Icons</body></html>\n")
    return site


def serve(site):
    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

    handler = functools.partial(Quiet, directory=site)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def start_browser(profile):
    browser = shutil.which("chromium") or fail("chromium is not installed")
    process = subprocess.Popen(
        [browser, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
         "--no-first-run", "--disable-background-networking", "--disable-component-update",
         "--disable-sync", "--remote-debugging-port=0", "--remote-allow-origins=*",
         "--user-data-dir=" + profile, "about:blank"],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    port_file = os.path.join(profile, "DevToolsActivePort")
    for _ in range(300):
        if os.path.exists(port_file) and open(port_file).read().count("\n") >= 1:
            return process, int(open(port_file).read().split("\n")[0])
        time.sleep(0.1)
    process.kill()
    fail("Chromium did not open its DevTools port")


class Page:
    def __init__(self, port):
        for _ in range(100):
            pages = json.load(urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list"))
            pages = [p for p in pages if p.get("type") == "page"]
            if pages:
                break
            time.sleep(0.1)
        self.socket = websocket.create_connection(pages[0]["webSocketDebuggerUrl"], timeout=60)
        self.next_id = 0
        self.events = []

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                if "error" in message:
                    fail(f"{method}: {message['error']}")
                return message["result"]
            self.events.append(message.get("method"))

    def wait_for(self, event):
        while event not in self.events:
            message = json.loads(self.socket.recv())
            self.events.append(message.get("method"))


DECODE_ALL = """
(async () => {
  const from = document.querySelector('link[rel=manifest]').href;
  const manifest = await (await fetch(from)).json();
  const urls = [...document.querySelectorAll('link[rel~=icon], link[rel=apple-touch-icon]')]
      .map(l => l.href).concat(manifest.icons.map(i => new URL(i.src, from).href));
  const results = [];
  for (const url of urls) {
    const image = new Image();
    image.src = url;
    try { await image.decode(); results.push([url, image.naturalWidth]); }
    catch (e) { results.push([url, 0]); }
  }
  return JSON.stringify(results);
})()
"""

# The vector favicon drawn by the browser against the icon we drew: mean difference per channel.
COMPARE_SVG = """
(async () => {
  const pixels = async (url) => {
    const image = new Image();
    image.src = url;
    await image.decode();
    const canvas = document.createElement('canvas');
    canvas.width = canvas.height = 192;
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0, 192, 192);
    return context.getImageData(0, 0, 192, 192).data;
  };
  const svg = await pixels('../%s/favicon.svg'), png = await pixels('../%s/icon-192.png');
  let sum = 0;
  for (let i = 0; i < svg.length; i++) sum += Math.abs(svg[i] - png[i]);
  return sum / svg.length;
})()
"""


def main():
    glimmerdock = sys.argv[1]
    with tempfile.TemporaryDirectory() as work:
        render_site(glimmerdock, work, "clipped", {}, layer(LOGO), ["--web-base", "/clipped/"])
        # A rounded rectangle that leaves the turned picture, larger than the icon, unclipped.
        render_site(glimmerdock, work, "free",
                    {"Container/shape": 1, "Container/radius": 60, "Container/clipImage": False},
                    layer(LOGO, -20, -10, 300), {"webBase": "/free"})
        server = serve(work)
        process, port = start_browser(os.path.join(work, "profile"))
        try:
            page = Page(port)
            page.call("Page.enable")
            page.call("Page.navigate", url=f"http://127.0.0.1:{server.server_port}/pages/clipped.html")
            page.wait_for("Page.loadEventFired")
            manifest = page.call("Page.getAppManifest")
            if manifest.get("errors") or not manifest.get("data"):
                fail(f"manifest: {manifest.get('errors')} {manifest.get('url')}")
            errors = page.call("Page.getInstallabilityErrors")["installabilityErrors"]
            ours = [e for e in errors
                    if any(word in e["errorId"] for word in ("manifest", "icon", "start-url"))]
            if ours:
                fail(f"installability: {ours}")
            decoded = json.loads(page.call("Runtime.evaluate", expression=DECODE_ALL,
                                           awaitPromise=True)["result"]["value"])
            broken = [url for url, width in decoded if width == 0]
            # The favicon file, the vector one and the touch icon; the manifest's three.
            if len(decoded) != 6 or broken:
                fail(f"icons not decoded: {broken} of {len(decoded)}")
            theme = page.call("Runtime.evaluate", expression="document.querySelector("
                              "'meta[name=theme-color]').content")["result"]["value"]
            if theme != json.loads(manifest["data"])["theme_color"]:
                fail(f"theme-color {theme} is not the manifest's")
            difference = 0
            for site in ("clipped", "free"):
                difference = max(difference, page.call(
                    "Runtime.evaluate", expression=COMPARE_SVG % (site, site),
                    awaitPromise=True)["result"]["value"])
                if difference > 2:
                    fail(f"{site}/favicon.svg differs from icon-192.png by {difference} per channel")
            print(f"PASS: manifest without errors, {len(decoded)} icons decoded, "
                  f"favicon.svg within {difference:.2f} of the PNG, "
                  f"other installability notes: {[e['errorId'] for e in errors]}")
        finally:
            process.kill()
            process.wait()
            server.shutdown()


if __name__ == "__main__":
    main()
