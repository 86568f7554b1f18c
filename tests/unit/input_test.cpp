#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "core/cInputReader.h"
#include "support/GameTest.h"

namespace fs = std::filesystem;

namespace {

const unsigned L = ActionBit(kLeft), R = ActionBit(kRight), U = ActionBit(kUp),
               D = ActionBit(kDown), F = ActionBit(kFire), C = ActionBit(kConfirm),
               B = ActionBit(kBack), P = ActionBit(kPause), W = ActionBit(kFullscreen);

// A pad of iSticks sticks, iStick pushed iPush (1 left, 2 right, 3 up, 4 down), iButton down.
JOYSTICK_INFO Pad(int iSticks, int iStick, int iPush, int iButton) {
    JOYSTICK_INFO pad{0, iSticks, 11, {}, {}};
    JOYSTICK_AXIS_INFO& axis = pad.stick[iStick].axis[iPush > 2];
    (iPush % 2 ? axis.d1 : axis.d2) = iPush != 0;
    pad.button[std::max(iButton, 0)].b = iButton >= 0;
    return pad;
}

} // namespace

// Bound keys, the first stick, an eight-axis pad's d-pad, buttons; not Alt+Enter, nor a trigger.
TEST_F(cGameTest, TheSnapshotTakesTheBoundKeysAndThePad) {
    const struct {
        std::vector<int> vKeys;
        int iSticks, iStick, iPush, iButton;
        unsigned iHeld;
    } aCases[] = {
        {{KEY_LEFT, KEY_SPACE}, 0, 0, 0, -1, L | F},
        {{KEY_ALT, KEY_ENTER, KEY_ESC}, 0, 0, 0, -1, W | B},
        {{}, 1, 0, 2, -1, R},
        {{}, 4, 3, 3, 0, U | F | C},
        {{}, 3, 2, 1, -1, 0},
        {{KEY_P, KEY_F11}, 2, 0, 0, 7, P | W},
        {{KEY_A}, 1, 0, 4, 1, D | B | L},
    };
    game.pInput->Bindings.aKeys[kLeft] = {KEY_A, KEY_LEFT};
    for (const auto& Case : aCases) {
        for (int iKey : Case.vKeys)
            key[iKey] = 1;
        const JOYSTICK_INFO pad = Pad(Case.iSticks, Case.iStick, Case.iPush, Case.iButton);
        EXPECT_EQ(game.pInput->Sample(Case.iSticks ? &pad : nullptr, iTime).iHeld, Case.iHeld)
            << Case.iSticks << " sticks, " << Case.vKeys.size() << " keys";
        for (int iKey : Case.vKeys)
            key[iKey] = 0;
    }
}

// A press counts once; the pad types Up and Down again after 0.4 s, then every 0.12 s; A skips.
TEST_F(cGameTest, PressesComeOnceAndThePadsUpAndDownRepeat) {
    const JOYSTICK_INFO pad = Pad(1, 0, 3, 0);
    std::string sTyped;
    for (int iTick = 0; iTick <= 64; ++iTick) {
        const cInputState state = game.pInput->Sample(&pad, iTime + iTick);
        EXPECT_EQ(state.iPressed, iTick ? 0u : U | F | C);
        for (int i = 0; i < state.iTyped; ++i)
            sTyped += std::to_string(iTick + state.aTyped[i].iKey) + ":" +
                      std::to_string(state.aTyped[i].iActions) + " ";
    }
    EXPECT_EQ(sTyped, "0:" + std::to_string(U | F | C) + " 40:4 52:4 64:4 ");
    for (auto [iPush, iButton, bSkips] : {std::tuple{0, 0, false}, {3, -1, false}, {0, 0, true}}) {
        const JOYSTICK_INFO skip = Pad(1, 0, iPush, iButton);
        EXPECT_EQ(game.pInput->PadSkips(&skip), bSkips) << iPush << " " << iButton;
    }
    key[KEY_ALT] = 1;
    simulate_keypress(KEY_ENTER << 8 | '\r');
    EXPECT_EQ(game.pInput->Sample(nullptr, iTime).iTyped, 0);
    key[KEY_ALT] = 0;
}

