#include "gui/cMenuWindow.h"

#include "gui/cGuiSystem.h"

namespace {

// draw_sprite leaves pixels of this colour out: the frame's own let the play field show through,
// the client area's let the frame beneath show.
int MaskColor() {
    return makecol(255, 0, 255);
}

} // namespace

void cMenuWindow::Draw(BITMAP* pTarget, cGuiSystem* pGuiSystem) {
    const int W = iWidth;
    const int H = iHeight;
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

    BITMAP* pClient = create_bitmap(W - 2 * c, H - 2 * c);
    clear_to_color(pClient, iBgColor);
    pProc(*this, MSG_DRAW, pClient, nullptr);
    draw_sprite(pFrame, pClient, c, c);
    draw_sprite(pTarget, pFrame, static_cast<int>(vPosition.x), static_cast<int>(vPosition.y));

    destroy_bitmap(pFrame);
    destroy_bitmap(pClient);
    pFrame = nullptr;
}
