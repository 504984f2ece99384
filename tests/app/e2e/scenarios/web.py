#!/usr/bin/python3
"""web.py -- the browser game: its real page in headless Chromium, driven over DevTools.

Usage: web.py SCENARIO WEB_BUILD_DIR ARTEFACT_DIR SNAPSHOT MUSL_RAND
  SCENARIO    one of the scenario_* functions below, with '-' for '_' (same-world)
  WEB_BUILD_DIR  the Emscripten build tree (`make web-build`); its page/ is what `make web` ships
  SNAPSHOT    the Linux snapshot tool (OSMesa), MUSL_RAND the rand shim it is run with
The screenshots and findings are kept in ARTEFACT_DIR/web-SCENARIO.
"""

import gzip
import os
import re
import subprocess
import sys
import time

import numpy
from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..",
                                "support"))
import browser  # noqa: E402

WIDTH, HEIGHT = 800, 600
# Where things are in view 1 at 800x600, as the desktop tests find them: the hearts in the top
# right corner, the snake at the start of play.
HEARTS = (560, 0, 240, 60)
SNAKE = (150, 170, 350, 90)
BELOW_HUD = (0, 60, 800, 540)
BLOCK = 10
CLEAR_DIFFERENCE = 20.0
# The budget of the page and everything it loads.
RAW_BUDGET = 3 * 1024 * 1024
GZIP_BUDGET = 1024 * 1024
# The same world drawn by the browser (WebGL) and by Linux (OSMesa): at most 1 % of the pixels
# may differ by more than this in a channel, and only where the picture has an edge.
CHANNEL_TOLERANCE = 48
DIFFERING_SHARE = 0.01
EDGE_REACH = 2
# A fixed page clock: the world's seed is the time in seconds at start-up.
FIXED_SECONDS = 1767225600
STATS_LINE = re.compile(r"Vantorix: (\d+) frames in ([0-9.]+) s \(([0-9.]+) fps\)")
# A display that calls back every 4 ms (250 Hz): the game must still keep 60 passes a second.
FAST_DISPLAY = """
window.vantorixDisplayFrames = 0;
window.requestAnimationFrame = (callback) => setTimeout(() => {
    window.vantorixDisplayFrames += 1;
    callback(performance.now());
}, 4);
"""
FIXED_CLOCK = f"Date.now = () => {FIXED_SECONDS * 1000};"
NO_WEBGL = """
const realGetContext = HTMLCanvasElement.prototype.getContext;
HTMLCanvasElement.prototype.getContext = function (type, ...rest) {
    return /webgl/.test(type) ? null : realGetContext.call(this, type, ...rest);
};
"""
# Every key event and touch start the page sees, and whether something took its default.
WATCH_DEFAULTS = """
window.vantorixSeen = [];
for (const type of ["keydown", "touchstart"]) {
    window.addEventListener(type, (event) => window.vantorixSeen.push(
        [type, event.key || "", event.defaultPrevented]));
}
"""

KEYS = {
    "Up": ("ArrowUp", "ArrowUp", 38, None),
    "Space": (" ", "Space", 32, " "),
    "Escape": ("Escape", "Escape", 27, None),
    "3": ("3", "Digit3", 51, "3"),
    "q": ("q", "KeyQ", 81, "q"),
    "Q": ("Q", "KeyQ", 81, "Q"),
}


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Run:
    """One scenario: the page served from the build tree, a headless browser, the artefacts."""

    def __init__(self, name, build_dir, artefacts):
        self.page_dir = os.path.join(build_dir, "page")
        check(os.path.isfile(os.path.join(self.page_dir, "index.html")),
              f"no page in {self.page_dir}: run make web-build")
        self.artefacts = os.path.join(artefacts, "web-" + name)
        os.makedirs(self.artefacts, exist_ok=True)
        self.result = open(os.path.join(self.artefacts, "result.txt"), "w")
        self.profile = os.path.join(self.artefacts, "profile")

    def note(self, text):
        print(text, flush=True)
        self.result.write(text + "\n")
        self.result.flush()

    def open_game(self, b, server, query="", first_frame=True):
        b.open(server.url + "index.html" + query)
        if first_frame:
            b.wait_for("performance.getEntriesByName('vantorix-first-frame').length > 0")

    def shot(self, b, name):
        image = b.screenshot()
        image.save(os.path.join(self.artefacts, name + ".png"))
        return numpy.asarray(image, dtype=numpy.int16)


