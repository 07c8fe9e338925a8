#include "platform/platform.h"

#include <SDL.h>

#include <cstdio>

namespace platform {
namespace {

Uint32 boxFlags(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Stop:
        return SDL_MESSAGEBOX_ERROR;
    case BoxIcon::Information:
        return SDL_MESSAGEBOX_INFORMATION;
    case BoxIcon::Exclamation:
        break;
    }
    return SDL_MESSAGEBOX_WARNING;
}

void printToStderr(const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}

constexpr int kBoxAttempts = 8;

// Returns the id of the pressed button, or defaultId when the box could not
// be shown or was closed without an answer.
int showBox(const char* text, const char* caption, BoxIcon icon,
            const SDL_MessageBoxButtonData* buttons, int buttonCount, int defaultId) {
    SDL_MessageBoxData data{};
    data.flags = boxFlags(icon) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    data.window = nullptr;
    data.title = caption;
    data.message = text;
    data.numbuttons = buttonCount;
    data.buttons = buttons;
    int pressed = -1;
    // On a busy X server a box now and then fails to open right after the
    // previous one closed; try a few times before taking the default answer.
    int failed = SDL_ShowMessageBox(&data, &pressed);
    for (int attempt = 1; failed != 0 && attempt < kBoxAttempts; ++attempt) {
        SDL_Delay(static_cast<Uint32>(150 * attempt)); // 4.2 s in all before giving up
        failed = SDL_ShowMessageBox(&data, &pressed);
    }
    if (failed != 0) {
        std::fprintf(stderr, "(the box could not be shown: %s)\n", SDL_GetError());
        return defaultId;
    }
    if (pressed < 0) {
        return defaultId;
    }
    return pressed;
}

} // namespace

void showMessage(const char* text, const char* caption, BoxIcon icon) {
    printToStderr(text, caption);
    const SDL_MessageBoxButtonData ok[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0,
         "OK"}};
    showBox(text, caption, icon, ok, 1, 0);
}

bool askYesNo(const char* text, const char* caption, BoxIcon icon) {
    printToStderr(text, caption);
    constexpr int kNo = 0;
    constexpr int kYes = 1;
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, kYes, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kNo, "No"}};
    const bool yes = showBox(text, caption, icon, buttons, 2, kYes) == kYes;
    std::fprintf(stderr, "%s: answered %s\n", caption, yes ? "Yes" : "No");
    return yes;
}

} // namespace platform
