#include <string>

#include "media/cBitmapDatabase.h"
#include "media/cMidiDatabase.h"
#include "media/cSoundDatabase.h"
#include "support/AllegroTest.h"

namespace {

DATAFILE* LoadTestData(const char* sName) {
    DATAFILE* pData = load_datafile((std::string(TEST_DATA_DIR) + "/" + sName).c_str());
    EXPECT_NE(pData, nullptr) << sName;
    return pData;
}

class cMediaTest : public cAllegroTest {};

} // namespace

TEST_F(cMediaTest, BitmapIdsReadLikeAtoiAndTheFirstMatchWins) {
    DATAFILE* pData = LoadTestData("bitmaps.dat");
    cBitmapDatabase bitmaps;
    bitmaps.BuildBitmaps(pData);

    // " 12abc", "12", no property, "-3", "x5"
    ASSERT_EQ(bitmaps.vBitmaps.size(), 5u);
    const int aExpected[] = {12, 12, 0, -3, 0};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(bitmaps.vBitmaps[i]->Id(), aExpected[i]) << "object " << i;

    BITMAP* pTwelve = bitmaps.GetBitmap(12);
    ASSERT_NE(pTwelve, nullptr);
    EXPECT_EQ(pTwelve, bitmaps.vBitmaps[0]->Data());
    EXPECT_EQ(pTwelve->w, 150);
    EXPECT_EQ(getpixel(pTwelve, 0, 0), makecol(255, 0, 0));
    EXPECT_EQ(bitmaps.GetBitmap(0), bitmaps.vBitmaps[2]->Data());
    EXPECT_EQ(bitmaps.GetBitmap(-3), bitmaps.vBitmaps[3]->Data());
    EXPECT_EQ(bitmaps.GetBitmap(5), nullptr);
    // The table owns the pictures now; only the rest of the file is left to free.
    for (DATAFILE* pObject = pData; pObject->type != DAT_END; ++pObject)
        pObject->dat = nullptr;
    unload_datafile(pData);
}

TEST_F(cMediaTest, AFileWithoutObjectsGivesEmptyTablesThatMissEveryLookup) {
    DATAFILE* pBitmapData = LoadTestData("empty.dat");
    ASSERT_EQ(pBitmapData[0].type, DAT_END);
    cBitmapDatabase bitmaps;
    bitmaps.BuildBitmaps(pBitmapData);
    EXPECT_TRUE(bitmaps.vBitmaps.empty());
    EXPECT_EQ(bitmaps.GetBitmap(0), nullptr);
    unload_datafile(pBitmapData);

    cSoundDatabase sounds;
    sounds.BuildSounds(LoadTestData("empty.dat"));
    EXPECT_TRUE(sounds.vSounds.empty());
    sounds.PlaySound(0);

    cMidiDatabase midis;
    midis.BuildMidis(LoadTestData("empty.dat"));
    EXPECT_TRUE(midis.vMidis.empty());
    midis.PlayMidi(0);
    EXPECT_EQ(midis.pCurrent, nullptr);
}

TEST_F(cMediaTest, SoundsKeepFileOrderAndUnknownIdsPlayNothing) {
    cSoundDatabase sounds;
    sounds.BuildSounds(LoadTestData("sounds.dat"));
    ASSERT_EQ(sounds.vSounds.size(), 2u);
    EXPECT_EQ(sounds.vSounds[0]->GetID(), 2);
    EXPECT_EQ(sounds.vSounds[1]->GetID(), 2);
    EXPECT_NE(sounds.vSounds[0]->pSample, sounds.vSounds[1]->pSample);
    EXPECT_EQ(sounds.iVolume, 128);
    sounds.PlaySound(2);
    sounds.PlaySound(9);
}

TEST_F(cMediaTest, OfTwoPiecesWithOneIdTheLaterStaysCurrentAndStoppingIsHarmless) {
    cMidiDatabase midis;
    midis.BuildMidis(LoadTestData("music.dat"));
    ASSERT_EQ(midis.vMidis.size(), 3u);
    EXPECT_EQ(midis.vMidis[1]->GetID(), 7);
    midis.StopPlaying();

    midis.PlayMidi(5);
    EXPECT_EQ(midis.pCurrent, midis.vMidis[2]);
    midis.PlayMidi(7);
    EXPECT_EQ(midis.pCurrent, midis.vMidis[1]);
    midis.PlayMidi(6);
    EXPECT_EQ(midis.pCurrent, nullptr);
    midis.PlayMidi(7);
    for (int i = 0; i < 2; ++i) {
        midis.StopPlaying();
        EXPECT_EQ(midis.pCurrent, nullptr);
    }
}
