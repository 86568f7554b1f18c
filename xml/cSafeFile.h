#pragma once

#include <cstddef>
#include <string>

// A file that the game reads and replaces without ever losing it, blocking on it or writing where
// it must not: only regular files are read or replaced, and no larger than kMaxSize; a link is
// followed only when it is the player's own; a replacement is complete on disk before it takes the
// old file's place; two games take turns through a lock on the folder; and a copy of what must not
// be lost is kept beside the file, at most kBackups of them.
//
// Every operation returns false on failure, with errno and sError telling why.
class cSafeFile {
public:
    static const std::size_t kMaxSize = 16 << 20;
    static const int kBackups = 10;

    explicit cSafeFile(std::string sFileName) : sName(std::move(sFileName)) {}
    // Releases the lock.
    ~cSafeFile();
    cSafeFile(const cSafeFile&) = delete;
    cSafeFile& operator=(const cSafeFile&) = delete;

    // The whole file; a missing one reads as empty. Never blocks, whatever the name leads to.
    bool Read(std::string& sText);
    // Takes the lock of the folder the file lies in, waiting a second at most for another game to
    // finish its save.
    bool Lock();
    // Replaces the file with the text: a link stays a link, the file keeps its permissions, and a
    // file the player made read-only is left alone, even by root.
    bool Replace(const std::string& sText);
    // Keeps the text in "NAME.bak" or "NAME.bak.N", readable by the player alone, unless a copy
    // holds it already; the oldest copy gives way to the new one. Copies that a killed save left
    // cut short or twice are removed.
    bool KeepCopy(const std::string& sText);

    // Why the last operation failed, as the player is told; empty after success.
    std::string sError;
    // The errno of the last failure.
    int iError = 0;
    // The last Read found no file.
    bool bMissing = false;

private:
    // The file a link chain ends in, in sTarget.
    bool Resolve();
    // Reads sFile, a file with no link in its own name, into the text.
    bool ReadFile(const std::string& sFile, std::string& sText);
    // Writes the text to a fresh file beside the target, named for the given suffix, and moves it
    // to sFinal. The fresh file gets the given permissions, or the target's when iMode is -1.
    bool WriteAndMove(const std::string& sSuffix, const std::string& sText, int iMode,
                      const std::string& sFinal);
    // An open descriptor of a new empty file NAME.SUFFIX beside the target, taking over a stale
    // one, or of a fresh name when that cannot be had; sTemporary names it.
    int CreateTemporary(const std::string& sSuffix, std::string& sTemporary);
    bool Fail(int iFailure, const std::string& sWhy = "");

    std::string sName;
    std::string sTarget;
    int iFolderLock = -1;
};
