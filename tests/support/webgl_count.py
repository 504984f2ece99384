"""webgl_count -- counts a page's WebGL calls, draws and uploads, frame by frame.

A script installed before the page's own wraps every method of the WebGL context and of the
extensions the layer uses; a clear starts a frame (the game clears once a frame, first thing).
Each frame's figures: every WebGL call, the draws among them (instanced ones too), the buffer
and texture uploads and the bytes they carry.
"""

import statistics

WRAP_WEBGL = """
(() => {
    const DRAWS = new Set(["drawArrays", "drawElements", "drawArraysInstancedANGLE",
                           "drawElementsInstancedANGLE"]);
    const UPLOADS = new Set(["bufferData", "bufferSubData", "texImage2D", "texSubImage2D"]);
    const fresh = () => ({calls: 0, draws: 0, uploads: 0, bytes: 0});
    const record = {frames: [], current: fresh()};
    window.vantorixWebGL = record;
    const bytesOf = (args) => {
        const data = args.find((a) => a && a.byteLength !== undefined);
        return data ? data.byteLength : 0;
    };
    const wrap = (proto) => {
        for (const name of Object.getOwnPropertyNames(proto)) {
            const described = Object.getOwnPropertyDescriptor(proto, name);
            if (typeof described.value !== "function" || name === "constructor") continue;
            const real = described.value;
            proto[name] = function (...args) {
                if (name === "clear") {
                    record.frames.push(record.current);
                    record.current = fresh();
                }
                const c = record.current;
                c.calls += 1;
                if (DRAWS.has(name)) c.draws += 1;
                if (UPLOADS.has(name)) {
                    c.uploads += 1;
                    c.bytes += bytesOf(args);
                }
                return real.apply(this, args);
            };
        }
    };
    // Extensions have no interface object on the window: their methods are wrapped on the
    // prototype of the first object getExtension hands out.
    const wrapped = new Set();
    const getExtension = WebGLRenderingContext.prototype.getExtension;
    WebGLRenderingContext.prototype.getExtension = function (...args) {
        const extension = getExtension.apply(this, args);
        const proto = extension && Object.getPrototypeOf(extension);
        if (proto && !wrapped.has(proto)) {
            wrapped.add(proto);
            wrap(proto);
        }
        return extension;
    };
    wrap(WebGLRenderingContext.prototype);
})();
"""

READ_FRAMES = "return window.vantorixWebGL ? window.vantorixWebGL.frames.slice(1) : [];"


def medians(frames):
    """The median of each figure over `frames` (dicts of calls, draws, uploads, bytes)."""
    if not frames:
        return {"calls": 0, "draws": 0, "uploads": 0, "bytes": 0}
    return {key: statistics.median(f[key] for f in frames)
            for key in ("calls", "draws", "uploads", "bytes")}


def describe(figures):
    return (f"{figures['draws']:g} draws, {figures['calls']:g} calls, "
            f"{figures['uploads']:g} uploads ({figures['bytes']:g} bytes)")
