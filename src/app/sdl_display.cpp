// sdl_display.cpp -- asks the window system behind SDL whether its connection still works.
// Kept apart from the rest of the platform layer: the window-system headers define macros
// (None, Status, ...) that clash with the game's own names.
#include "app/sdl_display.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <wayland-client.h>

#include <cstring>

namespace app {

std::string lostDisplayReason(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
        info.subsystem != SDL_SYSWM_WAYLAND || info.info.wl.display == nullptr) {
        return "";
    }
    const int error = wl_display_get_error(info.info.wl.display);
    return error == 0 ? "" : std::strerror(error);
}

}  // namespace app
