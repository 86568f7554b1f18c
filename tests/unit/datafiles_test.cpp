#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "support/AllegroTest.h"

namespace {

// The four data files that the build packs from assets/, loaded as the game loads them: after the
// graphics mode is set, so the pictures come in the screen's colour layout.
class cDataFilesTest : public cAllegroTest {
protected:
    void TearDown() override {
        for (DATAFILE* pData : vLoaded)
            unload_datafile(pData);
    }

    DATAFILE* Load(const std::string& sName) {
        DATAFILE* pData = load_datafile((std::string(GAME_DATA_DIR) + "/" + sName).c_str());
        if (pData)
            vLoaded.push_back(pData);
        return pData;
    }

    static std::vector<DATAFILE*> Objects(DATAFILE* pData) {
        std::vector<DATAFILE*> vObjects;
        for (DATAFILE* pObject = pData; pObject->type != DAT_END; ++pObject)
            vObjects.push_back(pObject);
        return vObjects;
    }

    // Checks that every object has the given type and a numeric id in the property, and returns
    // the ids.
    static std::multiset<int> Ids(DATAFILE* pData, int iType, int iProperty) {
        std::multiset<int> vIds;
        for (DATAFILE* pObject : Objects(pData)) {
            const std::string sId = get_datafile_property(pObject, iProperty);
            EXPECT_EQ(pObject->type, iType) << "object " << pObject - pData;
            EXPECT_FALSE(sId.empty()) << "object " << pObject - pData << " has no id";
            vIds.insert(std::atoi(sId.c_str()));
        }
        return vIds;
    }

    static BITMAP* Picture(DATAFILE* pData, int iId) {
        for (DATAFILE* pObject : Objects(pData))
            if (std::atoi(get_datafile_property(pObject, DAT_ID('B', 'M', 'P', 'I'))) == iId)
                return static_cast<BITMAP*>(pObject->dat);
        return nullptr;
    }

    // The number of pixels in the mask colour, which draw_sprite leaves out.
    static int MaskPixels(BITMAP* pBmp) {
        int iCount = 0;
        for (int y = 0; y < pBmp->h; ++y)
            for (int x = 0; x < pBmp->w; ++x)
                iCount += getpixel(pBmp, x, y) == bitmap_mask_color(pBmp);
        return iCount;
    }

    // The largest distance of a sample value from silence, on a 16-bit scale.
    static int Peak(const SAMPLE* pSample) {
        const unsigned long iValues = pSample->len * (pSample->stereo ? 2 : 1);
        int iPeak = 0;
        for (unsigned long i = 0; i < iValues; ++i) {
            const int iValue =
                pSample->bits == 16
                    ? static_cast<const unsigned short*>(pSample->data)[i] - 0x8000
                    : (static_cast<const unsigned char*>(pSample->data)[i] - 0x80) * 0x100;
            iPeak = std::max(iPeak, std::abs(iValue));
        }
        return iPeak;
    }

    std::vector<DATAFILE*> vLoaded;
};

} // namespace

TEST_F(cDataFilesTest, SpritesHoldEveryPictureIdOnceAndOnlyBitmaps) {
    DATAFILE* pSprites = Load("sprites.dat");
    ASSERT_NE(pSprites, nullptr);
    EXPECT_EQ(Ids(pSprites, DAT_BITMAP, DAT_ID('B', 'M', 'P', 'I')),
              (std::multiset<int>{1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12}));
}

TEST_F(cDataFilesTest, IntroAndCreditsPicturesFitWhereTheyAreDrawn) {
    DATAFILE* pSprites = Load("sprites.dat");
    ASSERT_NE(pSprites, nullptr);
    BITMAP* pBackground = Picture(pSprites, 8);
    BITMAP* pBase = Picture(pSprites, 7);
    BITMAP* pEmblem = Picture(pSprites, 12);
    ASSERT_TRUE(pBackground && pBase && pEmblem);
    EXPECT_EQ(pBackground->w, 640);
    EXPECT_EQ(pBackground->h, 480);
    // The background covers the whole screen, which is not cleared before the intro.
    EXPECT_EQ(MaskPixels(pBackground), 0);
    // Drawn at the bottom left, 128 rows above the bottom.
    EXPECT_EQ(pBase->h, 128);
    EXPECT_LE(pBase->w, 640);
    // Centred by the credits as 150 wide, and drawn at (480, 400) in the intro.
    EXPECT_EQ(pEmblem->w, 150);
    EXPECT_LE(pEmblem->h, 80);
}

