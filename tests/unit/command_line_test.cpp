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
    std::string sOut; // a part of what goes to standard output ("" for nothing)
    const char* sErr; // a part of what goes to standard error ("" for nothing)
};

const cCase kCases[] = {
    {{}, true, 0, "", ""},
    // The help names the folder where the game keeps its files: the one it starts in.
    {{"--help"}, false, 0, "Files, in " + std::filesystem::current_path().string() + ":\n", ""},
    {{"--version"}, false, 0, "zenith-guard " ZENITH_VERSION "\n", ""},
    {{"--helpme"}, false, 2, "", "zenith-guard: unknown option '--helpme'\n"},
    {{"level3"}, false, 2, "", "unexpected argument 'level3'"},
    {{"--scale", "3"}, true, 0, "", ""},
    {{"--scale", "9"}, false, 2, "", "--scale needs a whole number from 1 to 8, not '9'"},
    {{"--scale", "2x"}, false, 2, "", "not '2x'"},
    {{"--scale"}, false, 2, "", "not ''"},
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
        EXPECT_EQ(line.iScale, c.bStart && vArgv.size() > 2 ? 3 : 0) << sCase;
        EXPECT_EQ(out.str().empty(), c.sOut.empty()) << sCase << ": " << out.str();
        EXPECT_NE(out.str().find(c.sOut), std::string::npos) << sCase << ": " << out.str();
        EXPECT_EQ(err.str().empty(), *c.sErr == '\0') << sCase << ": " << err.str();
        EXPECT_NE(err.str().find(c.sErr), std::string::npos) << sCase << ": " << err.str();
    }
}

} // namespace
