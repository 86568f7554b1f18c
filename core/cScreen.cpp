#include "core/cScreen.h"

#include <algorithm>
#include <cstring>
#include <iostream>

#include "core/Clock.h"

// After allegro.h: the X declarations that Allegro's X port shares with programs, and the
// conversion blitters that it converts a screen of another depth with.
#include <X11/Xatom.h>
#include <allegro/internal/aintern.h>
#include <xalleg.h>

// The game's icon, which the build draws from the emblem among the assets.
#include "zenith-icon.xpm"

// The window's icon, as X pixmap data; Allegro's own unless set before it starts.
extern "C" void* allegro_icon;

namespace {

const char* const kProgram = "zenith-guard";
// Unchanged rows between two runs of changed ones that are sent along rather than apart.
const int kCloseRows = 8;

std::string Size(int iWidth, int iHeight) {
    return std::to_string(iWidth) + "x" + std::to_string(iHeight);
}

// The X port's window, when it is the one that shows the screen.
bool OnX() {
    return system_driver && system_driver->id == SYSTEM_XWINDOWS && _xwin.display;
}

// Asks the window manager to show the window over the whole screen, or no longer, when it next
// maps the window: Allegro maps it as it sets the mode.
void AskForFullscreen(bool bFullscreen) {
    if (!OnX())
        return;
    XLOCK();
    const Atom state = XInternAtom(_xwin.display, "_NET_WM_STATE", False);
    if (bFullscreen) {
        Atom fullscreen = XInternAtom(_xwin.display, "_NET_WM_STATE_FULLSCREEN", False);
        XChangeProperty(_xwin.display, _xwin.wm_window, state, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&fullscreen), 1);
    } else {
        XDeleteProperty(_xwin.display, _xwin.wm_window, state);
    }
    XUNLOCK();
}

// The screen's pixels are those of the window's picture: drawn into, they need only be sent.
bool DrawsStraightToTheWindow() {
    return OnX() && gfx_driver &&
           (gfx_driver->id == GFX_XWINDOWS || gfx_driver->id == GFX_XWINDOWS_FULLSCREEN) &&
           _xwin.matching_formats;
}

// One row of the frame, each pixel iScale times, in the screen's pixels of iBytes bytes.
template <int iBytes>
void EnlargeRow(const uint16_t* pRow, int iCount, int iScale, const uint32_t* pTable,
                uint8_t* pOut) {
    if (!pTable && iScale == 1) {
        std::memcpy(pOut, pRow, iCount * sizeof(*pRow));
        return;
    }
    for (int x = 0; x < iCount; ++x) {
        const uint32_t iPixel =
            pTable ? pTable[pRow[x] & 0xFF] + pTable[256 + (pRow[x] >> 8)] : pRow[x];
        for (int i = 0; i < iScale; ++i, pOut += iBytes) {
            if constexpr (iBytes == 2)
                *reinterpret_cast<uint16_t*>(pOut) = static_cast<uint16_t>(iPixel);
            else if constexpr (iBytes == 4)
                *reinterpret_cast<uint32_t*>(pOut) = iPixel;
            else
                std::memcpy(pOut, &iPixel, 3); // little-endian, as Allegro stores 24 bits
        }
    }
}

} // namespace

cScreen::~cScreen() {
    if (pShown)
        destroy_bitmap(pShown);
}

void cScreen::NameWindow() {
    allegro_icon = const_cast<char**>(zenith_icon);
    xwin_set_window_name(kProgram, "Zenith-guard");
}

