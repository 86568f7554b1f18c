#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "core/cBindings.h"

// The player's settings, kept in the text file "settings" of the game's configuration folder:
// lines "name = value", comments after #. A value the game cannot take is reported and replaced by
// its default; lines it does not know are kept as they stand when it writes the file back.
class cSettings {
public:
    // $XDG_CONFIG_HOME/zenith-guard/settings, by default under ~/.config; empty when neither
    // tells a place.
    static std::string DefaultFile();
    // Allegro's volume, 0 to 255, for a share of 0 to 100.
    static int Volume(int iPercent) { return (iPercent * 255 + 50) / 100; }

    // Reads sNewFile, which later saves write; a missing file leaves every default. Whatever is
    // wrong goes to err, a line at a time with its number.
    void Load(const std::string& sNewFile, std::ostream& err);
    // Writes the file at once in full or not at all (a new file beside it, renamed over it), in a
    // folder made for the player alone if it is missing. False, with the reason on err, when that
    // failed; false too when there is no file to write.
    bool Save(std::ostream& err) const;

    int iMusicVolume = 31; // percent: Allegro's 79, well below the hits and the shots
    int iEffectsVolume = 50;
    bool bMusicMuted = false;
    // Screen pixels per game pixel, 1 to 8; 0 when not chosen here.
    int iScale = 0;
    bool bFullscreen = false;
    cBindings Bindings;

    std::string sFile;
    // The file's lines as read, for writing it back.
    std::vector<std::string> vLines;

private:
    // The file's text with the values as they are now.
    std::string Text() const;
};
