#pragma once

#include <allegro.h>
#include <vector>

// A quiet sky behind the play field: single-pixel stars in two layers drifting down and wrapping
// round, the far ones a pixel and the near ones two pixels every quarter of a second of play.
// They hold still in the menus and the hall of fame, whose frames, otherwise unchanged, are then
// not sent to the screen again. The stars are scattered by a generator of their own: the game's
// rand() sequence stays what it would be without them.
class cStarfield {
public:
    // Scatters the stars over a field of the given size, the same way at every start. Needs the
    // graphics mode, for the colours.
    void Build(int iWidth, int iHeight);
    // Draws the stars; while bDrifting they move on with the clock iNow, in hundredths of a
    // second, otherwise they stay where they were.
    void Draw(BITMAP* pTarget, int iNow, bool bDrifting);

private:
    struct cStar {
        int iX, iY;
        int iSpeed; // pixels per move
        int iColor;
    };
    std::vector<cStar> vStars;
    int iHeight = 0;
    // Hundredths of a second drifted so far, and the clock at the last draw (-1: none yet).
    int iDrift = 0;
    int iLastNow = -1;
};
