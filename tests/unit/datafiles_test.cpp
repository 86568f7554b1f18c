#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/AllegroTest.h"

namespace {

// Where the game puts things on its 480-row screen: the ship's top (its sprite's top row), and
// the lower edge of a new shot, above the screen's bottom.
const int kScreenH = 480;
const int kShipTop = kScreenH - 94;
const int kShotLift = 64;

// The rows and columns of a picture that are drawn, not in the mask colour.
struct cDrawn {
    int iTop = -1, iBottom = -1, iLeft = -1, iRight = -1;
};

// The instruments (General MIDI programs, from 0) and drums (notes of channel 10) a tune uses.
struct cSounds {
    std::set<int> vPrograms, vDrums;
};

int VariableLength(const unsigned char*& pData) {
    int iValue = 0;
    do
        iValue = (iValue << 7) | (*pData & 0x7F);
    while (*pData++ & 0x80);
    return iValue;
}

// Reads every event of every track, as a player would, and notes the program changes and drums.
cSounds SoundsOf(const MIDI* pMidi) {
    cSounds Sounds;
    for (const auto& Track : pMidi->track) {
        const unsigned char* pData = Track.data;
        const unsigned char* pEnd = pData + Track.len;
        int iStatus = 0;
        while (pData && pData < pEnd) {
            VariableLength(pData);
            if (*pData & 0x80)
                iStatus = *pData++;
            if (iStatus == 0xFF) {
                ++pData;
                pData += VariableLength(pData);
            } else if (iStatus == 0xF0 || iStatus == 0xF7) {
                pData += VariableLength(pData);
            } else {
                const int iKind = iStatus & 0xF0;
                if (iKind == 0xC0)
                    Sounds.vPrograms.insert(pData[0]);
                if (iKind == 0x90 && (iStatus & 0x0F) == 9 && pData[1] > 0)
                    Sounds.vDrums.insert(pData[0]);
                pData += (iKind == 0xC0 || iKind == 0xD0) ? 1 : 2;
            }
        }
    }
    return Sounds;
}

// The four data files that the build packs from assets/, loaded as the game loads them: after the
// graphics mode is set, so the pictures come in the screen's colour layout.
class cDataFilesTest : public cAllegroTest {
protected:
    void SetUp() override {
        cAllegroTest::SetUp();
        for (auto [ppData, sName] : {std::pair{&pSprites, "sprites"},
                                     {&pSamples, "samples"},
                                     {&pMusic, "midi"},
                                     {&pGui, "gui"},
                                     {&pPatches, "patches"}}) {
            *ppData = load_datafile((std::string(GAME_DATA_DIR "/") + sName + ".dat").c_str());
            ASSERT_NE(*ppData, nullptr) << sName;
        }
    }
    void TearDown() override {
        for (DATAFILE* pData : {pSprites, pSamples, pMusic, pGui, pPatches})
            if (pData)
                unload_datafile(pData);
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

    static cDrawn DrawnArea(BITMAP* pBmp) {
        cDrawn Area;
        for (int y = 0; y < pBmp->h; ++y)
            for (int x = 0; x < pBmp->w; ++x)
                if (getpixel(pBmp, x, y) != bitmap_mask_color(pBmp)) {
                    if (Area.iTop < 0)
                        Area.iTop = y;
                    Area.iBottom = y;
                    Area.iLeft = Area.iLeft < 0 ? x : std::min(Area.iLeft, x);
                    Area.iRight = std::max(Area.iRight, x);
                }
        return Area;
    }

    static int Brightness(BITMAP* pBmp) {
        int iSum = 0;
        for (int y = 0; y < pBmp->h; ++y)
            for (int x = 0; x < pBmp->w; ++x) {
                const int iColour = getpixel(pBmp, x, y);
                iSum += getr(iColour) + getg(iColour) + getb(iColour);
            }
        return iSum / (pBmp->w * pBmp->h);
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

    DATAFILE *pSprites = nullptr, *pSamples = nullptr, *pMusic = nullptr, *pGui = nullptr,
             *pPatches = nullptr;
};

} // namespace

TEST_F(cDataFilesTest, SpritesHoldEveryPictureIdOnceAndOnlyBitmaps) {
    EXPECT_EQ(Ids(pSprites, DAT_BITMAP, DAT_ID('B', 'M', 'P', 'I')),
              (std::multiset<int>{1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12}));
}

TEST_F(cDataFilesTest, IntroAndCreditsPicturesFitWhereTheyAreDrawn) {
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
    for (int iId : {1, 2, 3, 4, 5, 7, 9, 10, 11, 12}) {
        BITMAP* pBmp = Picture(pSprites, iId);
        ASSERT_NE(pBmp, nullptr) << "bitmap " << iId;
        EXPECT_EQ(getpixel(pBmp, 0, 0), bitmap_mask_color(pBmp)) << "bitmap " << iId;
        EXPECT_LT(MaskPixels(pBmp), pBmp->w * pBmp->h) << "bitmap " << iId << " draws nothing";
    }
}

TEST_F(cDataFilesTest, SamplesAreShortUnclippedSoundsWithEveryId) {
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
    EXPECT_EQ(Ids(pMusic, DAT_MIDI, DAT_ID('M', 'D', 'I', 'D')),
              (std::multiset<int>{1, 2, 3, 4, 5}));
    for (DATAFILE* pObject : Objects(pMusic)) {
        const int iSeconds = get_midi_length(static_cast<MIDI*>(pObject->dat));
        EXPECT_GE(iSeconds, 30);
        EXPECT_LE(iSeconds, 90);
    }
}

TEST_F(cDataFilesTest, GuiHoldsExactlyTheEightFramePieces) {
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

TEST_F(cDataFilesTest, ShipIsDrawnWhereItsBoxIsAndShotsLeaveItsNose) {
    BITMAP* pShip = Picture(pSprites, 1);
    BITMAP* pShot = Picture(pSprites, 2);
    ASSERT_TRUE(pShip && pShot);
    // The box reaches from the sprite's height above the bottom down to the bottom, and the ship
    // is drawn from its top: they are the same rows only at this height.
    EXPECT_EQ(kShipTop + pShip->h, kScreenH);
    // The wings reach the sides of the box.
    const cDrawn ShipArea = DrawnArea(pShip);
    EXPECT_LE(ShipArea.iLeft, 1);
    EXPECT_GE(ShipArea.iRight, pShip->w - 2);
    // The nose is the first drawn row, just under a new shot's lower edge, and every pixel of it
    // lies under the shot, which is centred on the ship.
    EXPECT_EQ(kShipTop + ShipArea.iTop, kScreenH - kShotLift);
    const int iShotLeft = pShip->w / 2 - pShot->w / 2;
    for (int x = 0; x < pShip->w; ++x)
        if (getpixel(pShip, x, ShipArea.iTop) != bitmap_mask_color(pShip)) {
            EXPECT_GE(x, iShotLeft);
            EXPECT_LT(x, iShotLeft + pShot->w);
        }
}

TEST_F(cDataFilesTest, MonstersReachTheNoseWhenTheyTouchTheShipAndDropPiesAtTheirSide) {
    BITMAP* pShip = Picture(pSprites, 1);
    BITMAP* pPie = Picture(pSprites, 5);
    ASSERT_TRUE(pShip && pPie);
    const int iNose = kShipTop + DrawnArea(pShip).iTop;
    for (int iId : {3, 9}) {
        BITMAP* pMonster = Picture(pSprites, iId);
        ASSERT_NE(pMonster, nullptr) << "bitmap " << iId;
        const cDrawn MonsterArea = DrawnArea(pMonster);
        // A monster touches the ship once its top, where it is drawn from, enters the box; then
        // its lowest row has just reached the nose (give or take the 10 pixels it circles by).
        const int iLowest = kScreenH - pShip->h + 1 + MonsterArea.iBottom;
        EXPECT_GE(iLowest, iNose) << "bitmap " << iId;
        EXPECT_LE(iLowest, iNose + 10) << "bitmap " << iId;
        // A pie starts centred on the sprite's right edge half-way down: the monster's body
        // reaches under the pie there.
        const int iRow = pMonster->h / 2;
        bool bUnderPie = false;
        for (int y = iRow - pPie->h / 2; y < iRow + pPie->h / 2; ++y)
            for (int x = pMonster->w - pPie->w / 2; x < pMonster->w; ++x)
                bUnderPie |= getpixel(pMonster, x, y) != bitmap_mask_color(pMonster);
        EXPECT_TRUE(bUnderPie) << "bitmap " << iId;
    }
}

TEST_F(cDataFilesTest, FrameIsOpaqueAndLitFromTheTopLeft) {
    auto Piece = [&](int i) { return static_cast<BITMAP*>(pGui[i].dat); };
    // Nothing of the play field shows through a panel's frame.
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(MaskPixels(Piece(i)), 0) << "piece " << i;
    // Top and left edges in light, bottom and right edges in shadow.
    EXPECT_GT(Brightness(Piece(1)), Brightness(Piece(5)) + 60);
    EXPECT_GT(Brightness(Piece(7)), Brightness(Piece(3)) + 60);
    EXPECT_GT(Brightness(Piece(0)), Brightness(Piece(4)) + 60);
}

TEST_F(cDataFilesTest, PatchSetHoldsEveryInstrumentAndDrumOfTheTunes) {
    // The index pat2dat writes: instruments numbered from 1, then the drums by note in a block.
    std::map<int, std::string> mInstruments, mDrums;
    std::set<std::string> vPatches;
    for (DATAFILE* pObject : Objects(pPatches)) {
        const std::string sName = get_datafile_property(pObject, DAT_NAME);
        if (pObject->type == DAT_ID('P', 'A', 'T', ' '))
            vPatches.insert(sName);
        if (sName != "default_cfg")
            continue;
        std::istringstream Index(
            std::string(static_cast<const char*>(pObject->dat), pObject->size));
        bool bDrums = false;
        for (std::string sLine; std::getline(Index, sLine);) {
            std::istringstream Line(sLine);
            std::string sNumber, sPatch;
            Line >> sNumber >> sPatch;
            if (sPatch == "begin_multipatch")
                bDrums = true;
            else if (sNumber == "end_multipatch")
                bDrums = false;
            else if (!sNumber.empty() && std::isdigit(static_cast<unsigned char>(sNumber[0])))
                (bDrums ? mDrums[std::atoi(sNumber.c_str())]
                        : mInstruments[std::atoi(sNumber.c_str()) - 1]) = sPatch;
        }
    }
    for (DATAFILE* pObject : Objects(pMusic)) {
        const std::string sTune = get_datafile_property(pObject, DAT_NAME);
        const cSounds Sounds = SoundsOf(static_cast<MIDI*>(pObject->dat));
        EXPECT_FALSE(Sounds.vPrograms.empty()) << sTune;
        for (int iProgram : Sounds.vPrograms)
            EXPECT_TRUE(mInstruments.count(iProgram) && vPatches.count(mInstruments[iProgram]))
                << sTune << ": program " << iProgram;
        for (int iNote : Sounds.vDrums)
            EXPECT_TRUE(mDrums.count(iNote) && vPatches.count(mDrums[iNote]))
                << sTune << ": drum " << iNote;
    }
}
