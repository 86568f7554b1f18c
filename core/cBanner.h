#pragma once

#include <allegro.h>
#include <string>

// A line of text shown large over the play field for a while: a level reached, a power-up taken,
// the end of a game. The text is drawn into a picture of its own once, when it is set.
class cBanner {
public:
    cBanner() = default;
    ~cBanner();
    cBanner(const cBanner&) = delete;
    cBanner& operator=(const cBanner&) = delete;

    // Shows sNewText from iNow on for iDuration hundredths of a second, iNewScale times the size
    // of the font.
    void Show(const std::string& sNewText, int iNow, int iDuration = 150, int iNewScale = 2);
    void Hide();
    bool Showing(int iNow) const;
    const std::string& Text() const { return sText; }
    // While it shows, draws the text centred across the target with its middle at row iMiddle.
    void Draw(BITMAP* pTarget, int iMiddle, int iNow) const;

private:
    std::string sText;
    BITMAP* pText = nullptr;
    int iShownAt = 0;
    int iDuration = 0;
    int iScale = 1;
};
