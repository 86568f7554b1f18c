#pragma once

class cHOF;

// Every way the game is asked to end, besides the menu's "Quit", ends it the same orderly way as
// the close button: SIGINT, SIGTERM and SIGHUP, and the window destroyed from outside, raise the
// close request, the loops end, and the game saves what it has not saved before it exits. A lost
// connection to the X server leaves nothing to draw on and no orderly way back: the thread that
// finds it saves what is unsaved and ends the process at once, without the exit handlers that
// would take Allegro down under the other threads' feet.
//
// While it lives, it replaces Allegro's signal handlers, which shut Allegro down in the middle of
// whatever the main thread is doing, and Xlib's error handlers, which exit from whichever thread
// meets the error.
class cCloseRequests {
public:
    // The table saved at the last chance; it must outlive this object.
    explicit cCloseRequests(cHOF* pHOF);
    ~cCloseRequests();
    cCloseRequests(const cCloseRequests&) = delete;
    cCloseRequests& operator=(const cCloseRequests&) = delete;

    // The signal that asked the game to close, or 0.
    static int Signal();
    // Saves what is unsaved and ends the process with status 1: what Xlib calls on a lost
    // connection.
    [[noreturn]] static void LeaveWithoutDisplay();
};
