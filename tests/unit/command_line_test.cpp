#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "core/cCommandLine.h"

namespace {

struct cCase {
    std::vector<const char*> vArguments; // after the program's name
    bool bStart;
    int iExitStatus;
    const char* sOut; // a part of what goes to standard output ("" for nothing)
    const char* sErr; // a part of what goes to standard error ("" for nothing)
};

const cCase kCases[] = {
    {{}, true, 0, "", ""},
    {{"--help"}, false, 0, "Usage: zenith-guard [OPTION]", ""},
    {{"--version"}, false, 0, "zenith-guard " ZENITH_VERSION "\n", ""},
    {{"--helpme"}, false, 2, "", "zenith-guard: unknown option '--helpme'\n"},
    {{"level3"}, false, 2, "", "unexpected argument 'level3'"},
};

TEST(CommandLine, AnswersOrStartsAsAsked) {
    for (const cCase& c : kCases) {
        std::vector<const char*> vArgv{"zenith-guard"};
        vArgv.insert(vArgv.end(), c.vArguments.begin(), c.vArguments.end());
        std::ostringstream out, err;
        cCommandLine line;
        const bool bStart = line.Parse(int(vArgv.size()), vArgv.data(), out, err);

        const std::string sCase = vArgv.size() > 1 ? vArgv[1] : "(none)";
        EXPECT_EQ(bStart, c.bStart) << sCase;
        EXPECT_EQ(line.iExitStatus, c.iExitStatus) << sCase;
        EXPECT_EQ(out.str().empty(), *c.sOut == '\0') << sCase << ": " << out.str();
        EXPECT_NE(out.str().find(c.sOut), std::string::npos) << sCase << ": " << out.str();
        EXPECT_EQ(err.str().empty(), *c.sErr == '\0') << sCase << ": " << err.str();
        EXPECT_NE(err.str().find(c.sErr), std::string::npos) << sCase << ": " << err.str();
    }
}

// The help tells where the files are: the folder the game runs in, and the player's own folder
// that the installed command chooses.
TEST(CommandLine, HelpNamesTheKeysAndTheFiles) {
    const char* vArgv[] = {"zenith-guard", "--help"};
    std::ostringstream out, err;
    cCommandLine().Parse(2, vArgv, out, err);
    const std::string sHere = std::filesystem::current_path().string();
    for (const std::string& sPart :
         {std::string("Left, Right"), std::string("Escape"), "Files, in " + sHere + ":",
          std::string("HallOfFame.xml"), std::string("~/.local/share/zenith-guard")})
        EXPECT_NE(out.str().find(sPart), std::string::npos) << sPart;
}

} // namespace
