#include "platform/platform.h"

#include <SDL.h>

namespace platform {
namespace {
bool quitRequested = false;
bool escapeLatch = false; // Escape went down since the last query
bool keysWanted = false;  // someone takes the key presses
std::vector<Key> keyPresses;

Key keyFor(SDL_Keycode code) {
    if (code >= SDLK_1 && code <= SDLK_8) {
        return static_cast<Key>(static_cast<int>(Key::Digit1) + (code - SDLK_1));
    }
    switch (code) {
    case SDLK_ESCAPE:
        return Key::Escape;
    case SDLK_SPACE:
        return Key::Space;
    case SDLK_LEFT:
        return Key::Left;
    case SDLK_RIGHT:
        return Key::Right;
    case SDLK_PAGEUP:
        return Key::PageUp;
    case SDLK_PAGEDOWN:
        return Key::PageDown;
    case SDLK_COMMA:
        return Key::Comma;
    case SDLK_PERIOD:
        return Key::Period;
    case SDLK_l:
        return Key::L;
    case SDLK_h:
        return Key::H;
    case SDLK_s:
        return Key::S;
    default:
        return Key::Other;
    }
}

} // namespace

bool pollEvents() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return quitRequested;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (event.type == SDL_QUIT) {
            quitRequested = true;
        } else if (event.type == SDL_KEYDOWN) {
            if (event.key.keysym.sym == SDLK_ESCAPE) {
                escapeLatch = true;
            }
            if (keysWanted && event.key.repeat == 0) {
                keyPresses.push_back(keyFor(event.key.keysym.sym));
            }
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

std::vector<Key> takeKeyPresses() {
    keysWanted = true;
    pollEvents();
    std::vector<Key> taken;
    taken.swap(keyPresses);
    return taken;
}

} // namespace platform
