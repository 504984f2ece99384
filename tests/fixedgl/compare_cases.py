#!/usr/bin/python3
"""The fixed-function layer's case table: each case drawn by OSMesa and by the layer in Chromium.

A pixel differs when one of its channels is off by more than 48. A case passes when at most 1 %
of its pixels differ and every one of them lies at an edge (within a pixel of a step of more
than 48 in the reference picture). After the first round the page's WebGL context is lost and
restored, and every case is drawn and compared again: the layer must rebuild its shaders,
textures and lists under the same names.
"""

import argparse
import base64
import os
import subprocess
import sys

import numpy
from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import browser  # noqa: E402

WIDTH, HEIGHT = 320, 240
THRESHOLD = 48
ALLOWED_SHARE = 0.01
PAGE_FILES = ("cases.html", "fixedgl_cases.js", "fixedgl_cases.wasm", "fixedgl_cases.data")

READ_CASE = """
const pointer = Module._fixedglDrawCase(arguments[0]);
const bytes = Module.HEAPU8.subarray(pointer, pointer + arguments[1]);
let text = "";
for (let i = 0; i < bytes.length; i += 0x8000) {
    text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
}
return btoa(text);
"""


def as_picture(raw):
    """RGB rows from the top, from RGBA bytes whose first row is the bottom one."""
    rgba = numpy.frombuffer(raw, dtype=numpy.uint8).reshape(HEIGHT, WIDTH, 4)
    return rgba[::-1, :, :3].astype(numpy.int16)


def edges(picture):
    """Pixels within one pixel of a step of more than THRESHOLD in any channel."""
    step = numpy.zeros(picture.shape[:2], dtype=bool)
    for dy, dx in ((0, 1), (1, 0), (1, 1), (1, -1)):
        shifted = numpy.roll(numpy.roll(picture, dy, axis=0), dx, axis=1)
        step |= (numpy.abs(picture - shifted) > THRESHOLD).any(axis=2)
    near = step.copy()
    for dy in (-1, 0, 1):
        for dx in (-1, 0, 1):
            near |= numpy.roll(numpy.roll(step, dy, axis=0), dx, axis=1)
    return near


def compare(name, reference, page):
    """Returns a line of findings and whether the case passes."""
    differs = (numpy.abs(reference - page) > THRESHOLD).any(axis=2)
    count = int(differs.sum())
    off_edge = int((differs & ~edges(reference)).sum())
    share = count / differs.size
    passed = share <= ALLOWED_SHARE and off_edge == 0
    line = (f"{name:16} {count:6} pixels off by more than {THRESHOLD} ({100 * share:.2f} %), "
            f"{off_edge} away from edges, largest difference {int(numpy.abs(reference - page).max())}")
    return ("ok   " if passed else "FAIL ") + line, passed


def draw_references(program, assets, work):
    subprocess.run([program, assets, work], check=True)
    return {name: as_picture(open(os.path.join(work, name + ".rgba"), "rb").read())
            for name in (f[:-5] for f in os.listdir(work) if f.endswith(".rgba"))}


def draw_page_cases(tab, work, suffix):
    pictures = {}
    for index in range(tab.js("return Module._fixedglCaseCount();")):
        name = tab.js("return UTF8ToString(Module._fixedglCaseName(arguments[0]));", index)
        raw = base64.b64decode(tab.js(READ_CASE, index, WIDTH * HEIGHT * 4))
        pictures[name] = as_picture(raw)
        Image.fromarray(pictures[name].astype(numpy.uint8)).save(
            os.path.join(work, f"{name}.page{suffix}.png"))
    return pictures


def lose_and_restore(tab):
    tab.js("window.loseContext = Module.canvas.getContext('webgl')"
           ".getExtension('WEBGL_lose_context'); window.loseContext.loseContext();")
    tab.wait_for("Module._fixedglLosses() > 0", timeout=30)
    tab.js("window.loseContext.restoreContext();")
    tab.wait_for("Module._fixedglRestores() > 0", timeout=30)


def report(round_name, references, pictures):
    print(f"-- {round_name}")
    passed = True
    for name in sorted(references):
        if name not in pictures:
            print(f"FAIL {name:16} not drawn by the page")
            passed = False
            continue
        line, ok = compare(name, references[name], pictures[name])
        print(line)
        passed &= ok
    return passed


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--reference", required=True, help="the native case program (OSMesa)")
    parser.add_argument("--assets", required=True, help="the folder holding textures/")
    parser.add_argument("--page", required=True, help="the built page's folder")
    parser.add_argument("--work", required=True, help="where pictures are written")
    args = parser.parse_args()

    missing = [f for f in PAGE_FILES if not os.path.isfile(os.path.join(args.page, f))]
    if missing:
        sys.exit(f"the case page is not built in {args.page} (missing {', '.join(missing)}): "
                 "run make web-build")
    browser.require_tools()
    os.makedirs(args.work, exist_ok=True)
    references = draw_references(args.reference, args.assets, args.work)
    for name, picture in references.items():
        Image.fromarray(picture.astype(numpy.uint8)).save(os.path.join(args.work, f"{name}.mesa.png"))

    with browser.Server(args.page) as server, browser.Browser() as tab:
        tab.open(server.url + "cases.html")
        tab.wait_for("window.fixedglReady === true || window.fixedglFailed", timeout=60)
        failure = tab.js("return window.fixedglFailed || null;")
        if failure:
            sys.exit(f"the case page cannot draw: {failure}")
        passed = report("first context", references, draw_page_cases(tab, args.work, ""))
        lose_and_restore(tab)
        passed &= report("after the context was lost and restored", references,
                         draw_page_cases(tab, args.work, ".restored"))
        errors = [text for level, text in tab.logs() if level == "SEVERE"]
        for text in errors:
            print("console:", text)
    print(f"pictures in {args.work}")
    sys.exit(0 if passed and not errors else 1)


if __name__ == "__main__":
    main()
