#include "core/cBanner.h"

cBanner::~cBanner() {
    Hide();
}

// Yellow with a black shadow a pixel down and right, readable over stars, monsters and sparks.
void cBanner::Show(const std::string& sNewText, int iNow, int iNewDuration, int iNewScale) {
    Hide();
    sText = sNewText;
    iShownAt = iNow;
    iDuration = iNewDuration;
    iScale = iNewScale;
    pText = create_bitmap(text_length(font, sText.c_str()) + 1, text_height(font) + 1);
    clear_to_color(pText, bitmap_mask_color(pText));
    textout_ex(pText, font, sText.c_str(), 1, 1, makecol(0, 0, 0), -1);
    textout_ex(pText, font, sText.c_str(), 0, 0, makecol(255, 255, 0), -1);
}

void cBanner::Hide() {
    if (pText)
        destroy_bitmap(pText);
    pText = nullptr;
    sText.clear();
}

bool cBanner::Showing(int iNow) const {
    return pText && iNow - iShownAt < iDuration;
}

void cBanner::Draw(BITMAP* pTarget, int iMiddle, int iNow) const {
    if (!Showing(iNow))
        return;
    const int iWidth = pText->w * iScale;
    const int iHeight = pText->h * iScale;
    stretch_sprite(pTarget, pText, (pTarget->w - iWidth) / 2, iMiddle - iHeight / 2, iWidth,
                   iHeight);
}
