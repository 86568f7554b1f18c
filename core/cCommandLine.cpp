#include "core/cCommandLine.h"

#include <cstring>
#include <filesystem>
#include <iomanip>
#include <ostream>
#include <string>

namespace {

const char* const kProgram = "zenith-guard";
const int kUsageError = 2; // the status of a command line the program does not understand

// One option: its name, its line in the usage and what it does. Apply returns false when the
// program is to end after it.
struct cOption {
    const char* sName;
    const char* sHelp;
    bool (*Apply)(cCommandLine& line, std::ostream& out);
};

bool PrintHelp(cCommandLine& line, std::ostream& out);

bool PrintVersion(cCommandLine&, std::ostream& out) {
    out << kProgram << ' ' << ZENITH_VERSION << '\n';
    return false;
}

const cOption kOptions[] = {
    {"--help", "show this help and exit", PrintHelp},
    {"--version", "show the version and exit", PrintVersion},
};

// The game opens its files relative to the folder it starts in; the help names that folder.
std::string WorkingFolder() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    return error ? std::string("the folder the game starts in") : folder.string();
}

bool PrintHelp(cCommandLine&, std::ostream& out) {
    out << "Usage: " << kProgram << " [OPTION]\n"
        << "Zenith Guard, a fixed shooter: hold the bottom of the screen against the monsters.\n"
        << "\nOptions:\n";
    for (const cOption& option : kOptions)
        out << "  " << std::left << std::setw(13) << option.sName << option.sHelp << '\n';
    out << "\nKeys:\n"
           "  Left, Right  steer the ship\n"
           "  Space        fire, while the energy bar lasts\n"
           "  Escape       pause and open the menu; skip the intro and the credits\n"
           "  Up, Down     choose in the menu\n"
           "  Enter        carry out the choice; confirm your name\n"
           "  Backspace    correct the name you type for the hall of fame\n"
           "\nFiles, in "
        << WorkingFolder()
        << ":\n"
           "  data/           the pictures, sounds and music\n"
           "  credits.txt     the credits\n"
           "  HallOfFame.xml  the hall of fame, the ten best scores\n"
           "Installed, the zenith-guard command starts the game in $XDG_DATA_HOME/zenith-guard\n"
           "(by default ~/.local/share/zenith-guard), so that every player keeps a hall of fame\n"
           "of their own. Allegro reads its settings from allegro.cfg beside the program.\n";
    return false;
}

} // namespace

bool cCommandLine::Parse(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    for (int i = 1; i < argc; ++i) {
        const char* sArgument = argv[i];
        const cOption* pFound = nullptr;
        for (const cOption& option : kOptions)
            if (std::strcmp(sArgument, option.sName) == 0)
                pFound = &option;
        if (!pFound) {
            err << kProgram << ": "
                << (sArgument[0] == '-' ? "unknown option" : "unexpected argument") << " '"
                << sArgument << "'\nTry '" << kProgram << " --help' for more information.\n";
            iExitStatus = kUsageError;
            return false;
        }
        if (!pFound->Apply(*this, out)) {
            iExitStatus = 0;
            return false;
        }
    }
    return true;
}
