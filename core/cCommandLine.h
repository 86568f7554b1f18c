#pragma once

#include <iosfwd>
#include <string>

#include "core/cReplay.h"

// What the player asks for on the command line. It is read before Allegro starts, so that a
// question (--help, --version) or a mistyped option is answered on the terminal and never opens a
// window.
class cCommandLine {
public:
    // Reads the arguments that follow the program's name. True when the game is to start; false
    // when the program is to end at once with iExitStatus: 0 after an answer on out, 2 after a
    // mistake reported on err, 1 after a replay that could not be read.
    bool Parse(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
    // Ends the program with status 2 after telling err what is wrong; returns false.
    bool Refuse(std::ostream& err, const std::string& sReason);

    int iExitStatus = 0;
    // Screen pixels per game pixel asked for with --scale; 0 when not asked.
    int iScale = 0;
    // The replay file to play with --replay, empty when not asked, and the replay it holds.
    std::string sReplay;
    cReplay Replay;
};