// P pauses; M mutes and unmutes the music, remembered, but is a letter in the name entry.
TEST_F(cGameTest, PPausesAndMMutesTheMusicAndRemembersIt) {
    const auto Tap = [&](int iKey) {
        key[iKey] = 1;
        game.Update();
        key[iKey] = 0;
        game.Update();
    };
    game.Play();
    Tap(KEY_P);
    EXPECT_FALSE(game.IsPlaying());
    game.Settings.sFile = Scratch.sPath + "/config/zenith-guard/settings";
    for (const bool bMuted : {true, false}) {
        Tap(KEY_M);
        int iDigi = 0, iMidi = 0;
        get_volume(&iDigi, &iMidi);
        EXPECT_EQ(iMidi, bMuted ? 0 : cSettings::Volume(game.Settings.iMusicVolume));
        EXPECT_NE(FileText(game.Settings.sFile).find(bMuted ? "muted = yes\n" : "muted = no\n"),
                  std::string::npos);
    }
    game.pGui->SetActiveWindows({WND_HOFENTER});
    Tap(KEY_M);
    EXPECT_FALSE(game.Settings.bMusicMuted);
}

// The settings live in the user's configuration folder, and nowhere without a home.
TEST(Settings, LiveInTheUsersConfigurationFolder) {
    const std::string sHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    const struct {
        const char *sConfig, *sHome, *sFile;
    } aCases[] = {{"/c", "/h", "/c/zenith-guard/settings"},
                  {"c", "/h", "/h/.config/zenith-guard/settings"},
                  {nullptr, "", ""},
                  {"", nullptr, ""}};
    for (const auto& Case : aCases) {
        for (auto [sName, sValue] :
             {std::pair{"XDG_CONFIG_HOME", Case.sConfig}, {"HOME", Case.sHome}})
            sValue ? setenv(sName, sValue, 1) : unsetenv(sName);
        EXPECT_EQ(cSettings::DefaultFile(), Case.sFile) << (Case.sConfig ? Case.sConfig : "unset");
    }
    setenv("HOME", sHome.c_str(), 1);
}

// Every line kept in place, a bad one reported and defaulted, missing ones added, folders private.
TEST(Settings, ReadWhatTheyCanAndWriteBackEveryLine) {
    const struct {
        const char *sLine, *sWritten, *sReport;
    } aCases[] = {
        {"# mine", "# mine", nullptr},
        {"music_volume = 101", "music_volume = 31",
         ":2: music_volume takes a whole number from 0 to 100, not '101'; it is 31"},
        {"effects_volume=7 # quiet", "effects_volume = 7 # quiet", nullptr},
        {"scale = 9", "scale = auto",
         ":4: scale takes auto or a whole number from 1 to 8, not '9'; it is auto"},
        {"key_left = a key_left", "key_left = A LEFT", nullptr},
        {"key_fire = FOO", "key_fire = SPACE",
         ":6: key_fire takes key names such as LEFT, SPACE or A, not 'FOO'; it is SPACE"},
        {"future = 1", "future = 1", ":7: unknown setting 'future = 1', kept as it stands"},
    };
    const fs::path folder =
        fs::temp_directory_path() / ("zenith-settings-" + std::to_string(getpid()));
    fs::create_directories(folder);
    std::string sFile, sWritten, sReports;
    for (const auto& Case : aCases) {
        sFile += std::string(Case.sLine) + "\n";
        sWritten += std::string(Case.sWritten) + "\n";
        if (Case.sReport)
            sReports += "zenith-guard: " + (folder / "settings").string() + Case.sReport + "\n";
    }
    std::ofstream(folder / "settings") << sFile;
    cSettings settings;
    std::ostringstream err;
    settings.Load((folder / "settings").string(), err);
    EXPECT_EQ(err.str(), sReports);

    settings.sFile = (folder / "a/b/settings").string();
    ASSERT_TRUE(settings.Save(err));
    EXPECT_EQ(FileText(settings.sFile),
              sWritten + "music_muted = no\nfullscreen = no\nkey_right = RIGHT\nkey_up = UP\n"
                         "key_down = DOWN\nkey_confirm = ENTER\nkey_back = ESC\n"
                         "key_pause = P\nkey_mute = M\npad_fire = 0\npad_back = 1\n"
                         "pad_pause = 7\n");
    for (const char* sMade : {"a", "a/b"})
        EXPECT_EQ(fs::status(folder / sMade).permissions(), fs::perms::owner_all) << sMade;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "a/b"), {}), 1);
    fs::remove_all(folder);
}
