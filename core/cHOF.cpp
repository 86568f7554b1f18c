#include "core/cHOF.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

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

// A replay's file name as the game makes them, "replay-" and digits and dashes, ".zgr": a name
// in the file that could lead anywhere else is none.
std::string ReplayName(const std::string& sName) {
    const std::string sStart = "replay-";
    const std::string sEnd = ".zgr";
    const bool bOurs =
        sName.size() > sStart.size() + sEnd.size() && sName.size() <= 64 &&
        sName.compare(0, sStart.size(), sStart) == 0 &&
        sName.compare(sName.size() - sEnd.size(), sEnd.size(), sEnd) == 0 &&
        sName.find_first_not_of("0123456789-", sStart.size()) == sName.size() - sEnd.size();
    return bOurs ? sName : std::string();
}

// A name no other replay has: the time, the process and a count.
std::string NewReplayName() {
    static int iCount = 0;
    char aTime[32];
    const std::time_t iNow = std::time(nullptr);
    std::strftime(aTime, sizeof aTime, "%Y%m%d-%H%M%S", std::localtime(&iNow));
    return "replay-" + std::string(aTime) + "-" + std::to_string(getpid()) + "-" +
           std::to_string(++iCount) + ".zgr";
}

std::string FolderOf(const std::string& sPath) {
    const std::size_t iSlash = sPath.rfind('/');
    return iSlash == std::string::npos ? "." : iSlash == 0 ? "/" : sPath.substr(0, iSlash);
}

bool Names(const std::vector<cHOFEntry>& vEntries, const std::string& sReplay) {
    return std::any_of(vEntries.begin(), vEntries.end(),
                       [&](const cHOFEntry& entry) { return entry.sReplay == sReplay; });
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
        vRead.push_back({CleanName(Attribute(pChild, "name")), ScoreOf(Attribute(pChild, "score")),
                         ReplayName(Attribute(pChild, "replay"))});
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
        // Earlier versions of the game read the entry without it.
        if (!vEntries[i].sReplay.empty())
            pEntry->mAttributes["replay"] = vEntries[i].sReplay;
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
    entry = WithReplay(entry);
    Insert(vEntries, entry);
    vWaiting.push_back(entry);
    bChanged = true;
    bAwaitingName = false;
}

void cHOF::OfferReplay(int iScore, const std::string& sText) {
    const std::lock_guard<std::mutex> Lock(Mutex);
    iOfferedScore = iScore;
    sOffered = sText;
}

std::string cHOF::ReplayFile(const cHOFEntry& entry) const {
    return FolderOf(sFileName) + "/" + entry.sReplay;
}

cHOFEntry cHOF::WithReplay(cHOFEntry entry) {
    if (sOffered.empty() || entry.iScore != iOfferedScore || !entry.sReplay.empty())
        return entry;
    entry.sReplay = NewReplayName();
    mReplays[entry.sReplay] = sOffered;
    sOffered.clear();
    return entry;
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
        vNew.push_back(
            WithReplay({CleanName(sTypedName.empty() ? kDefaultName : sTypedName), iAwaitedScore}));
    std::vector<cHOFEntry> vMerged;
    if (vNew.empty() || !Merge(vNew, vMerged, sWhy))
        return vNew.empty();
    mReplays.clear();
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
    for (const cHOFEntry& entry : vWaiting)
        mReplays.erase(entry.sReplay);
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
    std::vector<cHOFEntry> vBefore;
    if (bSaved) {
        vBefore = EntriesOf(sOnDisk);
        vMerged = vBefore;
        Rank(vMerged);
    }
    const std::string sRead = TextOf(vMerged);
    for (const cHOFEntry& entry : vNew)
        Insert(vMerged, entry);
    // Entries that all fall below the tenth change nothing: the file stays as it is.
    if (bSaved && TextOf(vMerged) == sRead)
        return true;
    // What the table does not hold of the file (entries past the tenth, comments, damage) would
    // be lost with it.
    bSaved = bSaved && (sOnDisk.empty() || sRead == sOnDisk || file.KeepCopy(sOnDisk));
    if (bSaved) {
        WriteReplays(vNew, vMerged);
        bSaved = file.Replace(TextOf(vMerged));
        // The files that no entry on disk names go: those that left the ten, or after a failed
        // save the new ones, which the next try writes again.
        std::vector<cHOFEntry> vNamed = vBefore;
        vNamed.insert(vNamed.end(), vNew.begin(), vNew.end());
        RemoveReplays(vNamed, bSaved ? vMerged : vBefore);
    }
    if (!bSaved)
        sWhy = file.iError == EWOULDBLOCK ? "Not saved yet: another game is saving"
                                          : "Could not save: " + file.sError;
    return bSaved;
}

void cHOF::WriteReplays(const std::vector<cHOFEntry>& vNew, std::vector<cHOFEntry>& vMerged) const {
    for (const cHOFEntry& entry : vNew) {
        const auto itText = mReplays.find(entry.sReplay);
        const auto itMerged = std::find_if(vMerged.begin(), vMerged.end(), [&](const cHOFEntry& e) {
            return !e.sReplay.empty() && e.sReplay == entry.sReplay;
        });
        if (itMerged == vMerged.end())
            continue;
        cSafeFile replay(ReplayFile(entry));
        if (itText == mReplays.end() || !replay.Replace(itText->second))
            itMerged->sReplay.clear();
    }
}

// Only the files the game made: a link is removed, never what it leads to.
void cHOF::RemoveReplays(const std::vector<cHOFEntry>& vBefore,
                         const std::vector<cHOFEntry>& vAfter) const {
    for (const cHOFEntry& entry : vBefore) {
        if (entry.sReplay.empty() || Names(vAfter, entry.sReplay))
            continue;
        const std::string sFile = ReplayFile(entry);
        struct stat Status;
        if (lstat(sFile.c_str(), &Status) == 0 &&
            (S_ISREG(Status.st_mode) || S_ISLNK(Status.st_mode)))
            unlink(sFile.c_str());
    }
}
