#include <array>
#include <string>

#include "media/cBitmapDatabase.h"
#include "media/cMidiDatabase.h"
#include "media/cSoundDatabase.h"
#include "support/AllegroTest.h"

namespace {

// A data file made in memory, an object for each id (null: none); the tables must not unload it.
class cMemoryFile {
public:
    cMemoryFile(int iProperty, std::vector<const char*> vIds, void* (*pMake)()) {
        for (const char* sId : vIds)
            vProperties.push_back({{{const_cast<char*>(sId), sId ? iProperty : DAT_END}, {}}});
        for (auto& aProperties : vProperties) {
            aProperties[1].type = DAT_END;
            vObjects.push_back({pMake(), 0, 0, aProperties.data()});
        }
        vObjects.push_back({nullptr, DAT_END, 0, nullptr});
    }
    DATAFILE* Data() { return vObjects.data(); }

private:
    std::vector<std::array<DATAFILE_PROPERTY, 2>> vProperties;
    std::vector<DATAFILE> vObjects;
};

class cMediaTest : public cAllegroTest {};

} // namespace

// Ids read like atoi, a missing one as 0, and of equal ids the first in the file wins.
TEST_F(cMediaTest, BitmapsAreFoundByTheirIdsInFileOrder) {
    cMemoryFile file(DAT_ID('B', 'M', 'P', 'I'), {" 12abc", "12", nullptr, "-3", "x5"},
                     [] { return static_cast<void*>(create_bitmap(4, 4)); });
    cBitmapDatabase bitmaps;
    bitmaps.BuildBitmaps(file.Data());
    ASSERT_EQ(bitmaps.vBitmaps.size(), 5u);
    for (auto [i, iId] : {std::pair{0, 12}, {1, 12}, {2, 0}, {3, -3}, {4, 0}}) {
        EXPECT_EQ(bitmaps.vBitmaps[i]->Id(), iId) << "object " << i;
        EXPECT_EQ(bitmaps.vBitmaps[i]->Data(), file.Data()[i].dat);
    }
    EXPECT_EQ(bitmaps.GetBitmap(12), file.Data()[0].dat);
    EXPECT_EQ(bitmaps.GetBitmap(-3), file.Data()[3].dat);
    EXPECT_EQ(bitmaps.GetBitmap(5), nullptr);
    cBitmapDatabase none;
    none.BuildBitmaps(cMemoryFile(0, {}, nullptr).Data());
    EXPECT_TRUE(none.vBitmaps.empty() && none.GetBitmap(0) == nullptr);
}

// Of two pieces with one id the later plays; an unknown id stops the music, harmlessly twice.
TEST_F(cMediaTest, MusicPlaysByItsId) {
    cMemoryFile music(DAT_ID('M', 'D', 'I', 'D'), {"5", "7", "5"}, [] { return (void*)nullptr; });
    cMidiDatabase midis;
    midis.BuildMidis(music.Data());
    midis.pDatafile = nullptr;
    midis.StopPlaying();
    for (auto [iId, iCurrent] : {std::pair{5, 2}, {7, 1}, {6, -1}, {5, 2}}) {
        midis.PlayMidi(iId);
        EXPECT_EQ(midis.pCurrent, iCurrent < 0 ? nullptr : midis.vMidis.at(iCurrent)) << iId;
    }
    for (int i = 0; i < 2; ++i) {
        midis.StopPlaying();
        EXPECT_EQ(midis.pCurrent, nullptr);
    }
}
