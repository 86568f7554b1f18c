#include "core/cInputReader.h"

#include <sys/stat.h>

#include "core/Clock.h"

namespace {

// Hundredths of a second between two looks for a pad: a look costs a file check, and a pad is
// found a moment after it is plugged in.
const int kLookDelay = 300;
// A pad's Up or Down held repeats after this long, then at this pace, as a held key does.
const int kRepeatDelay = 40;
const int kRepeatPace = 12;
// The pads with eight axes, the common ones of Xbox and PlayStation, have their d-pad on the last
// two, which Allegro makes its fourth stick; their middle sticks hold the triggers, which rest at
// one end and must not steer.
const int kDpadStick = 3;

unsigned StickActions(const JOYSTICK_STICK_INFO& stick) {
    const JOYSTICK_AXIS_INFO& x = stick.axis[0];
    const JOYSTICK_AXIS_INFO& y = stick.axis[1];
    return (x.d1 ? ActionBit(kLeft) : 0) | (x.d2 ? ActionBit(kRight) : 0) |
           (y.d1 ? ActionBit(kUp) : 0) | (y.d2 ? ActionBit(kDown) : 0);
}

bool Button(const JOYSTICK_INFO& pad, int iButton) {
    return iButton >= 0 && iButton < pad.num_buttons && pad.button[iButton].b;
}

} // namespace

cInputReader::~cInputReader() {
    if (bInstalled)
        remove_joystick();
}

cInputState cInputReader::Read(int iNow) {
    FindPad(iNow);
    if (bPad)
        poll_joystick();
    return Sample(bPad ? &joy[0] : nullptr, iNow);
}

// The keys typed are read before the keys held: a key typed in a step is held in it too, unless
// let go already, so that a window switch which it causes counts it as held over, and the step
// after never sees it go down anew.
cInputState cInputReader::Sample(const JOYSTICK_INFO* pPad, int iNow) {
    cInputState state;
    // Alt+Enter toggles the fullscreen view: its Enter confirms nothing.
    const bool bAlt = key[KEY_ALT] || key[KEY_ALTGR];
    // One place is kept for the pad's presses; keys beyond the rest wait for the next step.
    while (state.iTyped < cInputState::kMaxTyped - 1 && keypressed()) {
        const int iKey = readkey();
        const int iScanCode = (iKey >> 8) & 0xFF;
        if (!(bAlt && iScanCode == KEY_ENTER))
            state.Type(iKey, KeyActions(iScanCode));
    }
    for (int i = 0; i < KEY_MAX; ++i)
        state.Keys[i] = key[i] != 0;
    for (int iAction = 0; iAction < kFullscreen; ++iAction)
        for (int iScanCode : Bindings.aKeys[iAction])
            if (state.Keys[iScanCode] && !(bAlt && iScanCode == KEY_ENTER))
                state.iHeld |= ActionBit(iAction);
    if (state.Keys[KEY_F11] || (bAlt && state.Keys[KEY_ENTER]))
        state.iHeld |= ActionBit(kFullscreen);

    const unsigned iPad = pPad ? PadActions(*pPad) : 0;
    if (const unsigned iPadPresses = PadPresses(iPad, iNow))
        state.Type(0, iPadPresses);
    state.iHeld |= iPad;
    state.iPressed = state.iHeld & ~iLastHeld;
    iLastHeld = state.iHeld;
    state.bFocusLost = bFocusLost.exchange(false);
    return state;
}

bool cInputReader::PadSkips(int iNow) {
    FindPad(iNow);
    if (bPad)
        poll_joystick();
    return PadSkips(bPad ? &joy[0] : nullptr);
}

// A button held from the menu, the one that chose "Quit", does not skip the credits.
bool cInputReader::PadSkips(const JOYSTICK_INFO* pPad) {
    const unsigned iPad = pPad ? PadActions(*pPad) : 0;
    const unsigned iPressed = iPad & ~iLastPad;
    iLastPad = iPad;
    return iPressed & (ActionBit(kConfirm) | ActionBit(kBack) | ActionBit(kPause));
}

unsigned cInputReader::KeyActions(int iScanCode) const {
    unsigned iActions = 0;
    for (int iAction = 0; iAction < kFullscreen; ++iAction)
        for (int iBound : Bindings.aKeys[iAction])
            if (iBound == iScanCode)
                iActions |= ActionBit(iAction);
    return iActions;
}

unsigned cInputReader::PadActions(const JOYSTICK_INFO& pad) const {
    unsigned iActions = 0;
    if (pad.num_sticks > 0)
        iActions |= StickActions(pad.stick[0]);
    if (pad.num_sticks == kDpadStick + 1)
        iActions |= StickActions(pad.stick[kDpadStick]);
    if (Button(pad, Bindings.iPadFire))
        iActions |= ActionBit(kFire) | ActionBit(kConfirm);
    if (Button(pad, Bindings.iPadBack))
        iActions |= ActionBit(kBack);
    if (Button(pad, Bindings.iPadPause))
        iActions |= ActionBit(kPause);
    return iActions;
}

unsigned cInputReader::PadPresses(unsigned iPad, int iNow) {
    const unsigned iUpDown = ActionBit(kUp) | ActionBit(kDown);
    unsigned iPresses = iPad & ~iLastPad;
    if (iPresses & iUpDown)
        iNextRepeat = iNow + kRepeatDelay;
    else if ((iPad & iUpDown) && iNow - iNextRepeat >= 0) {
        iPresses |= iPad & iUpDown;
        iNextRepeat = iNow + kRepeatPace;
    }
    iLastPad = iPad;
    return iPresses;
}

// Where Allegro's Linux driver reads the first pad: the [joystick] joystick_device of its
// settings, else the first of the two places the system puts it.
cInputReader::tDevice cInputReader::PadDevice() {
    const char* sConfigured = get_config_string("joystick", "joystick_device", nullptr);
    for (const char* sPath : {sConfigured, "/dev/input/js0", "/dev/js0"}) {
        struct stat info;
        if (sPath && *sPath && stat(sPath, &info) == 0)
            return {info.st_dev, info.st_ino, info.st_ctim.tv_sec, info.st_ctim.tv_nsec};
        if (sConfigured && *sConfigured)
            break;
    }
    return {};
}

// Allegro keeps the file open when the device there is no joystick, so the same file is never
// offered to it twice; a device made anew (a pad plugged in again) is.
void cInputReader::FindPad(int iNow) {
    if (bLookedYet && iNow - iLastLook < kLookDelay)
        return;
    bLookedYet = true;
    iLastLook = iNow;
    const tDevice device = PadDevice();
    if (bPad) {
        if (device == Device)
            return;
        // Gone: what it held is let go.
        remove_joystick();
        bPad = bInstalled = false;
        iLastPad = 0;
    }
    if (device == tDevice() || device == Refused)
        return;
    if (bInstalled)
        remove_joystick();
    bInstalled = install_joystick(JOY_TYPE_AUTODETECT) == 0;
    bPad = bInstalled && num_joysticks > 0;
    (bPad ? Device : Refused) = device;
}