def key(b, name):
    k, code, key_code, text = KEYS[name]
    b.key(k, code, key_code, text, modifiers=8 if name == "Q" else 0)


def region_of(picture, region):
    x, y, w, h = region
    return picture[y:y + h, x:x + w]


def changed(a, b, region=BELOW_HUD):
    """The 10x10 blocks of the region whose mean colours differ clearly (as x11probe diff)."""
    a, b = region_of(a, region), region_of(b, region)
    rows, cols = a.shape[0] // BLOCK, a.shape[1] // BLOCK

    def means(p):
        p = p[:rows * BLOCK, :cols * BLOCK].astype(numpy.float64)
        return p.reshape(rows, BLOCK, cols, BLOCK, 3).mean(axis=(1, 3))

    return int((numpy.abs(means(a) - means(b)) > CLEAR_DIFFERENCE).any(axis=2).sum())


def red(picture, region=HEARTS):
    """Strongly red pixels: the hearts (as x11probe red)."""
    p = region_of(picture, region)
    return int(((p[..., 0] > 150) & (p[..., 1] < 90) & (p[..., 2] < 90)).sum())


def green(picture, region=SNAKE):
    """Clearly green pixels: the snake's body."""
    p = region_of(picture, region)
    return int(((p[..., 1] > 90) & (p[..., 1] > p[..., 0] + 30) & (p[..., 1] > p[..., 2] + 30)).sum())


def yellow(picture):
    """Clearly yellow pixels: food of the yellow classes, which nothing else is."""
    return int(yellow_mask(picture).sum())


def yellow_mask(picture):
    return (picture[..., 0] > 180) & (picture[..., 1] > 180) & (picture[..., 2] < 80)


def settle(run, b, name, limit=30.0):
    """Waits until the picture holds still (a dead snake does) and returns it."""
    last = run.shot(b, name)
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        time.sleep(0.3)
        now = run.shot(b, name)
        if changed(last, now) == 0:
            return now
        last = now
    raise Failure(f"the picture did not hold still within {limit} s")


def exit_status(b):
    return b.js("return document.body.dataset.exitStatus;")


def wait_exit(b, expected):
    try:
        status = b.wait_for("document.body.dataset.exitStatus", timeout=10)
    except TimeoutError:
        status = None
    check(status == str(expected), f"exit status {status}, expected {expected}")


def problems(b):
    """Console errors, failed requests and reports of the game's own since the last call."""
    found = [text for level, text in b.logs() if level == "SEVERE"]
    for event in b.network_events():
        params = event["params"]
        if event["method"] == "Network.loadingFailed":
            found.append(f"request failed: {params.get('errorText')} ({params.get('type')})")
        elif event["method"] == "Network.responseReceived" and params["response"]["status"] >= 400:
            found.append(f"{params['response']['status']}: {params['response']['url']}")
    return found


def up_turns_the_snake(run, b, send_up, wait=0.6):
    """Early in the first life, Up ends the glide and sends the snake off (as the desktop's)."""
    glide = run.shot(b, "glide")
    time.sleep(0.3)
    glide_later = run.shot(b, "glide-later")
    still = changed(glide, glide_later, SNAKE)
    send_up()
    time.sleep(wait)
    moved = changed(glide_later, run.shot(b, "turned"), SNAKE)
    run.note(f"gliding: {still} blocks changed; after Up: {moved}")
    check(moved > 25 and moved > 3 * still, "Up did not move the snake")


def canvas_size(b):
    return tuple(b.js("const c = document.getElementById('canvas'); return [c.width, c.height];"))


