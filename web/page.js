// page.js -- the page around the game: what the game writes goes to the console, ?stats=1 asks
// for the stats line, and the page says what the game is doing: loading, playing, ended, or
// unable to run. The game (src/app/web_main.cpp) calls the three Module.vantorix* routines.
"use strict";

(function () {
  const canvas = document.getElementById("canvas");
  const statsWanted = new URLSearchParams(window.location.search).get("stats") === "1";

  function show(id, text) {
    const element = document.getElementById(id);
    if (text !== undefined) {
      element.textContent = text;
    }
    element.hidden = false;
  }

  function hide(id) {
    document.getElementById(id).hidden = true;
  }

  // Instead of a blank page: what went wrong, and the status the desktop game would give.
  function cannotRun(text) {
    hide("loading");
    show("problem", text);
    document.body.dataset.exitStatus = "1";
  }

  document.getElementById("again").addEventListener("click", () => window.location.reload());

  window.Module = {
    canvas: canvas,
    // The game's stdout and stderr, a line at a time. The desktop game's stderr lines are
    // reports and the stats line, not failures of the page, so they are warnings here.
    print: (line) => console.log(line),
    printErr: (line) => console.warn(line),
    // The desktop game prints its stats line when VANTORIX_STATS=1 is in its environment.
    preRun: [() => {
      if (statsWanted) {
        Module.ENV.VANTORIX_STATS = "1";
      }
    }],
    onAbort: (what) => cannotRun("Vantorix could not start: " + what),

    vantorixFirstFrame: () => {
      hide("loading");
      performance.mark("vantorix-first-frame");
    },
    // A quit key ended the game: the last picture stays on the canvas.
    vantorixEnded: (status) => {
      document.body.dataset.exitStatus = String(status);
      show("ended");
      document.getElementById("again").focus();
    },
    vantorixNoWebGL: () => {
      cannotRun("Vantorix needs WebGL, which this browser does not offer here. Turn on " +
                "hardware acceleration in its settings, or try another browser.");
    },
  };
})();
