#pragma once

#include <cstddef>
#include <string>
#include <vector>

// A game as it was played, enough to play it again exactly: the logic runs in fixed steps on the
// clock, rand() and the step's input, so the game is its seed and what carried over into it from
// before (the weapon energy and the last shot, the monsters' step count), and per playing step the
// clock's advance since the step before and the input that play reads, and after a pause when the
// player's controller last ran in the menu. The final score, level and
// number of steps tell whether a replay went the same way.
//
// On disk a replay is a small text file: a magic line with the format's version, "key value"
// lines, then the steps as runs, and a last line "end". Reading trusts nothing in the file: any
// bytes give a replay or a reason.
class cReplay {
public:
    // The input of a step, as bits.
    static constexpr unsigned kLeft = 1;
    static constexpr unsigned kRight = 2;
    static constexpr unsigned kFire = 4;
    // Play was paused in this step (Escape, P or the window losing the keyboard).
    static constexpr unsigned kPause = 8;
    static constexpr unsigned kInputs = 16;
    // A file larger than this, or with more steps (eight hours of play), is no replay.
    static constexpr std::size_t kMaxSize = 4 << 20;
    static constexpr int kMaxSteps = 120 * 3600 * 8;
    // The largest advance of the clock in one step: a pause of a day.
    static constexpr int kMaxAdvance = 100 * 3600 * 24;

    // The step after the last: iAdvance hundredths of a second after it, with the input's bits.
    // iGap, when not -1, tells that the game was paused before the step and the player's
    // controller last ran iGap hundredths of a second before it, in the menu.
    void AddStep(int iAdvance, unsigned iInput, int iGap = -1);
    int Steps() const { return static_cast<int>(vSteps.size()); }
    int Advance(int iStep) const { return vSteps[iStep].iAdvance; }
    unsigned Input(int iStep) const { return vSteps[iStep].iInput; }
    int Gap(int iStep) const { return vSteps[iStep].iGap; }

    // The file's text.
    std::string Text() const;
    // Takes the replay from a file's text; false, with the reason in sWhy, when it is none.
    bool Parse(const std::string& sText, std::string& sWhy);
    // Reads or writes a file through the game's safe file module (a write replaces the file
    // whole, or leaves it as it was).
    bool Load(const std::string& sFile, std::string& sWhy);
    bool Save(const std::string& sFile, std::string& sWhy) const;

    // The seed rand() started the game with, and the state carried over into it: the energy,
    // the last shot and the last input step relative to the game's start, and the monsters'
    // steps granted in the running period.
    unsigned iSeed = 0;
    int iEnergy = 0;
    int iLastFire = 0;
    int iLastTime = 0;
    int iMoveCount = 0;
    // How the game ended.
    int iScore = 0;
    int iLevel = 1;

private:
    struct cStep {
        int iAdvance;
        unsigned iInput;
        int iGap;
        bool operator==(const cStep& other) const {
            return iAdvance == other.iAdvance && iInput == other.iInput && iGap == other.iGap;
        }
    };
    bool ParseSteps(const std::string& sData, int iSteps, std::string& sWhy);

    std::vector<cStep> vSteps;
};