int cScreen::FitScale(int iAsked, const std::string& sAskedBy, int iWidth, int iHeight,
                      int iDesktopWidth, int iDesktopHeight, std::string& sNote) {
    sNote.clear();
    if (iDesktopWidth <= 0 || iDesktopHeight <= 0)
        return std::max(iAsked, 1);
    const int iFits =
        std::clamp(std::min(iDesktopWidth / iWidth, iDesktopHeight / iHeight), 1, kMaxScale);
    if (iAsked > iFits) {
        sNote = std::string(kProgram) + ": " + sAskedBy + " makes a window of " +
                Size(iWidth * iAsked, iHeight * iAsked) + ", larger than the " +
                Size(iDesktopWidth, iDesktopHeight) + " screen: enlarging " +
                std::to_string(iFits) + " times instead";
        return iFits;
    }
    if (iAsked > 0)
        return iAsked;
    // Every game pixel stays a square of whole screen pixels: a screen with room for more than
    // the field but not for twice it keeps the small window, and the player is told why.
    if (iFits == 1 && iDesktopWidth > iWidth && iDesktopHeight > iHeight)
        sNote = std::string(kProgram) + ": the " + Size(iDesktopWidth, iDesktopHeight) +
                " screen has no room for the game enlarged (" + Size(2 * iWidth, 2 * iHeight) +
                "): showing it at " + Size(iWidth, iHeight) + "; F11 shows it on the whole screen";
    return iFits;
}

bool cScreen::Open(int iWidth, int iHeight, int iAskedScale, int iChosenScale,
                   bool bFullscreenView) {
    iFieldWidth = iWidth;
    iFieldHeight = iHeight;
    std::string sAskedBy = "--scale " + std::to_string(iAskedScale);
    if (iAskedScale <= 0) {
        iAskedScale = iChosenScale;
        sAskedBy = "scale = " + std::to_string(iAskedScale) + " in the settings";
    }
    if (iAskedScale <= 0) {
        iAskedScale = std::min(get_config_int("zenith-guard", "scale", 0), kMaxScale);
        sAskedBy = "scale = " + std::to_string(iAskedScale) + " in allegro.cfg";
    }
    int iDesktopWidth = 0;
    int iDesktopHeight = 0;
    get_desktop_resolution(&iDesktopWidth, &iDesktopHeight);
    std::string sNote;
    iWindowScale =
        FitScale(iAskedScale, sAskedBy, iWidth, iHeight, iDesktopWidth, iDesktopHeight, sNote);
    if (!sNote.empty())
        std::cerr << sNote << std::endl;
    if (SetView(bFullscreenView))
        return true;
    // A window too large for this screen falls back to the game's own size.
    iWindowScale = 1;
    return SetView(false);
}

bool cScreen::ToggleFullscreen() {
    const bool bWasFullscreen = bFullscreen;
    if (SetView(!bWasFullscreen) || SetView(bWasFullscreen))
        return true;
    iWindowScale = 1;
    return SetView(false);
}

// The fullscreen view is a window the size of the desktop, which the window manager is asked to
// lay over everything: the display's own mode stays as it is.
bool cScreen::SetView(bool bFullscreenView) {
    int iWidth = iFieldWidth * iWindowScale;
    int iHeight = iFieldHeight * iWindowScale;
    int iScaleNow = iWindowScale;
    if (bFullscreenView) {
        std::string sNote;
        if (get_desktop_resolution(&iWidth, &iHeight) != 0)
            return false;
        iScaleNow = FitScale(0, "", iFieldWidth, iFieldHeight, iWidth, iHeight, sNote);
    }
    // The window manager reads the request when the window is mapped anew, which setting the
    // next mode does once the present one is gone.
    const bool bAgain = gfx_driver != nullptr;
    if (bAgain)
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    AskForFullscreen(bFullscreenView);
    if (!SetMode(bFullscreenView ? GFX_AUTODETECT_WINDOWED : GFX_AUTODETECT, iWidth, iHeight))
        return false;
    bFullscreen = bFullscreenView;
    iScale = iScaleNow;
    iLeft = (SCREEN_W - iFieldWidth * iScale) / 2;
    iTop = (SCREEN_H - iFieldHeight * iScale) / 2;
    // The frames cover the field; only the border around it is to be made black.
    if (iLeft > 0 || iTop > 0)
        clear_to_color(screen, 0);
    Invalidate();
    // What the server made of the window taken down and put up again, the focus it took away
    // say, is taken in now.
    if (bAgain && OnX())
        _xwin_handle_input();
    return true;
}

