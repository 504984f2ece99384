// sdl_display.h -- the state of the connection to the display, as far as SDL hides it.
#pragma once

#include <string>

struct SDL_Window;

namespace app {

// Why the connection to the display behind `window` is broken, or "" while it works. SDL turns
// a Wayland compositor that went away into the quit message; only the display's own error
// state tells that apart from a quit. (Under X11, Xlib ends the process itself.)
std::string lostDisplayReason(SDL_Window* window);

}  // namespace app
