#include <cstdio>
#include <fstream>
#include <string>

#include "core/Credits.h"
#include "core/cGameInstance.h"
#include "core/main.h"
#include "media/cBitmapDatabase.h"
#include "support/AllegroTest.h"

namespace {

// A game whose bitmap table holds the test pictures; id 12 is a red picture 150 by 20.
class cCreditsTest : public cAllegroTest {
protected:
    void SetUp() override {
        cAllegroTest::SetUp();
        game.pSpriteData = load_datafile(TEST_DATA_DIR "/bitmaps.dat");
        ASSERT_NE(game.pSpriteData, nullptr);
        game.pBitmaps = new cBitmapDatabase;
        game.pBitmaps->BuildBitmaps(game.pSpriteData);
    }
    void TearDown() override { std::remove(sFile.c_str()); }

    void WriteCredits(const std::string& sText) { std::ofstream(sFile) << sText; }

    // Rows of the picture that hold a white pixel, as a string of '#' and '.' from row iFrom.
    std::string WhiteRows(BITMAP* pBmp, int iFrom, int iTo) const {
        std::string sRows;
        for (int y = iFrom; y < iTo; ++y) {
            bool bWhite = false;
            for (int x = 0; x < pBmp->w && !bWhite; ++x)
                bWhite = getpixel(pBmp, x, y) == makecol(255, 255, 255);
            sRows += bWhite ? '#' : '.';
        }
        return sRows;
    }

    cGameInstance game;
    const std::string sFile = "credits-test-" + std::to_string(getpid()) + ".txt";
};

} // namespace

TEST_F(cCreditsTest, LinesLandEightRowsApartFromRow150BelowThePicture) {
    std::string sText = "HH\n\nHH\r\n";
    for (int i = 3; i < 90; ++i)
        sText += "H\n";
    WriteCredits(sText);
    BITMAP* pBmp = CreateCreditsBitmap(&game, 640, sFile.c_str());
    ASSERT_EQ(pBmp->h, 800);
    // The font's capitals fill the top seven rows of their eight; the empty line leaves a gap.
    EXPECT_EQ(WhiteRows(pBmp, 140, 182), "..........#######.........#######.#######.");
    // Lines 79 and 80 fit whole, line 81 shows its top two rows, the rest nothing.
    EXPECT_EQ(WhiteRows(pBmp, 782, 800), "#######.#######.##");
    // The picture sits centred above the text.
    EXPECT_EQ(getpixel(pBmp, 245, 30), makecol(255, 0, 0));
    EXPECT_EQ(getpixel(pBmp, 394, 49), makecol(255, 0, 0));
    EXPECT_EQ(getpixel(pBmp, 244, 30), 0);
    EXPECT_EQ(getpixel(pBmp, 395, 49), 0);
    destroy_bitmap(pBmp);

    pBmp = CreateCreditsBitmap(&game, 640, "no-such-credits.txt");
    EXPECT_EQ(WhiteRows(pBmp, 0, 800), std::string(800, '.')) << "a missing file: no text";
    EXPECT_EQ(getpixel(pBmp, 320, 40), makecol(255, 0, 0));
    destroy_bitmap(pBmp);
}

TEST_F(cCreditsTest, ScrollsAPixelEveryTenthOfASecond) {
    int iStart = 100;
    iTime = 109;
    EXPECT_EQ(ScrollCredits(iStart, 0), 0);
    EXPECT_EQ(iStart, 100) << "less than a tenth keeps the start";
    iTime = 110;
    EXPECT_EQ(ScrollCredits(iStart, 0), 1);
    EXPECT_EQ(iStart, 110);
    iTime = 145; // a slow pass: the offset jumps
    EXPECT_EQ(ScrollCredits(iStart, 1), 4);
    EXPECT_EQ(iStart, 145);
}

TEST_F(cCreditsTest, EndWhenThroughOrSkipped) {
    EXPECT_FALSE(CreditsOver(799));
    EXPECT_TRUE(CreditsOver(800));
    EXPECT_TRUE(CreditsOver(803)) << "a jump past the end ends them too";

    key[KEY_SPACE] = 1;
    EXPECT_TRUE(CreditsOver(0));
    key[KEY_SPACE] = 0;
    key[KEY_ESC] = 1;
    EXPECT_TRUE(CreditsOver(0));
    key[KEY_ESC] = 0;
    EXPECT_FALSE(CreditsOver(0));
}
