#include "core/cSettings.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "core/cGameInstance.h"

namespace {

const char* const kProgram = "zenith-guard";

// Keys by the names of Allegro's KEY_ constants.
#define KEY_NAME(sName)                                                                            \
    { #sName, KEY_##sName }
const struct {
    const char* sName;
    int iScanCode;
} kKeyNames[] = {
    KEY_NAME(A),         KEY_NAME(B),          KEY_NAME(C),         KEY_NAME(D),
    KEY_NAME(E),         KEY_NAME(F),          KEY_NAME(G),         KEY_NAME(H),
    KEY_NAME(I),         KEY_NAME(J),          KEY_NAME(K),         KEY_NAME(L),
    KEY_NAME(M),         KEY_NAME(N),          KEY_NAME(O),         KEY_NAME(P),
    KEY_NAME(Q),         KEY_NAME(R),          KEY_NAME(S),         KEY_NAME(T),
    KEY_NAME(U),         KEY_NAME(V),          KEY_NAME(W),         KEY_NAME(X),
    KEY_NAME(Y),         KEY_NAME(Z),          KEY_NAME(0),         KEY_NAME(1),
    KEY_NAME(2),         KEY_NAME(3),          KEY_NAME(4),         KEY_NAME(5),
    KEY_NAME(6),         KEY_NAME(7),          KEY_NAME(8),         KEY_NAME(9),
    KEY_NAME(0_PAD),     KEY_NAME(1_PAD),      KEY_NAME(2_PAD),     KEY_NAME(3_PAD),
    KEY_NAME(4_PAD),     KEY_NAME(5_PAD),      KEY_NAME(6_PAD),     KEY_NAME(7_PAD),
    KEY_NAME(8_PAD),     KEY_NAME(9_PAD),      KEY_NAME(F1),        KEY_NAME(F2),
    KEY_NAME(F3),        KEY_NAME(F4),         KEY_NAME(F5),        KEY_NAME(F6),
    KEY_NAME(F7),        KEY_NAME(F8),         KEY_NAME(F9),        KEY_NAME(F10),
    KEY_NAME(F11),       KEY_NAME(F12),        KEY_NAME(ESC),       KEY_NAME(TILDE),
    KEY_NAME(MINUS),     KEY_NAME(EQUALS),     KEY_NAME(BACKSPACE), KEY_NAME(TAB),
    KEY_NAME(OPENBRACE), KEY_NAME(CLOSEBRACE), KEY_NAME(ENTER),     KEY_NAME(COLON),
    KEY_NAME(QUOTE),     KEY_NAME(BACKSLASH),  KEY_NAME(COMMA),     KEY_NAME(STOP),
    KEY_NAME(SLASH),     KEY_NAME(SPACE),      KEY_NAME(INSERT),    KEY_NAME(DEL),
    KEY_NAME(HOME),      KEY_NAME(END),        KEY_NAME(PGUP),      KEY_NAME(PGDN),
    KEY_NAME(LEFT),      KEY_NAME(RIGHT),      KEY_NAME(UP),        KEY_NAME(DOWN),
    KEY_NAME(SLASH_PAD), KEY_NAME(ASTERISK),   KEY_NAME(MINUS_PAD), KEY_NAME(PLUS_PAD),
    KEY_NAME(DEL_PAD),   KEY_NAME(ENTER_PAD),  KEY_NAME(LSHIFT),    KEY_NAME(RSHIFT),
    KEY_NAME(LCONTROL),  KEY_NAME(RCONTROL),   KEY_NAME(ALT),       KEY_NAME(ALTGR),
    KEY_NAME(LWIN),      KEY_NAME(RWIN),       KEY_NAME(MENU),
};
#undef KEY_NAME

enum eKind { kPercent, kYesNo, kScale, kKeys, kButton };

// What a value of each kind must be, as the report of a bad one says.
const char* const kKindText[] = {
    "a whole number from 0 to 100", "yes or no", "auto or a whole number from 1 to 8",
    "key names such as LEFT, SPACE or A", "a button number from 0 to 31"};

// One setting: its name, its kind, and where its value is kept (a number, a flag or the keys of
// an action).
struct cEntry {
    const char* sName;
    eKind iKind;
    int& (*Number)(cSettings&) = nullptr;
    bool& (*Flag)(cSettings&) = nullptr;
    int iAction = 0;
};

const cEntry kEntries[] = {
    {"music_volume", kPercent, [](cSettings& s) -> int& { return s.iMusicVolume; }},
    {"effects_volume", kPercent, [](cSettings& s) -> int& { return s.iEffectsVolume; }},
    {"music_muted", kYesNo, nullptr, [](cSettings& s) -> bool& { return s.bMusicMuted; }},
    {"scale", kScale, [](cSettings& s) -> int& { return s.iScale; }},
    {"fullscreen", kYesNo, nullptr, [](cSettings& s) -> bool& { return s.bFullscreen; }},
    {"key_left", kKeys, nullptr, nullptr, kLeft},
    {"key_right", kKeys, nullptr, nullptr, kRight},
    {"key_up", kKeys, nullptr, nullptr, kUp},
    {"key_down", kKeys, nullptr, nullptr, kDown},
    {"key_fire", kKeys, nullptr, nullptr, kFire},
    {"key_confirm", kKeys, nullptr, nullptr, kConfirm},
    {"key_back", kKeys, nullptr, nullptr, kBack},
    {"key_pause", kKeys, nullptr, nullptr, kPause},
    {"key_mute", kKeys, nullptr, nullptr, kMute},
    {"pad_fire", kButton, [](cSettings& s) -> int& { return s.Bindings.iPadFire; }},
    {"pad_back", kButton, [](cSettings& s) -> int& { return s.Bindings.iPadBack; }},
    {"pad_pause", kButton, [](cSettings& s) -> int& { return s.Bindings.iPadPause; }},
};

const char* const kHeader =
    "# Zenith Guard's settings, written by the game when they change; edit them while it is not\n"
    "# running. Volumes go from 0 to 100; scale is auto or 1 to 8 screen pixels per game pixel;\n"
    "# keys are Allegro's key names (LEFT, SPACE, A, F1, ENTER_PAD, ...), several parted by\n"
    "# spaces; pad buttons are numbered from 0 (Start is 7 on Xbox pads, 9 on PlayStation ones).\n";

std::string Trim(const std::string& sText) {
    const std::size_t iFirst = sText.find_first_not_of(" \t\r");
    if (iFirst == std::string::npos)
        return "";
    return sText.substr(iFirst, sText.find_last_not_of(" \t\r") - iFirst + 1);
}

std::string Upper(std::string sText) {
    for (char& c : sText)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return sText;
}

bool ReadNumber(const std::string& sText, int iLow, int iHigh, int& iValue) {
    char* pEnd = nullptr;
    const long lValue = std::strtol(sText.c_str(), &pEnd, 10);
    if (sText.empty() || *pEnd != '\0' || !std::isdigit(static_cast<unsigned char>(sText[0])) ||
        lValue < iLow || lValue > iHigh)
        return false;
    iValue = static_cast<int>(lValue);
    return true;
}

bool ReadKeys(const std::string& sText, std::vector<int>& vKeys) {
    std::istringstream words(Upper(sText));
    std::vector<int> vRead;
    for (std::string sWord; words >> sWord;) {
        if (sWord.rfind("KEY_", 0) == 0)
            sWord.erase(0, 4);
        int iFound = 0;
        for (const auto& name : kKeyNames)
            if (sWord == name.sName)
                iFound = name.iScanCode;
        if (!iFound)
            return false;
        vRead.push_back(iFound);
    }
    if (vRead.empty())
        return false;
    vKeys = vRead;
    return true;
}

// Takes the text as the entry's value; false, leaving the value, when it is none of its kind.
bool Read(const cEntry& entry, cSettings& settings, const std::string& sText) {
    const std::string sWord = Upper(sText);
    switch (entry.iKind) {
    case kPercent:
        return ReadNumber(sText, 0, 100, entry.Number(settings));
    case kButton:
        return ReadNumber(sText, 0, MAX_JOYSTICK_BUTTONS - 1, entry.Number(settings));
    case kScale:
        if (sWord == "AUTO") {
            entry.Number(settings) = 0;
            return true;
        }
        return ReadNumber(sText, 1, kMaxScale, entry.Number(settings));
    case kYesNo: {
        const bool bYes = sWord == "YES" || sWord == "TRUE" || sWord == "ON" || sWord == "1";
        const bool bNo = sWord == "NO" || sWord == "FALSE" || sWord == "OFF" || sWord == "0";
        if (bYes || bNo)
            entry.Flag(settings) = bYes;
        return bYes || bNo;
    }
    case kKeys:
        return ReadKeys(sText, settings.Bindings.aKeys[entry.iAction]);
    }
    return false;
}

std::string Written(const cEntry& entry, const cSettings& settings) {
    cSettings& values = const_cast<cSettings&>(settings);
    switch (entry.iKind) {
    case kPercent:
    case kButton:
        return std::to_string(entry.Number(values));
    case kScale:
        return entry.Number(values) ? std::to_string(entry.Number(values)) : "auto";
    case kYesNo:
        return entry.Flag(values) ? "yes" : "no";
    case kKeys:
        break;
    }
    std::string sKeys;
    for (int iScanCode : settings.Bindings.aKeys[entry.iAction])
        for (const auto& name : kKeyNames)
            if (name.iScanCode == iScanCode)
                sKeys += (sKeys.empty() ? "" : " ") + std::string(name.sName);
    return sKeys;
}

// Puts the entry's default back.
void Reset(const cEntry& entry, cSettings& settings) {
    cSettings defaults;
    Read(entry, settings, Written(entry, defaults));
}

// The entry a line sets, or null; sValue gets its value and sComment what follows a #.
const cEntry* Parse(const std::string& sLine, std::string& sName, std::string& sValue,
                    std::string& sComment) {
    const std::size_t iHash = sLine.find('#');
    sComment = iHash == std::string::npos ? "" : sLine.substr(iHash);
    const std::string sSetting = sLine.substr(0, iHash);
    const std::size_t iEquals = sSetting.find('=');
    sName = Trim(sSetting.substr(0, iEquals));
    sValue = iEquals == std::string::npos ? "" : Trim(sSetting.substr(iEquals + 1));
    if (iEquals == std::string::npos)
        return nullptr;
    for (const cEntry& entry : kEntries)
        if (sName == entry.sName)
            return &entry;
    return nullptr;
}

// The folder and those above it that are missing, each for the player alone.
bool MakeFolders(const std::filesystem::path& folder) {
    std::filesystem::path made;
    for (const auto& part : folder) {
        made /= part;
        if (mkdir(made.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

// Writes the text to a new file in the folder, flushed to the disk, and renames it over the
// target, so that the target is always either the old file or the new one whole.
bool WriteWhole(const std::filesystem::path& target, const std::string& sText) {
    std::string sTemporary = target.string() + ".XXXXXX";
    const int iFile = mkstemp(sTemporary.data());
    if (iFile < 0)
        return false;
    bool bWritten = true;
    for (std::size_t iDone = 0; bWritten && iDone < sText.size();) {
        const ssize_t iWrote = write(iFile, sText.data() + iDone, sText.size() - iDone);
        bWritten = iWrote > 0;
        iDone += bWritten ? static_cast<std::size_t>(iWrote) : 0;
    }
    bWritten = bWritten && fsync(iFile) == 0;
    const int iError = errno;
    bWritten =
        close(iFile) == 0 && bWritten && std::rename(sTemporary.c_str(), target.c_str()) == 0;
    if (!bWritten) {
        const int iLastError = errno;
        unlink(sTemporary.c_str());
        errno = iError ? iError : iLastError;
        return false;
    }
    // The rename itself reaches the disk with the folder.
    const int iFolder = open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    if (iFolder >= 0) {
        fsync(iFolder);
        close(iFolder);
    }
    return true;
}

} // namespace

std::string cSettings::DefaultFile() {
    const char* sConfig = std::getenv("XDG_CONFIG_HOME");
    const char* sHome = std::getenv("HOME");
    // An empty or relative XDG_CONFIG_HOME is to be ignored.
    if (sConfig && sConfig[0] == '/')
        return std::string(sConfig) + "/zenith-guard/settings";
    if (sHome && sHome[0])
        return std::string(sHome) + "/.config/zenith-guard/settings";
    return "";
}

void cSettings::Load(const std::string& sNewFile, std::ostream& err) {
    sFile = sNewFile;
    vLines.clear();
    std::ifstream in(sFile);
    if (!in) {
        if (errno != ENOENT)
            err << kProgram << ": cannot read " << sFile << ": " << std::strerror(errno)
                << "; the defaults are used\n";
        return;
    }
    for (std::string sLine; std::getline(in, sLine);) {
        vLines.push_back(sLine);
        const std::string sWhere = sFile + ":" + std::to_string(vLines.size()) + ": ";
        std::string sName, sValue, sComment;
        const cEntry* pEntry = Parse(sLine, sName, sValue, sComment);
        if (pEntry && !Read(*pEntry, *this, sValue)) {
            Reset(*pEntry, *this);
            err << kProgram << ": " << sWhere << sName << " takes " << kKindText[pEntry->iKind]
                << ", not '" << sValue << "'; it is " << Written(*pEntry, *this) << '\n';
        } else if (!pEntry && !sName.empty()) {
            err << kProgram << ": " << sWhere << "unknown setting '" << Trim(sLine)
                << "', kept as it stands\n";
        }
    }
}

std::string cSettings::Text() const {
    std::string sText = vLines.empty() ? kHeader : "";
    bool aWritten[std::size(kEntries)] = {};
    for (const std::string& sLine : vLines) {
        std::string sName, sValue, sComment;
        const cEntry* pEntry = Parse(sLine, sName, sValue, sComment);
        if (!pEntry) {
            sText += sLine + '\n';
            continue;
        }
        aWritten[pEntry - kEntries] = true;
        sText += sName + " = " + Written(*pEntry, *this) + (sComment.empty() ? "" : " ") +
                 sComment + '\n';
    }
    for (const cEntry& entry : kEntries)
        if (!aWritten[&entry - kEntries])
            sText += std::string(entry.sName) + " = " + Written(entry, *this) + '\n';
    return sText;
}

bool cSettings::Save(std::ostream& err) const {
    if (sFile.empty())
        return false;
    // A link, as a collection of dotfiles makes, stays a link: the file it leads to is written.
    std::error_code error;
    std::filesystem::path target = std::filesystem::canonical(sFile, error);
    if (error)
        target = sFile;
    if (MakeFolders(target.parent_path()) && WriteWhole(target, Text()))
        return true;
    err << kProgram << ": cannot save the settings in " << sFile << ": " << std::strerror(errno)
        << '\n';
    return false;
}
