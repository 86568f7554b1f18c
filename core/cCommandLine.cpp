#include "core/cCommandLine.h"

#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <ostream>
#include <string>

#include "core/cGameInstance.h"
#include "core/cSettings.h"

namespace {

const char* const kProgram = "zenith-guard";
const int kUsageError = 2; // the status of a command line the program does not understand

// One option: its name, the name of the value that follows it (or null), its line in the usage and
// what it does. Apply gets the value and returns false when the program is to end after it.
struct cOption {
    const char* sName;
    const char* sValue;
    const char* sHelp;
    bool (*Apply)(cCommandLine& line, const char* sValue, std::ostream& out, std::ostream& err);
};

bool PrintHelp(cCommandLine& line, const char*, std::ostream& out, std::ostream&);

bool PrintVersion(cCommandLine&, const char*, std::ostream& out, std::ostream&) {
    out << kProgram << ' ' << ZENITH_VERSION << '\n';
    return false;
}

bool SetScale(cCommandLine& line, const char* sValue, std::ostream&, std::ostream& err) {
    char* pEnd = nullptr;
    const long lScale = std::strtol(sValue, &pEnd, 10);
    if (*sValue == '\0' || *pEnd != '\0' || lScale < 1 || lScale > kMaxScale)
        return line.Refuse(err, std::string("--scale needs a whole number from 1 to ") +
                                    std::to_string(kMaxScale) + ", not '" + sValue + "'");
    line.iScale = static_cast<int>(lScale);
    return true;
}

// The file is read before the game starts: a replay that cannot be played opens no window.
bool SetReplay(cCommandLine& line, const char* sValue, std::ostream&, std::ostream& err) {
    if (*sValue == '\0')
        return line.Refuse(err, "--replay needs the name of a replay file");
    std::string sWhy;
    if (!line.Replay.Load(sValue, sWhy)) {
        err << kProgram << ": " << sValue << ": " << sWhy << '\n';
        line.iExitStatus = EXIT_FAILURE;
        return false;
    }
    line.sReplay = sValue;
    return true;
}

const cOption kOptions[] = {
    {"--help", nullptr, "show this help and exit", PrintHelp},
    {"--version", nullptr, "show the version and exit", PrintVersion},
    {"--scale", "N",
     "show each game pixel as N by N screen pixels, 1 to 8 (by default the\n"
     "                 scale of the settings or of allegro.cfg, or the most that fits the\n"
     "                 screen; a window larger than the screen is brought down to fit)",
     SetScale},
    {"--replay", "FILE",
     "play the recorded game in FILE, then exit; any key ends it sooner (the\n"
     "                 hall of fame keeps a replay of each of its games, see Files)",
     SetReplay},
};

// The game opens its files relative to the folder it starts in; the help names that folder.
std::string WorkingFolder() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    return error ? std::string("the folder the game starts in") : folder.string();
}

bool PrintHelp(cCommandLine&, const char*, std::ostream& out, std::ostream&) {
    out << "Usage: " << kProgram << " [OPTION]...\n"
        << "Zenith Guard, a fixed shooter: hold the bottom of the screen against the monsters.\n"
        << "\nOptions:\n";
    for (const cOption& option : kOptions)
        out << "  " << std::left << std::setw(15)
            << std::string(option.sName) + (option.sValue ? std::string(" ") + option.sValue : "")
            << option.sHelp << '\n';
    const std::string sSettings = cSettings::DefaultFile();
    out << "\nKeys (those of play can be changed in the settings):\n"
           "  Left, Right     steer the ship\n"
           "  Space           fire, while the energy bar lasts\n"
           "  Escape, P       pause and open the menu, and resume from it; Escape skips the\n"
           "                  intro and the credits, and leaves the name entry without one\n"
           "  Up, Down        choose in the menu\n"
           "  Enter           carry out the choice; confirm your name\n"
           "  Backspace       correct the name you type for the hall of fame\n"
           "  M               mute the music, or let it play again\n"
           "  F11, Alt+Enter  show the game on the whole screen, or in its window again\n"
           "\nGamepad: the stick or the d-pad steers and chooses, A fires and confirms, B goes\n"
           "back, Start pauses; B and Start resume, A, B and Start skip the intro and the\n"
           "credits. For your name, Up and Down pick a letter, A adds it, B takes one back\n"
           "and Start enters it.\n"
           "\nSettings, in "
        << (sSettings.empty() ? "$XDG_CONFIG_HOME/zenith-guard/settings" : sSettings)
        << ":\n"
           "  the volumes of the music and the effects, the scale, fullscreen, the keys\n"
           "  and the pad's buttons; the game writes them when M or F11 changes them.\n"
           "\nFiles, in "
        << WorkingFolder()
        << ":\n"
           "  data/           the pictures, sounds and music\n"
           "  credits.txt     the credits\n"
           "  HallOfFame.xml  the hall of fame, the ten best scores; HallOfFame.xml.bak and\n"
           "                  .bak.1 to .bak.9 keep copies of files the game did not write\n"
           "  replay-*.zgr    the replay of each game in the hall of fame, watched from its\n"
           "                  list (Up, Down, Enter); the menu left alone for 30 seconds\n"
           "                  plays the best one, or data/demo.zgr\n"
           "Installed, the zenith-guard command starts the game in $XDG_DATA_HOME/zenith-guard\n"
           "(by default ~/.local/share/zenith-guard), so that every player keeps a hall of fame\n"
           "of their own. Allegro reads its settings from allegro.cfg beside the program.\n";
    return false;
}

} // namespace

// A mistake ends the program with the reason and a pointer to the help.
bool cCommandLine::Refuse(std::ostream& err, const std::string& sReason) {
    err << kProgram << ": " << sReason << "\nTry '" << kProgram
        << " --help' for more information.\n";
    iExitStatus = kUsageError;
    return false;
}

bool cCommandLine::Parse(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    for (int i = 1; i < argc; ++i) {
        const std::string sArgument = argv[i];
        const cOption* pFound = nullptr;
        for (const cOption& option : kOptions)
            if (sArgument == option.sName)
                pFound = &option;
        if (!pFound)
            return Refuse(err,
                          (sArgument[0] == '-' ? "unknown option '" : "unexpected argument '") +
                              sArgument + "'");
        const char* sValue = pFound->sValue && i + 1 < argc ? argv[++i] : "";
        if (!pFound->Apply(*this, sValue, out, err))
            return false;
    }
    return true;
}
