#include "core/cCloseRequests.h"

#include <allegro.h>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <xalleg.h>

#include "core/Clock.h"
#include "core/cHOF.h"

namespace {

std::atomic<cHOF*> pLastChance{nullptr};
volatile std::sig_atomic_t iCloseSignal = 0;
const int kCloseSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Runs on whichever thread the signal comes to, and only raises the close request. Asked a second
// time, the game ends at once, the signal's own way.
void OnSignal(int iSignal) {
    if (iCloseSignal != 0) {
        std::signal(iSignal, SIG_DFL);
        std::raise(iSignal);
        return;
    }
    iCloseSignal = iSignal;
    CloseButton();
}

void WriteError(const std::string& sText) {
    if (write(STDERR_FILENO, sText.data(), sText.size()) < 0)
        return;
}

// Xlib holds its lock here: nothing but the close request. Drawing into a window that is gone is
// the usual error; the others are no reason to end the game either.
int OnXError(Display*, XErrorEvent* pError) {
    if (pError->error_code == BadWindow || pError->error_code == BadDrawable)
        CloseButton();
    return 0;
}

int OnDisplayLost(Display*) {
    cCloseRequests::LeaveWithoutDisplay();
}

// Allegro's input handling, after a look for the one event it does not heed: the window destroyed.
void HandleInput() {
    XEvent Event;
    if (XCheckTypedEvent(_xwin.display, DestroyNotify, &Event))
        CloseButton();
    _xwin_private_handle_input();
}

} // namespace

cCloseRequests::cCloseRequests(cHOF* pHOF) {
    pLastChance = pHOF;
    struct sigaction Action = {};
    Action.sa_handler = OnSignal;
    Action.sa_flags = SA_RESTART;
    sigemptyset(&Action.sa_mask);
    for (int iSignal : kCloseSignals)
        sigaction(iSignal, &Action, nullptr);
    XSetErrorHandler(OnXError);
    XSetIOErrorHandler(OnDisplayLost);
    if (!_xwin.display || !_xwin.window)
        return;
    XLOCK();
    XWindowAttributes Attributes;
    if (XGetWindowAttributes(_xwin.display, _xwin.window, &Attributes))
        XSelectInput(_xwin.display, _xwin.window, Attributes.your_event_mask | StructureNotifyMask);
    _xwin_input_handler = HandleInput;
    XUNLOCK();
}

cCloseRequests::~cCloseRequests() {
    pLastChance = nullptr;
}

int cCloseRequests::Signal() {
    return iCloseSignal;
}

// Another thread that meets the lost connection meanwhile waits in SaveBeforeExit for this one to
// finish, and never returns to Xlib, which would exit.
void cCloseRequests::LeaveWithoutDisplay() {
    WriteError("zenith-guard: the connection to the X server was lost\n");
    std::string sWhy;
    if (cHOF* pHOF = pLastChance; pHOF && !pHOF->SaveBeforeExit(sWhy))
        WriteError("zenith-guard: the hall of fame was not saved: " + sWhy + "\n");
    _exit(EXIT_FAILURE);
}
