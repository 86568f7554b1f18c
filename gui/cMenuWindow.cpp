#include "gui/cMenuWindow.h"

#include "core/Clock.h"
#include "gui/cGuiSystem.h"

namespace {

// draw_sprite leaves pixels of this colour out: the frame's own let the play field show through,
// the client area's let the frame beneath show.
int MaskColor() {
    return makecol(255, 0, 255);
}

} // namespace

bool AcceptKey(int& iLastKey, int iDelay) {
    const int iNow = iTime;
    if (iNow - iLastKey <= iDelay)
        return false;
    iLastKey = iNow;
    return true;
}

cMenuWindow::~cMenuWindow() {
    if (pFrame)
        destroy_bitmap(pFrame);
    if (pClient)
        destroy_bitmap(pClient);
}

// Drawn straight onto the target, the frame and then the client area show what the client drawn
// into the frame would: both copies leave the mask colour out.
void cMenuWindow::Draw(BITMAP* pTarget, cGuiSystem* pGuiSystem) {
    if (!pFrame || pFrame->w != iWidth || pFrame->h != iHeight || iFrameColor != iBgColor)
        BuildFrame(pGuiSystem);
    clear_to_color(pClient, iBgColor);
    pProc(*this, MSG_DRAW, pClient, nullptr);
    const int x = static_cast<int>(vPosition.x);
    const int y = static_cast<int>(vPosition.y);
    const int c = pGuiSystem->GetGuiElement(0)->w;
    draw_sprite(pTarget, pFrame, x, y);
    draw_sprite(pTarget, pClient, x + c, y + c);
}

void cMenuWindow::BuildFrame(cGuiSystem* pGuiSystem) {
    const int W = iWidth;
    const int H = iHeight;
    if (pFrame)
        destroy_bitmap(pFrame);
    if (pClient)
        destroy_bitmap(pClient);
    pFrame = create_bitmap(W, H);
    clear_to_color(pFrame, MaskColor());

    // The corner piece gives the frame's thickness, the top edge the depth of the far edges.
    const int c = pGuiSystem->GetGuiElement(0)->w;
    const int e = pGuiSystem->GetGuiElement(1)->h;
    draw_sprite(pFrame, pGuiSystem->GetGuiElement(0), 0, 0);
    draw_sprite(pFrame, pGuiSystem->GetGuiElement(2), W - c, 0);
    draw_sprite(pFrame, pGuiSystem->GetGuiElement(6), 0, H - c);
    draw_sprite(pFrame, pGuiSystem->GetGuiElement(4), W - c, H - c);
    for (int x = c; x < W - c; ++x) {
        draw_sprite(pFrame, pGuiSystem->GetGuiElement(1), x, 0);
        draw_sprite(pFrame, pGuiSystem->GetGuiElement(5), x, H - e);
    }
    for (int y = c; y < H - c; ++y) {
        draw_sprite(pFrame, pGuiSystem->GetGuiElement(7), 0, y);
        draw_sprite(pFrame, pGuiSystem->GetGuiElement(3), W - e, y);
    }
    floodfill(pFrame, 5, H / 2, iBgColor);
    iFrameColor = iBgColor;
    pClient = create_bitmap(W - 2 * c, H - 2 * c);
}
