#pragma once

#include <allegro.h>

#include "objects/vector.h"

class cGameInstance;
class cGuiSystem;
class cMenuWindow;

// Allegro's own dialog manager, which the game does not use, names two of its messages alike.
#undef MSG_DRAW
#undef MSG_KEY

// Window messages. MSG_DRAW: a = the client bitmap, cleared to the background. MSG_SETDATA: a and
// b are two ints. MSG_KEY: a = the value readkey gave. MSG_ACTIVATE: the window became active.
const int MSG_DRAW = 0;
const int MSG_SETDATA = 1;
const int MSG_KEY = 2;
const int MSG_ACTIVATE = 3;

// A window procedure: (window, message, a, b); the game's procedures return 0.
using tWindowProc = int (*)(cMenuWindow& window, int iMsg, void* a, void* b);

// Ints travel in the pointer-sized message arguments.
inline void* MsgArg(int iValue) {
    return reinterpret_cast<void*>(static_cast<intptr_t>(iValue));
}
inline int MsgInt(void* pArg) {
    return static_cast<int>(reinterpret_cast<intptr_t>(pArg));
}

// Key throttle of a procedure: true, and the time remembered, when more than iDelay hundredths
// of a second have passed since the key accepted last; a key that comes sooner is lost.
bool AcceptKey(int& iLastKey, int iDelay);

// A framed rectangle at a fixed place on screen; what it shows and how it takes keys is its
// procedure's business.
class cMenuWindow {
public:
    cMenuWindow() = default;
    ~cMenuWindow();
    cMenuWindow(const cMenuWindow&) = delete;
    cMenuWindow& operator=(const cMenuWindow&) = delete;

    void SetId(int iNewId) { iId = iNewId; }
    int Id() const { return iId; }
    void SetPosition(cVector vNewPosition) { vPosition = vNewPosition; }
    void SetSize(int iNewWidth, int iNewHeight) {
        iWidth = iNewWidth;
        iHeight = iNewHeight;
    }
    void SetBgColor(int iColor) { iBgColor = iColor; }
    // Draws the frame, composed from the manager's pieces, onto pTarget, and over it the client
    // area that the procedure has drawn.
    void Draw(BITMAP* pTarget, cGuiSystem* pGuiSystem);

    // The frame as the pieces and the background make it, built at the first draw and again only
    // when the size or the background colour has changed; the client area, cleared at every draw.
    BITMAP* pFrame = nullptr;
    BITMAP* pClient = nullptr;
    int iFrameColor = 0;
    int iWidth = 0;
    int iHeight = 0;
    cVector vPosition{0, 0, 0};
    int iId = 0;
    int iBgColor = 0;
    tWindowProc pProc = nullptr;
    cGameInstance* pGame = nullptr;
    cGuiSystem* pGui = nullptr;

private:
    void BuildFrame(cGuiSystem* pGuiSystem);
};
