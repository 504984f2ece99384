"""Headless Chromium for the browser tests: a page served on 127.0.0.1, driven over DevTools.

Every browser test goes through here, so that all of them start Chromium the same way (software
WebGL through SwiftShader, no network of its own) and read the console the same way.
"""

import base64
import functools
import http.server
import io
import os
import shutil
import socketserver
import sys
import threading
import time

from selenium import webdriver
from selenium.common.exceptions import TimeoutException
from selenium.webdriver.chrome.service import Service

CHROMIUM = os.environ.get("VANTORIX_CHROMIUM", "/usr/bin/chromium")
CHROMEDRIVER = os.environ.get("VANTORIX_CHROMEDRIVER", "/usr/bin/chromedriver")

# Software WebGL, and none of the background connections that a closed network refuses.
CHROMIUM_FLAGS = [
    "--headless=new",
    "--no-sandbox",
    "--use-angle=swiftshader",
    "--enable-unsafe-swiftshader",
    "--ignore-gpu-blocklist",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--disable-quic",
    "--no-first-run",
    "--disable-default-apps",
    "--disable-extensions",
    "--mute-audio",
    # A hidden headless tab must keep its animation frames coming.
    "--disable-background-timer-throttling",
    "--disable-renderer-backgrounding",
    "--disable-backgrounding-occluded-windows",
]


def require_tools():
    """Fails (not skips) when the browser or its driver is missing: the install step brings them."""
    for tool in (CHROMIUM, CHROMEDRIVER):
        if not (os.path.isfile(tool) and os.access(tool, os.X_OK)):
            sys.exit(f"missing {tool}: run scripts/install-deps web")


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        ".wasm": "application/wasm",
        ".js": "text/javascript",
        ".webmanifest": "application/manifest+json",
    }

    def log_message(self, *args):
        pass

    def end_headers(self):
        # Every load reads the files as they are now.
        self.send_header("Cache-Control", "no-store")
        super().end_headers()


class Server:
    """Serves `folder` on 127.0.0.1 at a free port (or at `port`, to serve the same address
    again), in a thread, for as long as the `with` lasts."""

    def __init__(self, folder, port=0):
        handler = functools.partial(_QuietHandler, directory=folder)
        socketserver.TCPServer.allow_reuse_address = True
        self._server = socketserver.ThreadingTCPServer(("127.0.0.1", port), handler)
        self.port = self._server.server_address[1]
        self._server.daemon_threads = True
        self.url = f"http://127.0.0.1:{self._server.server_address[1]}/"

    def __enter__(self):
        threading.Thread(target=self._server.serve_forever, daemon=True).start()
        return self

    def __exit__(self, *exc):
        self._server.shutdown()
        self._server.server_close()