def rightmost_red(picture):
    """The rightmost column of a strongly red pixel in the top tenth: the last heart's edge."""
    top = picture[:picture.shape[0] // 10]
    columns = numpy.nonzero(((top[..., 0] > 150) & (top[..., 1] < 90) & (top[..., 2] < 90)).any(0))
    return int(columns[0].max()) if columns[0].size else -1


def follows_size(run, b, width, height, scale, edge_at_800):
    """The canvas's drawing buffer takes the window's size at its pixel ratio, and the picture
    fills it: in a window wider than 800 device pixels, the hearts move right, past where they
    end at 800 (a viewport left at the old size would leave them there)."""
    b.set_viewport(width, height, scale)
    device = (width * scale, height * scale)
    try:
        b.wait_for(f"document.getElementById('canvas').width === {device[0]} && "
                   f"document.getElementById('canvas').height === {device[1]}", timeout=10)
    except TimeoutError:
        raise Failure(f"the canvas is {canvas_size(b)}, expected {device}")
    time.sleep(0.5)
    picture = run.shot(b, f"size-{width}x{height}@{scale}")
    check(picture.shape[:2] == (device[1], device[0]), f"a screenshot of {picture.shape}")
    edge = rightmost_red(picture)
    run.note(f"at {width}x{height} CSS pixels, ratio {scale}: canvas {canvas_size(b)}, the "
             f"hearts end at x {edge} (at {edge_at_800} in 800x600)")
    check(edge > edge_at_800 + 40, "the picture did not follow the new size")


def page_budget(run, requested):
    """What the page loads, raw and gzipped, against its budget."""
    raw = packed = 0
    for name in sorted(requested):
        path = os.path.join(run.page_dir, name)
        check(os.path.isfile(path), f"the page loaded {name}, which is not in {run.page_dir}")
        data = open(path, "rb").read()
        raw += len(data)
        packed += len(gzip.compress(data, 9, mtime=0))
    run.note(f"the page loads {', '.join(sorted(requested))}: {raw} bytes, {packed} gzipped")
    check(raw <= RAW_BUDGET, f"{raw} bytes is over the budget of {RAW_BUDGET}")
    check(packed <= GZIP_BUDGET, f"{packed} gzipped bytes is over the budget of {GZIP_BUDGET}")


def requested_files(b, server):
    names = b.js("return performance.getEntriesByType('resource').map(e => e.name);")
    names.append(b.js("return location.href.split('?')[0];"))
    return {n[len(server.url):] or "index.html" for n in names if n.startswith(server.url)}


def scenario_page(run, build_dir):
    """The page loads cleanly and within budget, draws the scene, answers a turn, a view and
    a resize, and keeps its last picture when Escape ends the game."""
    with browser.Server(run.page_dir) as server, browser.Browser(WIDTH, HEIGHT) as b:
        run.open_game(b, server)
        first = b.js("return performance.getEntriesByName('vantorix-first-frame')[0].startTime;")
        run.note(f"first frame {first:.0f} ms after the page was asked for")
        check(b.js("return document.title;") == "Vantorix", "the title is not Vantorix")
        check(b.js("return document.getElementById('loading').hidden;"),
              "the loading line is still shown")
        icon = b.js("return document.querySelector('link[rel=icon]').href;")
        check(b.driver.execute_async_script(
            "const done = arguments[1];"
            "fetch(arguments[0]).then((r) => (r.ok ? r.blob() : null))"
            "    .then((blob) => done(blob ? blob.type : ''), () => done(''));", icon) == "image/png",
              "the favicon is no PNG the page can load")
        page_budget(run, requested_files(b, server) | {"favicon.png"})
        b.js(WATCH_DEFAULTS)

        start = run.shot(b, "start")
        hearts = red(start)
        snake = green(start)
        run.note(f"hearts: {hearts} red pixels; snake: {snake} green pixels")
        check(hearts > 1000, "no hearts in the top right corner")
        check(snake > 300, "no snake where the game starts it")
        up_turns_the_snake(run, b, lambda: key(b, "Up"))
        dead = settle(run, b, "view1")
        key(b, "3")
        time.sleep(0.3)
        view = changed(dead, run.shot(b, "view3"))
        run.note(f"after '3': {view} blocks changed")
        check(view > 400, "digit 3 did not change the view")
        key(b, "Space")
        seen = b.js("return window.vantorixSeen;")
        check(["keydown", "ArrowUp", True] in seen and ["keydown", " ", True] in seen,
              f"an arrow key or Space kept its default (scrolling): {seen}")

        edge = rightmost_red(run.shot(b, "size-800x600@1"))
        follows_size(run, b, 1000, 600, 1, edge)
        follows_size(run, b, 500, 300, 2, edge)
        b.set_viewport(WIDTH, HEIGHT)
        time.sleep(0.5)
        key(b, "Escape")
        wait_exit(b, 27)
        check(not b.js("return document.getElementById('ended').hidden;"),
              "the page does not say that the game has ended")
        check(b.js("return document.getElementById('again').textContent;") == "Play again",
              "no way to play again")
        b.js("document.getElementById('ended').hidden = true;")
        time.sleep(0.3)
        last = run.shot(b, "after-escape")
        time.sleep(1.0)
        later = run.shot(b, "after-escape-later")
        kept = changed(last, later, (0, 0, WIDTH, HEIGHT))
        run.note(f"after Escape: {red(later)} red heart pixels, {green(later, (0, 0, WIDTH, HEIGHT))}"
                 f" green snake pixels; {kept} blocks changed in the second after")
        check(red(later) > 600 and green(later, (0, 0, WIDTH, HEIGHT)) > 300 and kept == 0,
              "the last picture did not stay")
        found = problems(b)
        check(not found, f"console errors or failed requests: {found}")
        reports = [text for level, text in b.logs() if "Vantorix:" in text]
        check(not reports, f"the game reported: {reports}")


def scenario_quit_keys(run, build_dir):
    """q and Q end the game with the codes the desktop game returns (Escape: the page scenario);
    the page's offer to play again starts a new game."""
    with browser.Server(run.page_dir) as server, browser.Browser(WIDTH, HEIGHT) as b:
        run.open_game(b, server)
        key(b, "q")
        wait_exit(b, 113)
        run.note("'q' ended the game with 113")
        b.js("document.getElementById('again').click();")
        b.wait_for("performance.getEntriesByName('vantorix-first-frame').length > 0 && "
                   "document.body.dataset.exitStatus === undefined")
        run.note("'Play again' started a new game")
        key(b, "Q")
        wait_exit(b, 81)
        run.note("'Q' ended the game with 81")
        check(not problems(b), "console errors or failed requests")


def touch(b, kind, points):
    b.cdp("Input.dispatchTouchEvent",
          {"type": kind, "touchPoints": [{"x": x, "y": y} for x, y in points]})


def swipe(b, start, end, steps=6):
    touch(b, "touchStart", [start])
    for i in range(1, steps + 1):
        touch(b, "touchMove", [(start[0] + (end[0] - start[0]) * i / steps,
                                start[1] + (end[1] - start[1]) * i / steps)])
        time.sleep(0.02)
    touch(b, "touchEnd", [])


def scenario_touch(run, build_dir):
    """A swipe up turns the snake as Up does; after its death a tap continues, as Space does."""
    with browser.Server(run.page_dir) as server, browser.Browser(WIDTH, HEIGHT) as b:
        b.cdp("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 1})
        run.open_game(b, server)
        b.js(WATCH_DEFAULTS)
        up_turns_the_snake(run, b, lambda: swipe(b, (400, 400), (400, 250)))
        dead = settle(run, b, "dead")
        touch(b, "touchStart", [(400, 300)])
        touch(b, "touchEnd", [])
        time.sleep(0.5)
        after = run.shot(b, "tapped")
        run.note(f"red heart pixels after the death: {red(dead)}; after a tap: {red(after)}")
        check(red(after) < red(dead) * 4 / 5 and red(after) > red(dead) / 2,
              "a tap did not continue with one life fewer")
        seen = b.js("return window.vantorixSeen;")
        check(seen and all(prevented for kind, _, prevented in seen if kind == "touchstart"),
              f"a touch kept its default (scrolling, zooming): {seen}")
        check(not problems(b), "console errors or failed requests")


def scenario_context_lost(run, build_dir):
    """A lost WebGL context neither ends nor resets the game; restored, it draws the same game."""
    with browser.Server(run.page_dir) as server, browser.Browser(WIDTH, HEIGHT) as b:
        run.open_game(b, server)
        key(b, "Up")
        before = settle(run, b, "before-loss")
        lose = "Module.ctx.getExtension('WEBGL_lose_context')"
        check(b.js(f"window.vantorixLose = {lose}; return !!window.vantorixLose;"),
              "no WEBGL_lose_context")
        b.js("window.vantorixLose.loseContext();")
        b.wait_for("Module.ctx.isContextLost()", timeout=5)
        time.sleep(1.0)
        check(exit_status(b) is None, "the lost context ended the game")
        b.js("window.vantorixLose.restoreContext();")
        b.wait_for("!Module.ctx.isContextLost()", timeout=5)
        time.sleep(1.0)
        after = run.shot(b, "restored")
        differ = changed(before, after, (0, 0, WIDTH, HEIGHT))
        run.note(f"restored: {differ} blocks differ from the picture before the loss; "
                 f"red heart pixels {red(before)} before, {red(after)} after")
        check(differ < 10 and red(after) > red(before) * 9 / 10,
              "the restored context does not show the game as it was")
        key(b, "Space")
        time.sleep(0.5)
        going_on = run.shot(b, "going-on")
        run.note(f"after Space: {red(going_on)} red heart pixels")
        check(red(going_on) < red(after) * 4 / 5, "the game did not go on after the restore")
        check(not problems(b), "console errors or failed requests")


def edge_pixels(picture):
    """Pixels within EDGE_REACH of a step of more than CHANNEL_TOLERANCE between neighbours."""
    step = numpy.zeros(picture.shape[:2], dtype=bool)
    dx = numpy.abs(numpy.diff(picture, axis=1)).max(axis=2) > CHANNEL_TOLERANCE
    dy = numpy.abs(numpy.diff(picture, axis=0)).max(axis=2) > CHANNEL_TOLERANCE
    step[:, :-1] |= dx
    step[:, 1:] |= dx
    step[:-1, :] |= dy
    step[1:, :] |= dy
    near = step.copy()
    for shift_y in range(-EDGE_REACH, EDGE_REACH + 1):
        for shift_x in range(-EDGE_REACH, EDGE_REACH + 1):
            near |= numpy.roll(numpy.roll(step, shift_y, axis=0), shift_x, axis=1)
    return near


def linux_picture(run, snapshot, shim, seed, ticks, name):
    out = os.path.join(run.artefacts, name + ".png")
    env = dict(os.environ, LD_PRELOAD=shim,
               ASAN_OPTIONS="detect_leaks=0:verify_asan_link_order=0")
    subprocess.run([snapshot, "--seed", str(seed), "--ticks", str(ticks), "--view", "1",
                    "--assets", run.source_dir, "--out", out], check=True, env=env,
                   stdout=subprocess.DEVNULL)
    return numpy.asarray(Image.open(out).convert("RGB"), dtype=numpy.int16)


def compare(run, web, linux, what):
    differing = numpy.abs(web - linux).max(axis=2) > CHANNEL_TOLERANCE
    off_edge = differing & ~(edge_pixels(linux) | edge_pixels(web))
    Image.fromarray((differing * 255).astype(numpy.uint8)).save(
        os.path.join(run.artefacts, f"differing-{what}.png"))
    count, stray = int(differing.sum()), int(off_edge.sum())
    run.note(f"{what}: {count} of {differing.size} pixels ({100 * count / differing.size:.2f} %) "
             f"differ by more than {CHANNEL_TOLERANCE}, {stray} of them away from any edge")
    return count, stray


def scenario_same_world(run, build_dir):
    """The page and the Linux build draw the same world alike, and the page keeps 60 passes a
    second on a 250 Hz display. The world is fixed by the clock (its seed), the passes run
    (the stats line) and the rand of the page's C library, musl's, preloaded into Linux's."""
    with browser.Server(run.page_dir) as server, browser.Browser(WIDTH, HEIGHT) as b:
        b.before_scripts(FIXED_CLOCK + FAST_DISPLAY)
        run.open_game(b, server, "?stats=1")
        started = b.js("return [performance.now(), window.vantorixDisplayFrames];")
        time.sleep(3.0)
        key(b, "Escape")
        wait_exit(b, 27)
        ended = b.js("return [performance.now(), window.vantorixDisplayFrames];")
        display_rate = 1000 * (ended[1] - started[1]) / (ended[0] - started[0])
        b.js("document.getElementById('ended').hidden = true;")
        time.sleep(0.3)
        web = run.shot(b, "web")
        lines = [text for _, text in b.logs()]
    stats = [m for m in map(STATS_LINE.search, lines) if m]
    check(stats, f"no stats line in the console: {lines}")
    frames, seconds, fps = int(stats[0][1]), float(stats[0][2]), float(stats[0][3])
    run.note(f"stats: {frames} frames in {seconds} s ({fps} fps) after the first, on a display "
             f"that called back {display_rate:.0f} times a second")
    # At most 60 a second however often the display calls back (it does so less often when a
    # frame takes long to draw); the floor only tells a game that ran from one that stalled.
    check(seconds >= 2.5 and 15 <= fps <= 62, "expected at most 60 passes a second")
    # The stats line counts the frames after the first: the last picture is frame frames + 1.
    ticks = frames + 1
    linux = linux_picture(run, run.snapshot, run.shim, FIXED_SECONDS, ticks, "linux")
    check(red(linux) > 1000 and red(web) > 1000, "no hearts to compare")
    # This world's first food item is yellow: it is drawn where Linux draws it.
    food = yellow(web * (yellow_mask(linux)[..., None]))
    run.note(f"food: {yellow(linux)} yellow pixels on Linux, {food} of them yellow on the page")
    check(yellow(linux) > 30 and food > yellow(linux) / 2, "the food is not where Linux draws it")
    count, stray = compare(run, web, linux, "same world")
    check(count <= DIFFERING_SHARE * web.shape[0] * web.shape[1],
          "more than 1 % of the pixels differ from the Linux picture")
    check(stray == 0, "pixels differ away from the edges")
    # The comparison tells worlds apart: another seed differs far more.
    other = linux_picture(run, run.snapshot, run.shim, FIXED_SECONDS + 1, ticks, "linux-other")
    other_count, _ = compare(run, web, other, "another world")
    check(other_count > 2 * count and other_count > DIFFERING_SHARE * web.size / 3,
          "another world's picture is as close as the same world's")


def scenario_no_webgl(run, build_dir):
    """Without WebGL the page says so instead of staying blank."""
    with browser.Server(run.page_dir) as server, browser.Browser(WIDTH, HEIGHT) as b:
        b.before_scripts(NO_WEBGL)
        run.open_game(b, server, first_frame=False)
        status = b.wait_for("document.body.dataset.exitStatus", timeout=30)
        text = b.js("const p = document.getElementById('problem'); "
                    "return p.hidden ? '' : p.textContent;")
        run.note(f"without WebGL: status {status}, the page says '{text}'")
        check(status == "1" and "WebGL" in text, "no clear message without WebGL")
        check(b.js("return document.getElementById('loading').hidden;"),
              "the loading line is still shown")
        run.shot(b, "no-webgl")


def main():
    if len(sys.argv) != 6:
        sys.exit(__doc__.strip())
    name, build_dir, artefacts, snapshot, shim = sys.argv[1:]
    scenario = globals().get("scenario_" + name.replace("-", "_"))
    if scenario is None:
        sys.exit(f"web.py: no scenario {name}")
    run = Run(name, build_dir, artefacts)
    run.snapshot, run.shim = snapshot, shim
    run.source_dir = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", "..",
                                                  ".."))
    try:
        scenario(run, build_dir)
    except (Failure, TimeoutError, subprocess.CalledProcessError) as failure:
        run.note(f"web {name}: FAIL: {failure}")
        sys.exit(1)
    run.note(f"web {name}: passed")


if __name__ == "__main__":
    main()
