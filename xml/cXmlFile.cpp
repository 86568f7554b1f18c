#include "xml/cXmlFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "xml/xmlParseString.h"

cXmlFile::~cXmlFile() {
    for (cTag* pTag : vTags)
        delete pTag;
    vTags.clear();
}

int cXmlFile::AddTag(cTag* pTag) {
    pTag->iId = iNextId++;
    vTags.push_back(pTag);
    mIndex.emplace(pTag->iId, cIndexEntry{pTag, true});
    return pTag->iId;
}

int cXmlFile::AddTag(cTag* pTag, int iParentNumber) {
    const int iNumber = iNextId++;
    pTag->iId = iNumber;
    cTag* pParent = Find(iParentNumber);
    if (!pParent) {
        delete pTag;
        return iNumber;
    }
    pParent->AddTag(pTag);
    mIndex.emplace(iNumber, cIndexEntry{pTag, false});
    return iNumber;
}

int cXmlFile::GetTagIndex(const std::string& sName) const {
    for (std::size_t i = 0; i < vTags.size(); ++i)
        if (vTags[i] && vTags[i]->sName == sName)
            return static_cast<int>(i);
    return -1;
}

// Negative numbers name no tag; they are answered without a walk, because the reader asks for -1
// after every end tag that closes nothing.
int cXmlFile::GetParent(int iNumber) {
    const auto it = mIndex.find(iNumber);
    if (it != mIndex.end())
        return it->second.bTopLevel ? -1 : it->second.pTag->iParentId;
    if (iNumber < 0)
        return -1;
    for (cTag* pTag : vTags) {
        if (!pTag)
            continue;
        if (pTag->iId == iNumber)
            return -1;
        const int iParentNumber = pTag->GetParent(iNumber);
        if (iParentNumber != -2)
            return iParentNumber;
    }
    return -1;
}

void cXmlFile::SetTagData(int iNumber, std::string sText) {
    const auto it = mIndex.find(iNumber);
    if (it != mIndex.end()) {
        it->second.pTag->sData += sText;
        return;
    }
    if (iNumber < 0)
        return;
    for (cTag* pTag : vTags)
        if (pTag)
            pTag->SetTagData(iNumber, sText);
}

cTag* cXmlFile::Find(int iNumber) {
    const auto it = mIndex.find(iNumber);
    if (it != mIndex.end())
        return it->second.pTag;
    if (iNumber < 0)
        return nullptr;
    for (cTag* pTag : vTags)
        if (cTag* pFound = pTag ? pTag->Find(iNumber) : nullptr)
            return pFound;
    return nullptr;
}

bool cXmlFile::Read(const std::string& sFileName) {
    std::ifstream In(sFileName);
    if (!In.is_open())
        return false;
    iParent = -1;
    iChild = 0;
    std::string sLine;
    while (std::getline(In, sLine))
        xmlParseString(sLine, *this);
    return true;
}

namespace {

// The file a save replaces: the named one, or the file its chain of links ends in, so that a link
// stays a link and the file it points at gets the new content.
std::filesystem::path FinalTarget(std::filesystem::path Path) {
    std::error_code Error;
    for (int iHop = 0; iHop < 40 && std::filesystem::is_symlink(Path, Error); ++iHop) {
        const std::filesystem::path Link = std::filesystem::read_symlink(Path, Error);
        if (Error)
            break;
        Path = Path.parent_path() / Link;
    }
    return Path;
}

// A file the player made read-only is left alone, even by root, whom its permissions do not stop.
bool MayReplace(const std::string& sTarget) {
    struct stat Status;
    if (stat(sTarget.c_str(), &Status) != 0)
        return errno == ENOENT;
    if (access(sTarget.c_str(), W_OK) != 0)
        return false;
    if ((Status.st_mode & 0222) == 0) {
        errno = EACCES;
        return false;
    }
    return true;
}

int CloseKeepingError(int iFile) {
    const int iError = errno;
    close(iFile);
    errno = iError;
    return -1;
}

// One temporary file per target, beside it so that the final rename stays within one file
// system: a save killed half-way leaves at most this file behind, and the next save takes it over.
// The lock keeps two games that save at the same moment out of each other's file; the second one
// fails rather than waits.
int OpenTemporary(const std::string& sTemporary) {
    const int iFile = open(sTemporary.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (iFile < 0)
        return -1;
    struct stat Opened;
    struct stat Named;
    if (flock(iFile, LOCK_EX | LOCK_NB) != 0)
        return CloseKeepingError(iFile);
    // The other save may have renamed the file away between our open and our lock.
    if (fstat(iFile, &Opened) != 0 || stat(sTemporary.c_str(), &Named) != 0 ||
        Opened.st_dev != Named.st_dev || Opened.st_ino != Named.st_ino) {
        errno = EAGAIN;
        return CloseKeepingError(iFile);
    }
    if (ftruncate(iFile, 0) != 0)
        return CloseKeepingError(iFile);
    return iFile;
}

// A replaced file keeps the permissions the player gave it.
void CopyPermissions(const std::string& sTarget, int iFile) {
    struct stat Status;
    if (stat(sTarget.c_str(), &Status) == 0)
        fchmod(iFile, Status.st_mode & 07777);
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
void SyncFolder(const std::string& sTarget) {
    const std::size_t iSlash = sTarget.rfind('/');
    const std::string sFolder = iSlash == std::string::npos ? "."
                                : iSlash == 0               ? "/"
                                                            : sTarget.substr(0, iSlash);
    const int iFolder = open(sFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (iFolder < 0)
        return;
    fsync(iFolder);
    close(iFolder);
}

} // namespace

std::string cXmlFile::Text() const {
    std::ostringstream Out;
    Out << "<?xml version = \"1.0\"?>\n\n";
    for (const cTag* pTag : vTags)
        if (pTag)
            pTag->Write(Out, 0);
    return Out.str();
}

// The old file is replaced only by a complete new one that is already on disk, so a crash or a
// full disk during the save never leaves the hall of fame empty or cut short.
bool cXmlFile::Save(const std::string& sFileName) const {
    const std::string sTarget = FinalTarget(sFileName).string();
    if (!MayReplace(sTarget))
        return false;
    const std::string sTemporary = sTarget + ".tmp";
    const int iFile = OpenTemporary(sTemporary);
    if (iFile < 0)
        return false;
    CopyPermissions(sTarget, iFile);
    const bool bSaved = WriteAll(iFile, Text()) && fsync(iFile) == 0 &&
                        std::rename(sTemporary.c_str(), sTarget.c_str()) == 0;
    const int iError = errno;
    if (!bSaved)
        unlink(sTemporary.c_str());
    // Closing releases the lock, which must cover the rename or the clean-up.
    close(iFile);
    errno = iError;
    if (bSaved)
        SyncFolder(sTarget);
    return bSaved;
}
