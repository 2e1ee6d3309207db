#!/usr/bin/python3
"""Opens the web icon set in a real browser: Chromium (headless, over its DevTools protocol)
loads a page carrying head.html's tags from 127.0.0.1, and must report no error in the
manifest, nothing about the manifest or its icons in its installability check, and decode
every icon the page and the manifest name.

Usage: check-web.py GLIMMERDOCK"""

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


def render_site(glimmerdock, work):
    picture = os.path.join(work, "logo.png")
    subprocess.run(["convert", "-size", "96x64", "xc:orange", "-fill", "navy",
                    "-draw", "circle 48,32 48,8", picture], check=True)
    site = os.path.join(work, "site")
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM")}
    subprocess.run([glimmerdock, "render", picture, "--web", site], check=True, env=env)
    with open(os.path.join(site, "head.html")) as head:
        tags = head.read()
    with open(os.path.join(site, "index.html"), "w") as page:
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
  const manifest = await (await fetch(document.querySelector('link[rel=manifest]').href)).json();
  const urls = [...document.querySelectorAll('link[rel~=icon], link[rel=apple-touch-icon]')]
      .map(l => l.href).concat(manifest.icons.map(i => new URL(i.src, location.href).href));
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


def main():
    glimmerdock = sys.argv[1]
    with tempfile.TemporaryDirectory() as work:
        server = serve(render_site(glimmerdock, work))
        process, port = start_browser(os.path.join(work, "profile"))
        try:
            page = Page(port)
            page.call("Page.enable")
            page.call("Page.navigate", url=f"http://127.0.0.1:{server.server_port}/index.html")
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
            if len(decoded) < 7 or broken:
                fail(f"icons not decoded: {broken} of {len(decoded)}")
            print(f"PASS: manifest without errors, {len(decoded)} icons decoded, "
                  f"other installability notes: {[e['errorId'] for e in errors]}")
        finally:
            process.kill()
            process.wait()
            server.shutdown()


if __name__ == "__main__":
    main()
