#include "xml/cSafeFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>
#include <vector>

namespace {

const int kLockTries = 100;           // a hundredth of a second apart
const int kLinkHops = 40;             // as many as the system itself follows
const char* const kTemporary = "tmp"; // the suffixes of the files a save and a copy are made in
const char* const kCopyTemporary = "bak.tmp";

std::string FolderOf(const std::string& sPath) {
    const std::size_t iSlash = sPath.rfind('/');
    return iSlash == std::string::npos ? "." : iSlash == 0 ? "/" : sPath.substr(0, iSlash);
}

std::string NameOf(const std::string& sPath) {
    const std::size_t iSlash = sPath.rfind('/');
    return iSlash == std::string::npos ? sPath : sPath.substr(iSlash + 1);
}

// "NAME.bak", or "NAME.bak." and a number.
bool IsCopyName(const std::string& sFile, const std::string& sBase) {
    const std::string sCopy = sBase + ".bak";
    if (sFile == sCopy)
        return true;
    if (sFile.size() <= sCopy.size() + 1 || sFile.compare(0, sCopy.size() + 1, sCopy + ".") != 0)
        return false;
    return std::all_of(sFile.begin() + sCopy.size() + 1, sFile.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

std::string CopyName(const std::string& sTarget, int i) {
    return sTarget + ".bak" + (i > 0 ? "." + std::to_string(i) : "");
}

bool WriteAll(int iFile, const std::string& sText) {
    std::size_t iDone = 0;
    while (iDone < sText.size()) {
        const ssize_t iWritten = write(iFile, sText.data() + iDone, sText.size() - iDone);
        if (iWritten < 0 && errno == EINTR)
            continue;
        if (iWritten <= 0)
            return false;
        iDone += static_cast<std::size_t>(iWritten);
    }
    return true;
}

// Makes the rename itself survive a power cut; the new file is complete either way.
void SyncFolder(const std::string& sPath) {
    const int iFolder = open(FolderOf(sPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (iFolder < 0)
        return;
    fsync(iFolder);
    close(iFolder);
}

bool Older(const struct stat& a, const struct stat& b) {
    return a.st_mtim.tv_sec != b.st_mtim.tv_sec ? a.st_mtim.tv_sec < b.st_mtim.tv_sec
                                                : a.st_mtim.tv_nsec < b.st_mtim.tv_nsec;
}

} // namespace

cSafeFile::~cSafeFile() {
    if (iFolderLock >= 0)
        close(iFolderLock);
}

bool cSafeFile::Fail(int iFailure, const std::string& sWhy) {
    sError = sWhy.empty() ? std::strerror(iFailure) : sWhy;
    iError = iFailure;
    errno = iFailure;
    return false;
}

// Another user's link could lead the game to overwrite, or copy aside, any file of the player's.
bool cSafeFile::Resolve() {
    std::string sPath = sName;
    for (int iHop = 0; iHop < kLinkHops; ++iHop) {
        struct stat Status;
        const bool bThere = lstat(sPath.c_str(), &Status) == 0;
        if (!bThere && errno != ENOENT)
            return Fail(errno);
        if (!bThere || !S_ISLNK(Status.st_mode)) {
            sTarget = sPath;
            return true;
        }
        if (Status.st_uid != geteuid())
            return Fail(EPERM, "a link of another user");
        char aLink[PATH_MAX];
        const ssize_t iLength = readlink(sPath.c_str(), aLink, sizeof aLink);
        if (iLength < 0)
            return Fail(errno);
        const std::string sLink(aLink, static_cast<std::size_t>(iLength));
        sPath = sLink[0] == '/' ? sLink : FolderOf(sPath) + "/" + sLink;
    }
    return Fail(ELOOP);
}

bool cSafeFile::Read(std::string& sText) {
    sError.clear();
    return Resolve() && ReadFile(sTarget, sText);
}

// A FIFO or a device is refused before it is opened, and opened without waiting should it take
// the file's place in between; a file that grows while it is read is cut at the limit.
bool cSafeFile::ReadFile(const std::string& sFile, std::string& sText) {
    sText.clear();
    struct stat Status;
    bMissing = lstat(sFile.c_str(), &Status) != 0 && errno == ENOENT;
    if (bMissing)
        return true;
    if (lstat(sFile.c_str(), &Status) != 0)
        return Fail(errno);
    if (S_ISDIR(Status.st_mode))
        return Fail(EISDIR);
    if (!S_ISREG(Status.st_mode))
        return Fail(EINVAL, "not a regular file");
    const int iFile = open(sFile.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (iFile < 0)
        return Fail(errno);
    bool bRead = fstat(iFile, &Status) == 0 && S_ISREG(Status.st_mode);
    int iError = bRead ? 0 : EINVAL;
    char aBuffer[65536];
    while (bRead && sText.size() <= kMaxSize) {
        const ssize_t iRead = read(iFile, aBuffer, sizeof aBuffer);
        if (iRead < 0 && errno == EINTR)
            continue;
        if (iRead <= 0) {
            bRead = iRead == 0;
            iError = errno;
            break;
        }
        sText.append(aBuffer, static_cast<std::size_t>(iRead));
    }
    close(iFile);
    if (bRead && sText.size() > kMaxSize)
        return Fail(EFBIG, "larger than 16 MB");
    return bRead || Fail(iError, iError == EINVAL ? "not a regular file" : "");
}

// The lock is the folder's, not a file's: a folder cannot be left behind half-made by a killed
// game, nor stand in the way as a stale lock file would.
bool cSafeFile::Lock() {
    sError.clear();
    if (!Resolve())
        return false;
    iFolderLock = open(FolderOf(sTarget).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (iFolderLock < 0)
        return Fail(errno);
    for (int iTry = 1; flock(iFolderLock, LOCK_EX | LOCK_NB) != 0; ++iTry) {
        const int iError = errno;
        if (iError != EWOULDBLOCK || iTry == kLockTries) {
            close(iFolderLock);
            iFolderLock = -1;
            return Fail(iError, iError == EWOULDBLOCK ? "another game is saving" : "");
        }
        const timespec Pause{0, 10 * 1000 * 1000};
        nanosleep(&Pause, nullptr);
    }
    return true;
}

bool cSafeFile::Replace(const std::string& sText) {
    sError.clear();
    if (!Resolve())
        return false;
    struct stat Status;
    if (lstat(sTarget.c_str(), &Status) != 0) {
        if (errno != ENOENT)
            return Fail(errno);
    } else if (S_ISDIR(Status.st_mode)) {
        return Fail(EISDIR);
    } else if (!S_ISREG(Status.st_mode)) {
        return Fail(EINVAL, "not a regular file");
    } else if (access(sTarget.c_str(), W_OK) != 0) {
        return Fail(errno);
    } else if ((Status.st_mode & 0222) == 0) {
        return Fail(EACCES);
    }
    return WriteAndMove(kTemporary, sText, -1, sTarget);
}

// Only a game holding the lock comes here, so whatever lies under the name is stale: a file or a
// link is taken away, an empty folder too, and anything else is left for a fresh name.
int cSafeFile::CreateTemporary(const std::string& sSuffix, std::string& sTemporary) {
    sTemporary = sTarget + "." + sSuffix;
    if (unlink(sTemporary.c_str()) != 0 && errno == EISDIR)
        rmdir(sTemporary.c_str());
    int iFile =
        open(sTemporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (iFile < 0 && errno == EEXIST) {
        sTemporary += ".XXXXXX";
        iFile = mkostemp(sTemporary.data(), O_CLOEXEC);
    }
    if (iFile < 0)
        Fail(errno);
    return iFile;
}

bool cSafeFile::WriteAndMove(const std::string& sSuffix, const std::string& sText, int iMode,
                             const std::string& sFinal) {
    std::string sTemporary;
    const int iFile = CreateTemporary(sSuffix, sTemporary);
    if (iFile < 0)
        return false;
    // A new hall of fame gets what the player's umask allows, a replaced one keeps its rights.
    struct stat Status;
    if (iMode >= 0)
        fchmod(iFile, static_cast<mode_t>(iMode));
    else if (stat(sTarget.c_str(), &Status) == 0)
        fchmod(iFile, Status.st_mode & 07777);
    else {
        const mode_t iMask = umask(0);
        umask(iMask);
        fchmod(iFile, 0666 & ~iMask);
    }
    const bool bDone = WriteAll(iFile, sText) && fsync(iFile) == 0 &&
                       std::rename(sTemporary.c_str(), sFinal.c_str()) == 0;
    const int iError = errno;
    if (!bDone)
        unlink(sTemporary.c_str());
    close(iFile);
    if (!bDone)
        return Fail(iError);
    SyncFolder(sFinal);
    return true;
}

bool cSafeFile::KeepCopy(const std::string& sText) {
    sError.clear();
    if (!Resolve())
        return false;
    const std::string sFolder = FolderOf(sTarget);
    const std::string sBase = NameOf(sTarget);
    struct cCopy {
        std::string sPath;
        struct stat Status;
    };
    std::vector<cCopy> vCopies;
    std::unordered_set<std::size_t> sSeen;
    bool bKept = false;
    std::error_code Error;
    for (const auto& Entry : std::filesystem::directory_iterator(sFolder, Error)) {
        const std::string sFile = Entry.path().filename().string();
        const std::string sPath = sFolder + "/" + sFile;
        std::string sCopy;
        cCopy copy{sPath, {}};
        if (!IsCopyName(sFile, sBase) || lstat(sPath.c_str(), &copy.Status) != 0 ||
            !ReadFile(sPath, sCopy))
            continue;
        const bool bTwice = !sSeen.insert(std::hash<std::string>()(sCopy)).second;
        const bool bCut = sCopy.size() < sText.size() && sText.compare(0, sCopy.size(), sCopy) == 0;
        if (bTwice || bCut) {
            unlink(sPath.c_str());
            continue;
        }
        bKept = bKept || sCopy == sText;
        vCopies.push_back(copy);
    }
    sError.clear();
    if (bKept)
        return true;
    std::sort(vCopies.begin(), vCopies.end(),
              [](const cCopy& a, const cCopy& b) { return Older(a.Status, b.Status); });
    while (vCopies.size() >= static_cast<std::size_t>(kBackups)) {
        unlink(vCopies.front().sPath.c_str());
        vCopies.erase(vCopies.begin());
    }
    // Fewer copies than names are left, so one of the names is free.
    int iFree = 0;
    struct stat Status;
    while (iFree < kBackups - 1 && lstat(CopyName(sTarget, iFree).c_str(), &Status) == 0)
        ++iFree;
    return WriteAndMove(kCopyTemporary, sText, 0600, CopyName(sTarget, iFree));
}
