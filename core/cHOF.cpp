#include "core/cHOF.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>

#include "core/cHOFSort.h"
#include "xml/cSafeFile.h"
#include "xml/cXmlFile.h"

namespace {

const char* const kDefaultName = "Player";

cTag* NewTag(const std::string& sName, int iType) {
    cTag* pTag = new cTag;
    pTag->sName = sName;
    pTag->iType = iType;
    return pTag;
}

// An attribute's value, empty when the tag lacks it.
std::string Attribute(const cTag* pTag, const std::string& sName) {
    const auto it = pTag->mAttributes.find(sName);
    return it == pTag->mAttributes.end() ? std::string() : it->second;
}

// The score as atoi reads it, except that a number too long for an int is clamped instead of
// overflowing.
int ScoreOf(const std::string& sText) {
    const long lScore = std::strtol(sText.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(lScore, INT_MIN, INT_MAX));
}

// The length of the UTF-8 sequence at the start of the text when it is a character that XML
// allows and the font may show, else 0.
std::size_t CharacterLength(std::string_view sText) {
    const unsigned char c = static_cast<unsigned char>(sText[0]);
    if (c >= 0x20 && c < 0x7F)
        return 1;
    const std::size_t iLength = c >= 0xC2 && c <= 0xDF   ? 2
                                : c >= 0xE0 && c <= 0xEF ? 3
                                : c >= 0xF0 && c <= 0xF4 ? 4
                                                         : 0;
    if (iLength == 0 || sText.size() < iLength)
        return 0;
    unsigned long iCode = c & (0x7F >> iLength);
    for (std::size_t i = 1; i < iLength; ++i) {
        if ((sText[i] & 0xC0) != 0x80)
            return 0;
        iCode = iCode << 6 | (sText[i] & 0x3F);
    }
    const unsigned long aLeast[] = {0, 0, 0xA0, 0x800, 0x10000};
    const bool bAllowed = iCode >= aLeast[iLength] && iCode <= 0x10FFFF &&
                          (iCode < 0xD800 || iCode > 0xDFFF) && iCode != 0xFFFE && iCode != 0xFFFF;
    return bAllowed ? iLength : 0;
}

// A name as the list can show it and the file can hold it: what is no character becomes "?", and
// it is cut to the length the list shows.
std::string CleanName(const std::string& sName) {
    std::string sClean;
    std::size_t i = 0;
    for (std::size_t iCharacters = 0; i < sName.size() && iCharacters < cHOF::kNameLength;
         ++iCharacters) {
        const std::size_t iLength = CharacterLength(std::string_view(sName).substr(i));
        sClean += iLength ? sName.substr(i, iLength) : "?";
        i += std::max<std::size_t>(iLength, 1);
    }
    return sClean;
}

// Every child of the first top-level "HallOfFame" counts as an entry, in file order.
std::vector<cHOFEntry> EntriesOf(const std::string& sText) {
    cXmlFile document;
    document.ReadText(sText);
    const int iIndex = document.GetTagIndex("HallOfFame");
    std::vector<cHOFEntry> vRead;
    if (iIndex == -1)
        return vRead;
    for (const cTag* pChild : document.vTags[iIndex]->vChildren)
        vRead.push_back(
            {CleanName(Attribute(pChild, "name")), ScoreOf(Attribute(pChild, "score"))});
    return vRead;
}

// The best ten, equal scores in their order.
void Rank(std::vector<cHOFEntry>& vEntries) {
    std::stable_sort(vEntries.begin(), vEntries.end(), cHOFSort());
    if (vEntries.size() > cHOF::kPlaces)
        vEntries.resize(cHOF::kPlaces);
}

// The first place whose score is not higher: ahead of every older entry with the same score.
void Insert(std::vector<cHOFEntry>& vEntries, const cHOFEntry& entry) {
    Rank(vEntries);
    vEntries.insert(std::lower_bound(vEntries.begin(), vEntries.end(), entry, cHOFSort()), entry);
    Rank(vEntries);
}

std::string TextOf(const std::vector<cHOFEntry>& vEntries) {
    cXmlFile document;
    cTag* pStart = NewTag("HallOfFame", TAG_START);
    for (std::size_t i = 0; i < vEntries.size() && i < cHOF::kPlaces; ++i) {
        cTag* pEntry = NewTag("entry", TAG_EMPTY);
        pEntry->mAttributes["name"] = vEntries[i].sName;
        pEntry->mAttributes["score"] = std::to_string(vEntries[i].iScore);
        pStart->vChildren.push_back(pEntry);
    }
    document.vTags.push_back(pStart);
    document.vTags.push_back(NewTag("HallOfFame", TAG_END));
    return document.Text();
}

} // namespace