// At the desktop's depth where the X server takes the screen's pixels as they are; otherwise at
// the game's 16 bits, which Allegro converts. The game's own bitmaps stay 16-bit either way.
bool cScreen::SetMode(int iCard, int iWidth, int iHeight) {
    const int iDesktop = desktop_color_depth();
    for (const int iDepth : {iDesktop == 16 ? 0 : iDesktop, 16}) {
        if (iDepth != 15 && iDepth != 16 && iDepth != 24 && iDepth != 32)
            continue;
        set_color_depth(iDepth);
        if (set_gfx_mode(iCard, iWidth, iHeight, 0, 0) != 0)
            continue;
        bDirect = DrawsStraightToTheWindow();
        if (bDirect || iDepth == 16)
            break;
    }
    set_color_depth(16);
    if (!gfx_driver)
        return false;
    KeepSixteenBitLayout();
    iRefresh = get_refresh_rate() > 0 ? get_refresh_rate() : 60;
    return true;
}

// Setting a mode resets Allegro's 16-bit layout. A 16-bit screen sets the one of the X server's
// pixels; with a deeper screen the layout is made to match it, as Allegro does when it converts a
// 16-bit screen itself. The first layout is kept for good: the bitmaps already made are in it.
void cScreen::KeepSixteenBitLayout() {
    if (aLayout[0] < 0) {
        const int iDepth = bitmap_color_depth(screen);
        if (iDepth != 16) {
            const bool bRedHigh =
                makecol_depth(iDepth, 255, 0, 0) > makecol_depth(iDepth, 0, 0, 255);
            _rgb_r_shift_16 = bRedHigh ? 11 : 0;
            _rgb_g_shift_16 = 5;
            _rgb_b_shift_16 = bRedHigh ? 0 : 11;
        }
        aLayout[0] = _rgb_r_shift_16;
        aLayout[1] = _rgb_g_shift_16;
        aLayout[2] = _rgb_b_shift_16;
    }
    _rgb_r_shift_16 = aLayout[0];
    _rgb_g_shift_16 = aLayout[1];
    _rgb_b_shift_16 = aLayout[2];
}

// The X port converts a 16-bit screen for a deeper display with Allegro's colour conversion
// blitters, which put each pixel together from its two bytes: the table holds what the blitter
// makes of every low byte and of every high byte, once each.
void cScreen::BuildTable(int iDepth) {
    iTableDepth = iDepth;
    if (iDepth == 16)
        return;
    uint16_t aIn[512];
    for (int i = 0; i < 256; ++i) {
        aIn[i] = static_cast<uint16_t>(i);
        aIn[256 + i] = static_cast<uint16_t>(i << 8);
    }
    const int iBytes = (iDepth + 7) / 8;
    uint8_t aOut[512 * 4];
    GRAPHICS_RECT in{512, 1, 1024, aIn};
    GRAPHICS_RECT out{512, 1, 512 * iBytes, aOut};
    COLORCONV_BLITTER_FUNC* pBlit = _get_colorconv_blitter(16, iDepth);
    pBlit(&in, &out);
    _release_colorconv_blitter(pBlit);
    for (int i = 0; i < 512; ++i) {
        aTable[i] = 0;
        std::memcpy(&aTable[i], &aOut[i * iBytes], iBytes);
    }
    // Both halves hold the pixel 0; the whole pixel counts it once.
    for (int i = 1; i < 256; ++i)
        aTable[i] -= aTable[0];
    aTable[0] = 0;
}

void cScreen::ShowOn(BITMAP* pFrame, BITMAP* pTarget) {
    // Shown pixel for pixel at 16 bits, the target itself holds the frame last shown.
    const bool bTargetHolds = bitmap_color_depth(pTarget) == 16 && iScale == 1;
    if (bTargetHolds && pShown) {
        destroy_bitmap(pShown);
        pShown = nullptr;
    }
    if (!bTargetHolds && (!pShown || pShown->w != pFrame->w || pShown->h != pFrame->h)) {
        if (pShown)
            destroy_bitmap(pShown);
        pShown = create_bitmap_ex(16, pFrame->w, pFrame->h);
        bWhole = true;
    }
    // Runs of changed rows close to each other reach the X server together: a row more costs it
    // less than a request more.
    int iSendFirst = 0;
    int iSendEnd = 0;
    for (int y = 0; y < pFrame->h;) {
        int iEnd = y;
        while (iEnd < pFrame->h && RowChanged(pFrame, pTarget, iEnd))
            ++iEnd;
        if (iEnd > y) {
            DrawRows(pFrame, pTarget, y, iEnd);
            if (pShown)
                for (int i = y; i < iEnd; ++i)
                    std::memcpy(pShown->line[i], pFrame->line[i], pFrame->w * 2);
            if (y - iSendEnd > kCloseRows) {
                SendRows(pTarget, iSendFirst, iSendEnd);
                iSendFirst = y;
            }
            iSendEnd = iEnd;
        }
        y = iEnd + 1;
    }
    SendRows(pTarget, iSendFirst, iSendEnd);
    bWhole = false;
}