class Browser:
    """One headless Chromium with one tab. `cdp` sends a DevTools command; `logs` reads the
    console lines that arrived since the last call."""

    def __init__(self, width=800, height=600, profile_dir=None, flags=None):
        """`flags` replaces CHROMIUM_FLAGS (another renderer than SwiftShader, say)."""
        require_tools()
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for flag in CHROMIUM_FLAGS if flags is None else flags:
            options.add_argument(flag)
        self._profile = profile_dir
        if profile_dir:
            shutil.rmtree(profile_dir, ignore_errors=True)
            options.add_argument(f"--user-data-dir={profile_dir}")
        options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
        self.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        self.set_viewport(width, height)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.driver.quit()

    def cdp(self, method, params=None):
        return self.driver.execute_cdp_cmd(method, params or {})

    def set_viewport(self, width, height, scale=1, mobile=False):
        """The page's layout viewport in CSS pixels, at a device pixel ratio of `scale`; `mobile`
        as a phone's browser lays pages out (its viewport meta tag counts)."""
        self.cdp("Emulation.setDeviceMetricsOverride",
                 {"width": width, "height": height, "deviceScaleFactor": scale, "mobile": mobile})

    def touch_screen(self, points=5):
        """A touch screen in place of the mouse: touch events, navigator.maxTouchPoints."""
        self.cdp("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": points})

    def offline(self, offline):
        """Cuts the page off the network, or gives it back."""
        self.cdp("Network.enable")
        self.cdp("Network.emulateNetworkConditions",
                 {"offline": offline, "latency": 0, "downloadThroughput": -1,
                  "uploadThroughput": -1})

    def before_scripts(self, source):
        """Runs `source` in every new document before the page's own scripts."""
        self.cdp("Page.addScriptToEvaluateOnNewDocument", {"source": source})

    def open(self, url):
        self.driver.get(url)

    def js(self, expression, *args):
        return self.driver.execute_script(expression, *args)

    def frames(self, count):
        """Waits until the page has shown `count` more animation frames."""
        self.driver.execute_async_script(
            "const done = arguments[1]; let left = arguments[0];"
            "const next = () => (--left > 0 ? requestAnimationFrame(next) : done());"
            "requestAnimationFrame(next);", count)

    def wait_for(self, expression, timeout=60.0, interval=0.1):
        """Waits until `expression` (JavaScript, returning a value) is truthy; returns it."""
        deadline = time.monotonic() + timeout
        while True:
            try:
                value = self.js(f"return ({expression});")
            except TimeoutException:
                # A page that runs a long stretch without returning to its event loop (the
                # benchmark's page draws all its frames in one go) answers no script meanwhile.
                value = None
            if value:
                return value
            if time.monotonic() > deadline:
                raise TimeoutError(f"still false after {timeout} s: {expression}")
            time.sleep(interval)

    def logs(self):
        """Console lines since the last call, as (level, text) pairs."""
        return [(entry["level"], entry["message"]) for entry in self.driver.get_log("browser")]

    def network_events(self):
        """DevTools network events since the last call (for failed requests)."""
        import json
        events = []
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"].startswith("Network."):
                events.append(message)
        return events

    def screenshot_png(self, clip=None):
        """The page's picture as PNG bytes, at device pixels; `clip` (x, y, width, height in CSS
        pixels) takes only that part."""
        params = {"format": "png"}
        if clip:
            x, y, width, height = clip
            params["clip"] = {"x": x, "y": y, "width": width, "height": height, "scale": 1}
        shot = self.cdp("Page.captureScreenshot", params)
        return base64.b64decode(shot["data"])

    def screenshot(self, clip=None):
        """The page's picture as a PIL image in RGB."""
        from PIL import Image
        return Image.open(io.BytesIO(self.screenshot_png(clip))).convert("RGB")

    def touch(self, kind, points):
        """One touch event ("touchStart", "touchMove", "touchEnd") with its fingers at `points`
        (CSS pixels); a start and an end in the same place make a tap, and a click."""
        self.cdp("Input.dispatchTouchEvent",
                 {"type": kind, "touchPoints": [{"x": x, "y": y} for x, y in points]})

    def key(self, key, code, key_code, text=None, modifiers=0):
        """One key pressed and released, as DevTools types it (`key`, `code`, virtual-key code;
        `modifiers` as DevTools counts them: 1 Alt, 2 Ctrl, 4 Meta, 8 Shift)."""
        down = {"type": "keyDown" if text else "rawKeyDown", "key": key, "code": code,
                "windowsVirtualKeyCode": key_code, "nativeVirtualKeyCode": key_code,
                "modifiers": modifiers}
        if text:
            down["text"] = text
            down["unmodifiedText"] = text
        self.cdp("Input.dispatchKeyEvent", down)
        self.cdp("Input.dispatchKeyEvent", {"type": "keyUp", "key": key, "code": code,
                                            "windowsVirtualKeyCode": key_code,
                                            "nativeVirtualKeyCode": key_code,
                                            "modifiers": modifiers})
