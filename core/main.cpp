#include "core/main.h"

#include <allegro.h>
#include <cstdlib>

#include "core/Credits.h"
#include "core/cGameInstance.h"
#include "media/cBitmapDatabase.h"

std::atomic<int> iTime{0};
std::atomic<int> iGameTimer{0};
std::atomic<bool> bCloseRequested{false};
std::atomic<bool> bFocusLost{false};

namespace {

const int kLogicRate = 120;  // logic steps per second
const int kIntroTicks = 499; // the intro ends once more than this many hundredths have passed

} // namespace

void fpsCounter() {
    ++iTime;
}

void GameTimer() {
    ++iGameTimer;
}

// Runs on Allegro's input thread: it only raises the flag that the loops look at.
void CloseButton() {
    bCloseRequested = true;
}

// Runs on Allegro's input thread too.
void FocusLost() {
    bFocusLost = true;
}

bool IntroOver(int iStart) {
    return iTime - iStart > kIntroTicks || key[KEY_ESC] || bCloseRequested;
}

void Intro(cGameInstance* pGame) {
    draw_sprite(screen, pGame->pBitmaps->GetBitmap(8), 0, 0);
    draw_sprite(screen, pGame->pBitmaps->GetBitmap(7), 0, SCREEN_H - 128);
    draw_sprite(screen, pGame->pBitmaps->GetBitmap(12), SCREEN_W - 160, SCREEN_H - 80);
    const int iStart = iTime;
    while (!IntroOver(iStart)) {
    }
}

int GameMain() {
    cGameInstance game;
    if (!game.InitSystem(640, 480))
        return EXIT_FAILURE;

    set_close_button_callback(CloseButton);
    set_display_switch_callback(SWITCH_OUT, FocusLost);
    install_int_ex(fpsCounter, BPS_TO_TIMER(100));
    install_int_ex(GameTimer, BPS_TO_TIMER(kLogicRate));
    game.InitGame();
    Intro(&game);

    while (game.Running() && !bCloseRequested)
        RunPass(game);

    // A closed window ends the program at once; a quit from the menu rolls the credits first.
    if (gfx_driver && SCREEN_W == 640 && !bCloseRequested)
        Credits(&game);
    return EXIT_SUCCESS;
}
