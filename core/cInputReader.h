#pragma once

#include <allegro.h>
#include <sys/types.h>
#include <tuple>

#include "core/cBindings.h"
#include "gui/cInputState.h"

// Takes the input of each logic step from the keyboard and the first pad, through the bindings.
// The pad is Allegro's joystick: looked for at the first step and then every few seconds while
// there is none (a pad plugged in later is found), let go of when its device goes away.
class cInputReader {
public:
    explicit cInputReader(const cBindings& bindings) : Bindings(bindings) {}
    ~cInputReader();
    cInputReader(const cInputReader&) = delete;
    cInputReader& operator=(const cInputReader&) = delete;

    // The snapshot of this step: looks for the pad when that is due, polls it, reads the keyboard.
    cInputState Read(int iNow);
    // The snapshot of the keyboard as it is now and of the pad as pPad tells (null: no pad).
    cInputState Sample(const JOYSTICK_INFO* pPad, int iNow);
    // Whether the pad's confirm, back or Start went down since the pad was read last: what skips
    // the intro and the credits. Only the pad is read, the keyboard's keys are left to the steps
    // to come. The second form takes the pad as pPad tells (null: no pad).
    bool PadSkips(int iNow);
    bool PadSkips(const JOYSTICK_INFO* pPad);
    bool HasPad() const { return bPad; }

    cBindings Bindings;

private:
    // The identity of the file a pad is read from, empty when there is none.
    using tDevice = std::tuple<dev_t, ino_t, long, long>;
    static tDevice PadDevice();
    void FindPad(int iNow);
    unsigned KeyActions(int iScanCode) const;
    unsigned PadActions(const JOYSTICK_INFO& pad) const;
    // The pad's actions that went down, and Up and Down again while they are held.
    unsigned PadPresses(unsigned iPad, int iNow);

    unsigned iLastHeld = 0;
    unsigned iLastPad = 0;
    int iNextRepeat = 0;
    bool bPad = false;
    bool bInstalled = false;
    bool bLookedYet = false;
    int iLastLook = 0;
    tDevice Device{};
    tDevice Refused{};
};
