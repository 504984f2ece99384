// page.js -- the page around the game: what the game writes goes to the console, ?stats=1 asks
// for the stats line, and the page says what the game is doing: loading, playing, over, ended, or
// unable to run. It shows the controls of the device in hand (and a gamepad's, once the game sees
// one) until the first input, the touch screen's buttons, full screen, and keeps the page for
// offline play (sw.js). The game (src/app/web_main.cpp) calls the Module.vantorix* routines; the
// buttons that stand for keys (the views, the end) are the game's own listeners, not the page's.
"use strict";

(function () {
  const canvas = document.getElementById("canvas");
  const statsWanted = new URLSearchParams(window.location.search).get("stats") === "1";
  const byId = (id) => document.getElementById(id);
  // Whether the player has done anything yet: the hint goes then, and a newer page no longer
  // replaces this one on its own (see keepForOffline).
  let played = false;

  function show(id, text) {
    const element = byId(id);
    if (text !== undefined) {
      element.textContent = text;
    }
    element.hidden = false;
  }

  function hide(id) {
    byId(id).hidden = true;
  }

  // Instead of a blank page: what went wrong, and the status the desktop game would give.
  function cannotRun(text) {
    hide("loading");
    show("problem", text);
    document.body.dataset.exitStatus = "1";
  }

  // Touch screens get the buttons; a desktop without one gets none. A first touch settles it
  // for a screen that did not say so.
  function useTouch() {
    document.body.classList.add("touch");
  }
  if (navigator.maxTouchPoints > 0 || window.matchMedia("(any-pointer: coarse)").matches) {
    useTouch();
  }

  function hintShown() {
    return document.body.classList.contains("touch") ? "hint-touch" : "hint-keys";
  }

  // Once the game has seen a gamepad, the hint tells its controls too.
  let padSeen = false;

  function showHint() {
    show(hintShown());
    if (padSeen) {
      show("hint-pad");
    }
  }

  function hideHint() {
    hide("hint-keys");
    hide("hint-touch");
    hide("hint-pad");
  }

  function toggleHint() {
    const wasShown = !byId(hintShown()).hidden;
    hideHint();
    if (!wasShown) {
      showHint();
    }
  }

  // Keys held on their way to another (Shift for "?") are no input of their own.
  const modifiers = ["Shift", "Control", "Alt", "AltGraph", "Meta", "CapsLock"];

  function firstInput(event) {
    if (event.type === "touchstart") {
      useTouch();
    }
    const own = event.type === "keydown" ?
      event.key === "?" || modifiers.includes(event.key) :
      byId("help").contains(event.target);
    if (own) {
      return;
    }
    begin();
  }

  function begin() {
    played = true;
    hideHint();
  }
  for (const type of ["keydown", "pointerdown", "touchstart"]) {
    window.addEventListener(type, firstInput, {capture: true, passive: true});
  }
  window.addEventListener("keydown", (event) => {
    if (event.key === "?") {
      toggleHint();
    }
  });
  byId("help").addEventListener("click", toggleHint);

  // Ending the game takes a second touch, on another button: a stray one ends nothing. The game
  // listens to "end-confirm" itself.
  byId("end").addEventListener("click", () => show("end-ask"));
  byId("end-cancel").addEventListener("click", () => hide("end-ask"));
  byId("end-confirm").addEventListener("click", () => hide("end-ask"));

  const root = document.documentElement;
  const fullscreenEnabled = document.fullscreenEnabled || document.webkitFullscreenEnabled;
  if (fullscreenEnabled) {
    byId("fullscreen").hidden = false;
    byId("fullscreen").addEventListener("click", () => {
      if (document.fullscreenElement || document.webkitFullscreenElement) {
        (document.exitFullscreen || document.webkitExitFullscreen).call(document);
      } else {
        const request = root.requestFullscreen || root.webkitRequestFullscreen;
        Promise.resolve(request.call(root, {navigationUI: "hide"})).catch(() => {});
      }
    });
  }

  byId("again").addEventListener("click", () => window.location.reload());

  // A gamepad's south button or Start plays again too, for a player with no pointer or keys.
  // Only a press that begins after the offer counts: the one that ended the game does not.
  const padPlayAgainButtons = [0, 9];
  let padsWatched = false;

  function pressedPadButtons() {
    const pressed = new Set();
    let pads = [];
    try {
      pads = navigator.getGamepads ? Array.from(navigator.getGamepads()) : [];
    } catch (error) {
      return pressed;  // gamepads are not this page's to read
    }
    for (const pad of pads) {
      if (!pad || !pad.connected || pad.mapping !== "standard") {
        continue;
      }
      for (const button of padPlayAgainButtons) {
        if (pad.buttons[button] && pad.buttons[button].pressed) {
          pressed.add(pad.index + ":" + button);
        }
      }
    }
    return pressed;
  }

  function playAgainFromPads() {
    if (padsWatched) {
      return;
    }
    padsWatched = true;
    let held = pressedPadButtons();
    const look = () => {
      const now = pressedPadButtons();
      if ([...now].some((button) => !held.has(button))) {
        window.location.reload();
        return;
      }
      held = now;
      requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
  }

  function offerNewGame(text) {
    hide("end-ask");
    show("ended-text", text);
    show("ended");
    byId("again").focus({preventScroll: true});
    playAgainFromPads();
  }

  // The page's files are kept by sw.js for playing offline, under the name of their build. A
  // newer build takes over as soon as it is kept; a page that was shown by an older one loads
  // again, once, unless the player has begun (the newer one shows at the next visit then).
  const workers = "serviceWorker" in navigator ? navigator.serviceWorker : null;
  if (workers) {
    const shownByOlder = workers.controller !== null;
    let reloading = false;
    workers.addEventListener("controllerchange", () => {
      if (shownByOlder && !played && !reloading) {
        reloading = true;
        window.location.reload();
      }
    });
  }

  function keepForOffline() {
    if (workers) {
      workers.register("sw.js").catch((error) => {
        console.warn("Vantorix: not kept for offline play: " + error);
      });
    }
  }

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
      // The buttons show once the game listens to them: a touch while it loads would be lost.
      show("controls");
      if (!played) {
        showHint();
      }
      performance.mark("vantorix-first-frame");
      // After the game's own loading, which it would slow down.
      keepForOffline();
    },
    // The last life is gone: "GAME OVER!!!" and the score stay, and a new game is offered.
    vantorixGameOver: () => {
      hide("end");
      offerNewGame("Game over.");
    },
    // A quit key ended the game: the last picture stays on the canvas.
    vantorixEnded: (status) => {
      document.body.dataset.exitStatus = String(status);
      byId("controls").hidden = true;
      hideHint();
      offerNewGame("The game has ended.");
    },
    // A gamepad the game reads is there; its first press is the player's first input, as a
    // key's or a touch's.
    vantorixPadSeen: () => {
      padSeen = true;
      if (!byId(hintShown()).hidden) {
        show("hint-pad");
      }
    },
    vantorixPadUsed: begin,
    vantorixNoWebGL: () => {
      cannotRun("Vantorix needs WebGL, which this browser does not offer here. Turn on " +
                "hardware acceleration in its settings, or try another browser.");
    },
  };
})();
