#include "platform/platform.h"

#include <SDL.h>

namespace platform {
namespace {
bool quitRequested = false;
bool escapeLatch = false; // Escape went down since the last query
} // namespace

bool pollEvents() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return quitRequested;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (event.type == SDL_QUIT) {
            quitRequested = true;
        } else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) {
            escapeLatch = true;
        }
    }
    return quitRequested;
}

bool escapePressed() {
    pollEvents();
    bool pressed = escapeLatch;
    escapeLatch = false;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        const Uint8* keys = SDL_GetKeyboardState(nullptr);
        pressed = pressed || keys[SDL_SCANCODE_ESCAPE] != 0;
    }
    return pressed;
}

} // namespace platform
