#include <string>

#include "gui/cGuiSystem.h"
#include "support/AllegroTest.h"

namespace {

class cGuiElementsTest : public cAllegroTest {};

} // namespace

TEST_F(cGuiElementsTest, OnlyAFileWithTheEightFramePiecesIsTaken) {
    cGuiSystem gui;
    EXPECT_FALSE(gui.LoadElements("no-such-file.dat"));
    // Five pictures, then samples: the windows would read past the pieces there are.
    EXPECT_FALSE(gui.LoadElements(TEST_DATA_DIR "/bitmaps.dat"));
    EXPECT_FALSE(gui.LoadElements(TEST_DATA_DIR "/sounds.dat"));
    EXPECT_EQ(gui.pElements, nullptr);

    EXPECT_TRUE(gui.LoadElements(GAME_DATA_DIR "/gui.dat"));
    EXPECT_NE(gui.pElements, nullptr);
}