bool cHOF::Load(int iScore) {
    const std::lock_guard<std::mutex> Lock(Mutex);
    cSafeFile file(sFileName);
    std::string sText;
    const bool bRead = file.Read(sText);
    vEntries = bRead ? EntriesOf(sText) : std::vector<cHOFEntry>();
    Rank(vEntries);
    sError = bRead ? "" : "Could not read: " + file.sError;
    for (const cHOFEntry& entry : vWaiting)
        Insert(vEntries, entry);
    SaveWaiting();
    return Qualifies(iScore);
}

bool cHOF::Qualifies(int iScore) const {
    return vEntries.size() < kPlaces || iScore >= vEntries[kPlaces - 1].iScore;
}

void cHOF::Add(cHOFEntry entry) {
    const std::lock_guard<std::mutex> Lock(Mutex);
    entry.sName = CleanName(entry.sName);
    Insert(vEntries, entry);
    vWaiting.push_back(entry);
    bChanged = true;
    bAwaitingName = false;
}

bool cHOF::Save() {
    const std::lock_guard<std::mutex> Lock(Mutex);
    return SaveWaiting();
}

void cHOF::AwaitName(int iScore) {
    const std::lock_guard<std::mutex> Lock(Mutex);
    bAwaitingName = true;
    iAwaitedScore = iScore;
    sTypedName.clear();
}

void cHOF::SetTypedName(const std::string& sName) {
    const std::lock_guard<std::mutex> Lock(Mutex);
    sTypedName = sName;
}

void cHOF::DeclineName() {
    const std::lock_guard<std::mutex> Lock(Mutex);
    bAwaitingName = false;
}

bool cHOF::SaveBeforeExit(std::string& sWhy) {
    const std::lock_guard<std::mutex> Lock(Mutex);
    std::vector<cHOFEntry> vNew = vWaiting;
    if (bAwaitingName)
        vNew.push_back({CleanName(sTypedName.empty() ? kDefaultName : sTypedName), iAwaitedScore});
    std::vector<cHOFEntry> vMerged;
    if (vNew.empty() || !Merge(vNew, vMerged, sWhy))
        return vNew.empty();
    vWaiting.clear();
    bAwaitingName = false;
    return true;
}

bool cHOF::SaveWaiting() {
    if (vWaiting.empty())
        return true;
    std::vector<cHOFEntry> vMerged;
    std::string sWhy;
    if (!Merge(vWaiting, vMerged, sWhy)) {
        sError = sWhy;
        return false;
    }
    vEntries = vMerged;
    vWaiting.clear();
    bChanged = false;
    sError.clear();
    return true;
}

// Read and written under one lock: an entry another game saved in between is never overwritten.
bool cHOF::Merge(const std::vector<cHOFEntry>& vNew, std::vector<cHOFEntry>& vMerged,
                 std::string& sWhy) const {
    cSafeFile file(sFileName);
    std::string sOnDisk;
    bool bSaved = file.Lock() && file.Read(sOnDisk);
    if (bSaved) {
        vMerged = EntriesOf(sOnDisk);
        Rank(vMerged);
    }
    const std::string sRead = TextOf(vMerged);
    for (const cHOFEntry& entry : vNew)
        Insert(vMerged, entry);
    const std::string sText = TextOf(vMerged);
    // Entries that all fall below the tenth change nothing: the file stays as it is.
    if (bSaved && sText == sRead)
        return true;
    // What the table does not hold of the file (entries past the tenth, comments, damage) would
    // be lost with it.
    bSaved = bSaved && (sOnDisk.empty() || sRead == sOnDisk || file.KeepCopy(sOnDisk)) &&
             file.Replace(sText);
    if (!bSaved)
        sWhy = file.iError == EWOULDBLOCK ? "Not saved yet: another game is saving"
                                          : "Could not save: " + file.sError;
    return bSaved;
}
