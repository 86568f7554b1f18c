#pragma once

#include <allegro.h>
#include <vector>

// A quiet sky behind the play field: single-pixel stars in two layers drifting down and wrapping
// round, the far ones a pixel and the near ones two pixels every quarter of a second. The picture
// changes only when the stars move, so a frame that is otherwise still is sent to the screen only
// four times a second. The stars are scattered by a generator of their own: the game's rand()
// sequence stays what it would be without them.
class cStarfield {
public:
    // Scatters the stars over a field of the given size, the same way at every start. Needs the
    // graphics mode, for the colours.
    void Build(int iWidth, int iHeight);
    // Draws the stars where the clock iNow, in hundredths of a second, has brought them.
    void Draw(BITMAP* pTarget, int iNow) const;

private:
    struct cStar {
        int iX, iY;
        int iSpeed; // pixels per move
        int iColor;
    };
    std::vector<cStar> vStars;
    int iHeight = 0;
};
