#pragma once

#include <allegro.h>
#include <bitset>

// The vocabulary of input, here with the windows that take it as it is: the core reads the keyboard
// and the pad into it, the windows and the player's ship act on it.

// What the player can ask for, from the keyboard or the pad. The first nine have keys of their own
// in the settings; the fullscreen toggle is F11 or Alt+Enter.
enum eAction {
    kLeft,
    kRight,
    kUp,
    kDown,
    kFire,
    kConfirm,
    kBack,
    kPause,
    kMute,
    kFullscreen,
    kActionCount
};

inline unsigned ActionBit(int iAction) {
    return 1u << iAction;
}

// The input of one logic step: a plain value, taken once at the start of the step, which every
// part of the game reads instead of the keyboard and the pad themselves; so a step can be run again
// from a recorded one.
class cInputState {
public:
    // A key read from the keyboard buffer (readkey's value: scan code in bits 8 to 15, character in
    // 0 to 7) with the actions its key is bound to; or a press of the pad, iKey 0, with its
    // actions.
    struct cTyped {
        int iKey = 0;
        unsigned iActions = 0;
    };
    // More keys than this in one step wait in Allegro's buffer for the next.
    static const int kMaxTyped = 8;

    bool Held(int iAction) const { return iHeld & ActionBit(iAction); }
    bool Pressed(int iAction) const { return iPressed & ActionBit(iAction); }
    void Type(int iKey, unsigned iActions) {
        aTyped[iTyped].iKey = iKey;
        aTyped[iTyped].iActions = iActions;
        ++iTyped;
    }
    // The actions a key message stands for in the menus: what the input layer found (iActions),
    // and the menus' own fixed keys, which work whatever the settings bind: the arrows, Enter,
    // Escape and Space.
    static unsigned MenuActions(int iKey, unsigned iActions) {
        switch (iKey >> 8) {
        case KEY_UP:
            return iActions | ActionBit(kUp);
        case KEY_DOWN:
            return iActions | ActionBit(kDown);
        case KEY_ENTER:
            return iActions | ActionBit(kConfirm);
        case KEY_ESC:
            return iActions | ActionBit(kBack);
        case KEY_SPACE:
            return iActions | ActionBit(kFire);
        }
        return iActions;
    }

    // Actions held, and those that went down since the step before (bits of ActionBit).
    unsigned iHeld = 0;
    unsigned iPressed = 0;
    // Every key held, by scan code.
    std::bitset<KEY_MAX> Keys;
    cTyped aTyped[kMaxTyped];
    int iTyped = 0;
    // The game window lost the keyboard since the step before.
    bool bFocusLost = false;
};