// Rows iFirst to iEnd - 1 of the field, drawn into the screen's pixels, go to the X server.
void cScreen::SendRows(BITMAP* pTarget, int iFirst, int iEnd) {
    const int iTopRow = iTop + iFirst * iScale;
    const int iRows = std::min((iEnd - iFirst) * iScale, pTarget->h - iTopRow);
    if (!bDirect || pTarget != screen || iRows <= 0)
        return;
    XLOCK();
    (*_xwin_window_redrawer)(iLeft, iTopRow, iFieldWidth * iScale, iRows);
    XUNLOCK();
}

bool cScreen::RowChanged(BITMAP* pFrame, BITMAP* pTarget, int y) {
    if (bWhole)
        return true;
    const void* pShownRow = pShown ? pShown->line[y] : pTarget->line[iTop + y] + 2 * iLeft;
    return std::memcmp(pFrame->line[y], pShownRow, pFrame->w * 2) != 0;
}

// Rows iFirst to iEnd - 1 of the frame, enlarged onto the target. Only whole game pixels that
// fall inside the target are drawn.
void cScreen::DrawRows(BITMAP* pFrame, BITMAP* pTarget, int iFirst, int iEnd) {
    const int iTop0 = iTop + iFirst * iScale;
    const int iRows = std::min((iEnd - iFirst) * iScale, pTarget->h - iTop0);
    if (iRows <= 0)
        return;
    if (!bDirect) {
        // A plain copy: nothing draws the mask colour into the frame, so a masked one would show
        // the same picture at several times the cost.
        if (iScale == 1)
            blit(pFrame, pTarget, 0, iFirst, iLeft, iTop0, pFrame->w, iEnd - iFirst);
        else
            stretch_blit(pFrame, pTarget, 0, iFirst, pFrame->w, iEnd - iFirst, iLeft, iTop0,
                         pFrame->w * iScale, (iEnd - iFirst) * iScale);
        return;
    }
    const int iDepth = bitmap_color_depth(pTarget);
    if (iDepth != iTableDepth)
        BuildTable(iDepth);
    const uint32_t* pTable = iDepth == 16 ? nullptr : aTable;
    const int iBytes = (iDepth + 7) / 8;
    const int iCount = std::min(pFrame->w, (pTarget->w - iLeft) / iScale);
    const std::size_t iRowBytes = static_cast<std::size_t>(iCount) * iScale * iBytes;
    for (int i = 0; i < iRows; ++i) {
        const int y = iTop0 + i;
        uint8_t* pOut = pTarget->line[y] + iLeft * iBytes;
        if (i % iScale != 0) {
            std::memcpy(pOut, pTarget->line[y - 1] + iLeft * iBytes, iRowBytes);
            continue;
        }
        const uint16_t* pRow = reinterpret_cast<const uint16_t*>(pFrame->line[iFirst + i / iScale]);
        if (iBytes == 2)
            EnlargeRow<2>(pRow, iCount, iScale, pTable, pOut);
        else if (iBytes == 3)
            EnlargeRow<3>(pRow, iCount, iScale, pTable, pOut);
        else
            EnlargeRow<4>(pRow, iCount, iScale, pTable, pOut);
    }
}

bool cScreen::FrameDue(int iSteps) {
    iCredit += iSteps * iRefresh;
    if (iCredit < kLogicRate)
        return false;
    iCredit = std::min(iCredit - kLogicRate, kLogicRate - 1);
    return true;
}
