#include "objects/cStarfield.h"

#include <random>

namespace {

const int kMoveTicks = 25; // the stars move four times a second
const int kFarStars = 60;
const int kNearStars = 24;
const unsigned kSeed = 1987;

} // namespace

void cStarfield::Build(int iWidth, int iNewHeight) {
    iHeight = iNewHeight;
    vStars.clear();
    std::minstd_rand generator(kSeed);
    const int iFar = makecol(60, 60, 84);
    const int iNear = makecol(130, 130, 160);
    for (int i = 0; i < kFarStars + kNearStars; ++i) {
        const bool bNear = i >= kFarStars;
        const int x = static_cast<int>(generator() % iWidth);
        const int y = static_cast<int>(generator() % iHeight);
        vStars.push_back({x, y, bNear ? 2 : 1, bNear ? iNear : iFar});
    }
}

void cStarfield::Draw(BITMAP* pTarget, int iNow, bool bDrifting) {
    if (bDrifting && iLastNow >= 0)
        iDrift += iNow - iLastNow;
    iLastNow = iNow;
    const long long lMoves = iDrift / kMoveTicks;
    for (const cStar& star : vStars) {
        const int y = static_cast<int>((star.iY + lMoves * star.iSpeed) % iHeight);
        putpixel(pTarget, star.iX, y, star.iColor);
    }
}
