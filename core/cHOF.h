#pragma once

#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/cHOFEntry.h"

// The hall of fame: the best ten, highest score first, as the file holds them, and the entries
// the game has added and not yet saved. A save merges those into what lies in the file at that
// moment, under the folder's lock, so that two games saving into one folder both keep their
// entries; a file the game would not have written so is copied aside first. An entry may name
// the file of its game's replay, which lies beside the hall of fame and goes when the entry
// leaves the ten; a missing or damaged replay file only means that the entry has none. An entry
// that could not be saved waits for the next try: the next list, the next game over, the end of the
// game.
//
// The operations may run on any thread: the last chance to save comes on whichever thread finds
// the display gone, while the main thread may be at work on the table.
class cHOF {
public:
    static const std::size_t kPlaces = 10;
    // The list shows "name: score" in a client area 290 pixels wide, from 5 pixels in: 35
    // characters of 8 pixels. With ": " and a score of up to seven digits, 26 are left.
    static const std::size_t kNameLength = 26;

    // Reloads the table from the file, with the entries not yet saved, which it tries to save
    // once more; true when the score earns a place.
    bool Load(int iScore);
    // True when the score earns a place: the table has room, or the score reaches the tenth.
    bool Qualifies(int iScore) const;
    // Enters the entry ahead of older ones with the same score; an eleventh drops out. The next
    // Save writes it, and the replay offered for its score with it.
    void Add(cHOFEntry entry);
    // The replay of the game just over, in a replay file's text: the entry next added with this
    // score, or saved for it at the end, keeps it in a file of its own beside the hall of fame.
    void OfferReplay(int iScore, const std::string& sText);
    // The path of the entry's replay file.
    std::string ReplayFile(const cHOFEntry& entry) const;
    // Merges the entries not yet saved into the file; on failure they wait, and sError says why.
    bool Save();
    // A score that may earn a place waits for its name, and the name typed for it so far; or it
    // waits no more: the player declined the place, or the score earned none.
    void AwaitName(int iScore);
    void SetTypedName(const std::string& sName);
    void DeclineName();
    // The last chance before the game ends: a score still waiting goes in under the name typed so
    // far, or "Player", if it earns a place in the file as it is then, and everything not yet
    // saved is saved; a file that would not change is not written. The table in memory stays as
    // it is, since the game may still be drawing it. False, with the reason, on failure.
    bool SaveBeforeExit(std::string& sWhy);

    std::vector<cHOFEntry> vEntries;
    std::string sFileName = "HallOfFame.xml";
    // Entries wait to be saved.
    bool bChanged = false;
    // Why the file could not be read or saved, as the player is told; empty when all went well.
    std::string sError;

private:
    // Saves the waiting entries; the mutex is held.
    bool SaveWaiting();
    // Locks the file, reads it, enters the new entries into its table and writes it back;
    // vMerged gets the table written, sWhy the reason of a failure. The replays of the new
    // entries that made the table are written first, and those of the entries that left it are
    // removed after, under the same lock.
    bool Merge(const std::vector<cHOFEntry>& vNew, std::vector<cHOFEntry>& vMerged,
               std::string& sWhy) const;
    // Writes the replays of the new entries that are in the table; an entry whose replay could
    // not be written goes in without one.
    void WriteReplays(const std::vector<cHOFEntry>& vNew, std::vector<cHOFEntry>& vMerged) const;
    // Removes the replay files that the entries of vBefore name and those of vAfter do not.
    void RemoveReplays(const std::vector<cHOFEntry>& vBefore,
                       const std::vector<cHOFEntry>& vAfter) const;
    // The entry with the offered replay, if the score is the one it was offered for.
    cHOFEntry WithReplay(cHOFEntry entry);

    std::vector<cHOFEntry> vWaiting;
    bool bAwaitingName = false;
    int iAwaitedScore = 0;
    std::string sTypedName;
    // The replay offered and its score; the texts of the replays of entries not yet saved, by
    // file name.
    std::string sOffered;
    int iOfferedScore = 0;
    std::map<std::string, std::string> mReplays;
    std::mutex Mutex;
};
