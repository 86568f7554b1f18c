#include <set>
#include <string>

#include "media/cBitmapDatabase.h"
#include "media/cMidiDatabase.h"
#include "media/cSoundDatabase.h"
#include "support/AllegroTest.h"

namespace {

DATAFILE* Load(const std::string& sPath) {
    DATAFILE* pData = load_datafile(sPath.c_str());
    EXPECT_NE(pData, nullptr) << sPath;
    return pData;
}

// The ids of the objects of one of the game's data files, each checked to be of the type.
std::multiset<int> Ids(const char* sName, int iType, int iProperty) {
    DATAFILE* pData = Load(GAME_DATA_DIR "/" + std::string(sName));
    std::multiset<int> vIds;
    for (DATAFILE* pObject = pData; pObject && pObject->type != DAT_END; ++pObject) {
        EXPECT_EQ(pObject->type, iType) << sName;
        vIds.insert(std::atoi(get_datafile_property(pObject, iProperty)));
    }
    unload_datafile(pData);
    return vIds;
}

class cMediaTest : public cAllegroTest {};

} // namespace

// Ids read like atoi (" 12abc", "12", none, "-3", "x5") and the first of equal ids wins.
TEST_F(cMediaTest, BitmapsAreFoundByTheirIdsInFileOrder) {
    DATAFILE* pData = Load(TEST_DATA_DIR "/bitmaps.dat");
    cBitmapDatabase bitmaps;
    bitmaps.BuildBitmaps(pData);
    ASSERT_EQ(bitmaps.vBitmaps.size(), 5u);
    for (auto [i, iId] : {std::pair{0, 12}, {1, 12}, {2, 0}, {3, -3}, {4, 0}})
        EXPECT_EQ(bitmaps.vBitmaps[i]->Id(), iId) << "object " << i;
    EXPECT_EQ(bitmaps.GetBitmap(12)->w, 150);
    EXPECT_EQ(bitmaps.GetBitmap(0), bitmaps.vBitmaps[2]->Data());
    EXPECT_EQ(bitmaps.GetBitmap(-3), bitmaps.vBitmaps[3]->Data());
    EXPECT_EQ(bitmaps.GetBitmap(5), nullptr);
    // The table owns the pictures now; only the rest of the file is left to free.
    for (DATAFILE* pObject = pData; pObject->type != DAT_END; ++pObject)
        pObject->dat = nullptr;
    unload_datafile(pData);

    cBitmapDatabase none;
    none.BuildBitmaps(Load(TEST_DATA_DIR "/empty.dat"));
    EXPECT_TRUE(none.vBitmaps.empty() && none.GetBitmap(0) == nullptr);
}

// Samples play at full volume; of two pieces of music with one id the later plays, and stopping
// twice is harmless. Ids that are not there play nothing.
TEST_F(cMediaTest, SoundsAndMusicPlayByTheirIds) {
    cSoundDatabase sounds;
    sounds.BuildSounds(Load(TEST_DATA_DIR "/sounds.dat"));
    ASSERT_EQ(sounds.vSounds.size(), 2u);
    EXPECT_EQ(sounds.vSounds[0]->GetID() + sounds.vSounds[1]->GetID(), 4);
    EXPECT_NE(sounds.vSounds[0]->pSample, sounds.vSounds[1]->pSample);
    EXPECT_EQ(sounds.iVolume, 128);
    sounds.PlaySound(2);
    sounds.PlaySound(9);

    cMidiDatabase midis;
    midis.BuildMidis(Load(TEST_DATA_DIR "/music.dat"));
    ASSERT_EQ(midis.vMidis.size(), 3u);
    midis.StopPlaying();
    for (auto [iId, iCurrent] : {std::pair{5, 2}, {7, 1}, {6, -1}, {5, 2}}) {
        midis.PlayMidi(iId);
        EXPECT_EQ(midis.pCurrent, iCurrent < 0 ? nullptr : midis.vMidis[iCurrent]) << iId;
    }
    for (int i = 0; i < 2; ++i) {
        midis.StopPlaying();
        EXPECT_EQ(midis.pCurrent, nullptr);
    }
    cSoundDatabase noSounds;
    noSounds.BuildSounds(Load(TEST_DATA_DIR "/empty.dat"));
    noSounds.PlaySound(0);
    EXPECT_TRUE(noSounds.vSounds.empty());
}

// What the build packs from assets/: every id the game asks for, and the eight frame pieces.
TEST_F(cMediaTest, TheGamesDataFilesHoldEveryIdItAsksFor) {
    EXPECT_EQ(Ids("sprites.dat", DAT_BITMAP, DAT_ID('B', 'M', 'P', 'I')),
              (std::multiset<int>{1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(Ids("samples.dat", DAT_SAMPLE, DAT_ID('S', 'M', 'I', 'D')),
              (std::multiset<int>{0, 1, 2}));
    EXPECT_EQ(Ids("midi.dat", DAT_MIDI, DAT_ID('M', 'D', 'I', 'D')),
              (std::multiset<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Ids("gui.dat", DAT_BITMAP, DAT_ID('N', 'A', 'M', 'E')).size(), 8u);
}
