#include "core/cHOF.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "core/cHOFSort.h"
#include "xml/cXmlFile.h"

namespace {

const std::size_t kPlaces = 10;

cTag* NewTag(const std::string& sName, int iType) {
    cTag* pTag = new cTag;
    pTag->sName = sName;
    pTag->iType = iType;
    return pTag;
}

// The whole file; a missing one reads as empty. False, with errno set, when it cannot be read.
bool ReadWhole(const std::string& sName, std::string& sText) {
    sText.clear();
    FILE* pFile = std::fopen(sName.c_str(), "rb");
    if (!pFile)
        return errno == ENOENT;
    char aBuffer[65536];
    std::size_t iRead;
    while ((iRead = std::fread(aBuffer, 1, sizeof aBuffer, pFile)) > 0)
        sText.append(aBuffer, iRead);
    const bool bRead = !std::ferror(pFile);
    const int iError = errno;
    std::fclose(pFile);
    errno = iError;
    return bRead;
}

// Writes the text to the first free one of "X.bak", "X.bak.1", ...: a copy is never overwritten.
bool KeepCopy(const std::string& sName, const std::string& sText) {
    for (int i = 0; i < 100; ++i) {
        const std::string sCopy = sName + ".bak" + (i > 0 ? "." + std::to_string(i) : "");
        FILE* pCopy = std::fopen(sCopy.c_str(), "wbx");
        if (!pCopy && errno == EEXIST)
            continue;
        if (!pCopy)
            return false;
        const bool bKept = std::fwrite(sText.data(), 1, sText.size(), pCopy) == sText.size() &&
                           std::fflush(pCopy) == 0 && fsync(fileno(pCopy)) == 0;
        const int iError = errno;
        std::fclose(pCopy);
        if (!bKept)
            std::remove(sCopy.c_str());
        errno = iError;
        return bKept;
    }
    errno = EEXIST;
    return false;
}

} // namespace

void cHOF::SetLoaded(std::vector<cHOFEntry> vRead) {
    std::stable_sort(vRead.begin(), vRead.end(), cHOFSort());
    if (vRead.size() > kPlaces)
        vRead.resize(kPlaces);
    vEntries = std::move(vRead);
    cXmlFile document;
    Build(document);
    sReplaceable = document.Text();
    bChanged = false;
    sError.clear();
}

bool cHOF::Qualifies(int iScore) const {
    return vEntries.size() < kPlaces || iScore >= vEntries[kPlaces - 1].iScore;
}

void cHOF::Add(const cHOFEntry& entry) {
    std::stable_sort(vEntries.begin(), vEntries.end(), cHOFSort());
    // The first place whose score is not higher: ahead of every older entry with the same score.
    vEntries.insert(std::lower_bound(vEntries.begin(), vEntries.end(), entry, cHOFSort()), entry);
    if (vEntries.size() > kPlaces)
        vEntries.resize(kPlaces);
    bChanged = true;
}

bool cHOF::Save() {
    cXmlFile document;
    Build(document);
    if (!KeepUnseenFile() || !document.Save(sFileName)) {
        sError = std::string("Could not save: ") + std::strerror(errno);
        return false;
    }
    sReplaceable = document.Text();
    bChanged = false;
    sError.clear();
    return true;
}

void cHOF::Build(cXmlFile& document) const {
    cTag* pStart = NewTag("HallOfFame", TAG_START);
    for (std::size_t i = 0; i < vEntries.size() && i < kPlaces; ++i) {
        cTag* pEntry = NewTag("entry", TAG_EMPTY);
        pEntry->mAttributes["name"] = vEntries[i].sName;
        pEntry->mAttributes["score"] = std::to_string(vEntries[i].iScore);
        pStart->vChildren.push_back(pEntry);
    }
    document.vTags.push_back(pStart);
    document.vTags.push_back(NewTag("HallOfFame", TAG_END));
}

bool cHOF::KeepUnseenFile() {
    std::string sOnDisk;
    if (!ReadWhole(sFileName, sOnDisk))
        return false;
    if (sOnDisk.empty() || sOnDisk == sReplaceable)
        return true;
    if (!KeepCopy(sFileName, sOnDisk))
        return false;
    // Kept once is enough, should this save fail and be tried again.
    sReplaceable = sOnDisk;
    return true;
}
