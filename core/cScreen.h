#pragma once

#include <allegro.h>
#include <cstdint>
#include <string>

// The largest enlargement of the window: each game pixel shown as 8 by 8 screen pixels.
const int kMaxScale = 8;

// Where the game's frames are shown: a window that enlarges the field by a whole number, or the
// fullscreen view, a window the size of the desktop with the field enlarged as far as it fits,
// centred on black. The game draws at 16 bits; the screen is opened at the desktop's depth
// wherever the X server then takes its pixels as they are, and each frame is converted and
// enlarged here in one pass, row by row, only where it differs from the frame shown before.
class cScreen {
public:
    cScreen() = default;
    ~cScreen();
    cScreen(const cScreen&) = delete;
    cScreen& operator=(const cScreen&) = delete;

    // Gives the window the game's name, class and icon; called before Allegro starts.
    static void NameWindow();
    // The enlargement of a field of iWidth by iHeight on a desktop of iDesktopWidth by
    // iDesktopHeight (0 by 0: unknown): iAsked when it fits, else the largest that does, never
    // less than 1; sAskedBy names the request ("--scale 3", say). sNote tells the player when the
    // answer is not what was asked or the window stays small.
    static int FitScale(int iAsked, const std::string& sAskedBy, int iWidth, int iHeight,
                        int iDesktopWidth, int iDesktopHeight, std::string& sNote);

    // Opens the view of a field of iWidth by iHeight game pixels: the window enlarged by
    // iAskedScale (from the command line), else by iChosenScale (the player's settings), else as
    // allegro.cfg says, else as far as it fits the desktop (0 is not asked); or, with
    // bFullscreenView, the fullscreen view. False when no graphics mode could be set.
    bool Open(int iWidth, int iHeight, int iAskedScale, int iChosenScale, bool bFullscreenView);
    // Switches between the window and the fullscreen view. The next frame shown goes to the
    // screen whole. False when neither view could be set up again: there is no screen then.
    bool ToggleFullscreen();
    bool IsFullscreen() const { return bFullscreen; }

    // Shows the frame, a 16-bit bitmap of the field's size, on the screen, if there is one.
    void Show(BITMAP* pFrame) {
        if (screen)
            ShowOn(pFrame, screen);
    }
    // The same onto any bitmap of 15 to 32 bits: each row of the frame that differs from the
    // one shown last is enlarged iScale times at (iLeft, iTop), converted as the X server would
    // have converted a 16-bit screen.
    void ShowOn(BITMAP* pFrame, BITMAP* pTarget);
    // The next frame is shown whole.
    void Invalidate() { bWhole = true; }
    // Whether a frame is due after iSteps more logic steps: no more frames are drawn than the
    // display refreshes (iRefresh times a second), however many steps run.
    bool FrameDue(int iSteps);

    // Screen pixels per game pixel, and the place of the field's top-left corner on the screen.
    int iScale = 1;
    int iLeft = 0;
    int iTop = 0;
    // The display's refresh rate, 60 when it cannot be known.
    int iRefresh = 60;
    // The screen's pixels go to the X server as they are, and the rows are written into them
    // here; otherwise the screen is 16-bit and Allegro copies and converts.
    bool bDirect = false;

private:
    bool SetView(bool bFullscreenView);
    bool SetMode(int iCard, int iWidth, int iHeight);
    void KeepSixteenBitLayout();
    void BuildTable(int iDepth);
    bool RowChanged(BITMAP* pFrame, BITMAP* pTarget, int y);
    void DrawRows(BITMAP* pFrame, BITMAP* pTarget, int iFirst, int iEnd);
    void SendRows(BITMAP* pTarget, int iFirst, int iEnd);

    int iFieldWidth = 0;
    int iFieldHeight = 0;
    int iWindowScale = 1;
    bool bFullscreen = false;
    bool bWhole = true;
    int iCredit = 0;
    // A copy of the frame shown last; none where the screen holds it pixel for pixel.
    BITMAP* pShown = nullptr;
    // The screen's pixel of each 16-bit pixel's low byte, then of its high byte, for the depth
    // iTableDepth: a 16-bit pixel is the sum of the two.
    uint32_t aTable[512] = {};
    int iTableDepth = 0;
    // The 16-bit layout the game's bitmaps were made in, kept across changes of the mode.
    int aLayout[3] = {-1, -1, -1};
};