TEST_F(cDataFilesTest, SpritesAreTransparentAroundTheirShapes) {
    DATAFILE* pSprites = Load("sprites.dat");
    ASSERT_NE(pSprites, nullptr);
    for (int iId : {1, 2, 3, 4, 5, 7, 9, 10, 11, 12}) {
        BITMAP* pBmp = Picture(pSprites, iId);
        ASSERT_NE(pBmp, nullptr) << "bitmap " << iId;
        EXPECT_EQ(getpixel(pBmp, 0, 0), bitmap_mask_color(pBmp)) << "bitmap " << iId;
        EXPECT_LT(MaskPixels(pBmp), pBmp->w * pBmp->h) << "bitmap " << iId << " draws nothing";
    }
}

TEST_F(cDataFilesTest, SamplesAreShortUnclippedSoundsWithEveryId) {
    DATAFILE* pSamples = Load("samples.dat");
    ASSERT_NE(pSamples, nullptr);
    EXPECT_EQ(Ids(pSamples, DAT_SAMPLE, DAT_ID('S', 'M', 'I', 'D')), (std::multiset<int>{0, 1, 2}));
    // -1 dBFS, to the nearest 16-bit step.
    const int iCeiling = static_cast<int>(std::lround(32768 * std::pow(10.0, -1.0 / 20)));
    for (DATAFILE* pObject : Objects(pSamples)) {
        const SAMPLE* pSample = static_cast<const SAMPLE*>(pObject->dat);
        EXPECT_LT(pSample->len, static_cast<unsigned long>(pSample->freq)) << "longer than 1 s";
        EXPECT_LE(Peak(pSample), iCeiling) << "louder than -1 dBFS";
        EXPECT_GT(Peak(pSample), iCeiling / 10) << "nearly silent";
    }
}

TEST_F(cDataFilesTest, MusicHoldsEveryTuneIdAtAPlayableLength) {
    DATAFILE* pMusic = Load("midi.dat");
    ASSERT_NE(pMusic, nullptr);
    EXPECT_EQ(Ids(pMusic, DAT_MIDI, DAT_ID('M', 'D', 'I', 'D')),
              (std::multiset<int>{1, 2, 3, 4, 5}));
    for (DATAFILE* pObject : Objects(pMusic)) {
        const int iSeconds = get_midi_length(static_cast<MIDI*>(pObject->dat));
        EXPECT_GE(iSeconds, 30);
        EXPECT_LE(iSeconds, 90);
    }
}

TEST_F(cDataFilesTest, GuiHoldsExactlyTheEightFramePieces) {
    DATAFILE* pGui = Load("gui.dat");
    ASSERT_NE(pGui, nullptr);
    const std::vector<DATAFILE*> vPieces = Objects(pGui);
    ASSERT_EQ(vPieces.size(), 8u);
    for (DATAFILE* pPiece : vPieces)
        ASSERT_EQ(pPiece->type, DAT_BITMAP);
    auto Piece = [&](int i) { return static_cast<BITMAP*>(vPieces[i]->dat); };
    // The window manager takes the width of the first corner as the corner size and the frame's
    // thickness, and the height of the top edge as the thickness of the bottom and right edges.
    const int iCorner = Piece(0)->w;
    const int iEdge = Piece(1)->h;
    for (int i : {0, 2, 4, 6}) {
        EXPECT_EQ(Piece(i)->w, iCorner) << "corner " << i;
        EXPECT_EQ(Piece(i)->h, iCorner) << "corner " << i;
    }
    EXPECT_LE(iEdge, iCorner);
    // The background fill starts 5 pixels in from the left, which must be inside the frame.
    EXPECT_LE(iCorner, 5);
    for (int i : {1, 5}) {
        EXPECT_EQ(Piece(i)->w, 1) << "edge " << i;
        EXPECT_EQ(Piece(i)->h, iEdge) << "edge " << i;
    }
    for (int i : {3, 7}) {
        EXPECT_EQ(Piece(i)->w, iEdge) << "edge " << i;
        EXPECT_EQ(Piece(i)->h, 1) << "edge " << i;
    }
}
