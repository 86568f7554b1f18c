#include "core/cReplay.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "xml/cSafeFile.h"

namespace {

const char* const kMagic = "zenith-guard replay ";
const int kVersion = 1;
// A step is written as one letter for its advance (0 to 2) and input; a larger advance goes before
// the letter of its input in parentheses, and a gap before both in brackets.
const std::string kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuv";
const int kLetterAdvances = 3;
// A copy, "#D,L", repeats the L steps that begin D steps back, the earlier ones of the L
// included: D 1 is a run of one step, and the clock's pattern (five ticks to six steps) repeats at
// D 6. Nearer copies are tried up to this far.
const int kFarthestCopy = 12;
const int kShortestCopy = 4;
const std::size_t kLineLength = 72;

struct cField {
    const char* sKey;
    long lLeast;
    long lMost;
};
// The header's lines, in their order.
const cField kFields[] = {
    {"seed", 0, 4294967295L},
    {"energy", 0, 1000000},
    {"last-fire", -cReplay::kMaxAdvance, 0},
    {"last-time", -cReplay::kMaxAdvance, 0},
    {"move-count", 0, 1000000},
    {"score", INT_MIN, INT_MAX},
    {"level", 1, 6},
    {"steps", 0, cReplay::kMaxSteps},
};
const int kFieldCount = sizeof kFields / sizeof kFields[0];

// A whole decimal number, with a minus sign if negative, from lLeast to lMost.
bool ReadNumber(const std::string& sText, long lLeast, long lMost, long& lValue) {
    const std::size_t iDigits = sText.size() - (!sText.empty() && sText[0] == '-');
    if (iDigits == 0 || iDigits > 10 ||
        sText.find_first_not_of("0123456789", sText.size() - iDigits) != std::string::npos)
        return false;
    errno = 0;
    lValue = std::strtol(sText.c_str(), nullptr, 10);
    return errno == 0 && lValue >= lLeast && lValue <= lMost;
}

// The next line of the text from iAt on, without its end; false at the end of the text.
bool NextLine(const std::string& sText, std::size_t& iAt, std::string& sLine) {
    if (iAt >= sText.size())
        return false;
    const std::size_t iEnd = std::min(sText.find('\n', iAt), sText.size());
    sLine = sText.substr(iAt, iEnd - iAt);
    iAt = iEnd + 1;
    return true;
}

bool Refuse(std::string& sWhy, const std::string& sReason) {
    sWhy = sReason;
    return false;
}

// Adds the token to the data, starting a new line when this one would grow too long.
void Put(std::string& sData, std::size_t& iLineStart, const std::string& sToken) {
    if (sData.size() - iLineStart + sToken.size() > kLineLength) {
        sData += '\n';
        iLineStart = sData.size();
    }
    sData += sToken;
}

} // namespace

void cReplay::AddStep(int iAdvance, unsigned iInput, int iGap) {
    vSteps.push_back({std::clamp(iAdvance, 0, kMaxAdvance), iInput % kInputs,
                      iGap < 0 ? -1 : std::min(iGap, kMaxAdvance)});
}

std::string cReplay::Text() const {
    const long aValues[kFieldCount] = {iSeed,      iEnergy, iLastFire, iLastTime,
                                       iMoveCount, iScore,  iLevel,    Steps()};
    std::string sText = kMagic + std::to_string(kVersion) + "\n";
    for (int i = 0; i < kFieldCount; ++i)
        sText += std::string(kFields[i].sKey) + " " + std::to_string(aValues[i]) + "\n";
    std::string sData;
    std::size_t iLineStart = 0;
    for (std::size_t i = 0; i < vSteps.size();) {
        std::size_t iBest = 0;
        std::size_t iBestLength = 0;
        for (std::size_t iBack = 1; iBack <= kFarthestCopy && iBack <= i; ++iBack) {
            std::size_t iLength = 0;
            while (i + iLength < vSteps.size() &&
                   vSteps[i + iLength] == vSteps[i + iLength - iBack])
                ++iLength;
            if (iLength > iBestLength) {
                iBest = iBack;
                iBestLength = iLength;
            }
        }
        if (iBestLength >= kShortestCopy) {
            Put(sData, iLineStart, "#" + std::to_string(iBest) + "," + std::to_string(iBestLength));
            i += iBestLength;
            continue;
        }
        const cStep& step = vSteps[i++];
        const bool bLetterAdvance = step.iAdvance < kLetterAdvances;
        std::string sToken = step.iGap >= 0 ? "[" + std::to_string(step.iGap) + "]" : "";
        if (!bLetterAdvance)
            sToken += "(" + std::to_string(step.iAdvance) + ")";
        sToken += kLetters[(bLetterAdvance ? step.iAdvance : 0) * kInputs + step.iInput];
        Put(sData, iLineStart, sToken);
    }
    return sText + "data\n" + sData + (sData.empty() ? "" : "\n") + "end\n";
}

bool cReplay::Parse(const std::string& sText, std::string& sWhy) {
    if (sText.size() > kMaxSize)
        return Refuse(sWhy, "too large for a replay");
    std::size_t iAt = 0;
    std::string sLine;
    const std::string sMagic = kMagic;
    if (!NextLine(sText, iAt, sLine) || sLine.compare(0, sMagic.size(), sMagic) != 0)
        return Refuse(sWhy, "not a replay of Zenith Guard");
    long lVersion = 0;
    if (!ReadNumber(sLine.substr(sMagic.size()), 0, INT_MAX, lVersion))
        return Refuse(sWhy, "damaged: line 1");
    if (lVersion != kVersion)
        return Refuse(sWhy, "a replay of another version of the game");
    long aValues[kFieldCount];
    for (int i = 0; i < kFieldCount; ++i) {
        const std::string sKey = std::string(kFields[i].sKey) + " ";
        if (!NextLine(sText, iAt, sLine))
            return Refuse(sWhy, "cut short");
        if (sLine.compare(0, sKey.size(), sKey) != 0 ||
            !ReadNumber(sLine.substr(sKey.size()), kFields[i].lLeast, kFields[i].lMost, aValues[i]))
            return Refuse(sWhy, "damaged: line " + std::to_string(i + 2));
    }
    if (!NextLine(sText, iAt, sLine) || sLine != "data")
        return Refuse(sWhy, iAt >= sText.size() ? "cut short" : "damaged: no steps");
    const std::size_t iEnd = sText.rfind("\nend\n");
    if (iEnd == std::string::npos || iEnd + 1 < iAt || iEnd + 5 != sText.size())
        return Refuse(sWhy, "cut short");
    const std::string sData = iEnd + 1 > iAt ? sText.substr(iAt, iEnd + 1 - iAt) : "";
    if (!ParseSteps(sData, static_cast<int>(aValues[7]), sWhy))
        return false;
    iSeed = static_cast<unsigned>(aValues[0]);
    iEnergy = static_cast<int>(aValues[1]);
    iLastFire = static_cast<int>(aValues[2]);
    iLastTime = static_cast<int>(aValues[3]);
    iMoveCount = static_cast<int>(aValues[4]);
    iScore = static_cast<int>(aValues[5]);
    iLevel = static_cast<int>(aValues[6]);
    return true;
}

// The steps are read into a list of their own, so that a damaged file leaves the replay as it
// was; never more of them than the header announced.
bool cReplay::ParseSteps(const std::string& sData, int iSteps, std::string& sWhy) {
    std::vector<cStep> vRead;
    vRead.reserve(std::min(iSteps, static_cast<int>(sData.size()) * 8 + 1));
    const std::string sDamaged = "damaged: the steps";
    std::size_t i = 0;
    // The digits at i, as a number from lLeast to lMost; i moves past them.
    auto Number = [&](long lLeast, long lMost, long& lValue) {
        const std::size_t iStart = i;
        while (i < sData.size() && sData[i] >= '0' && sData[i] <= '9' && i - iStart < 10)
            ++i;
        return ReadNumber(sData.substr(iStart, i - iStart), lLeast, lMost, lValue);
    };
    while (i < sData.size()) {
        const char c = sData[i];
        if (c == '\n') {
            ++i;
            continue;
        }
        const long lLeft = iSteps - static_cast<long>(vRead.size());
        if (c == '#') {
            long lBack = 0;
            long lLength = 0;
            ++i;
            if (!Number(1, std::min<long>(kFarthestCopy, static_cast<long>(vRead.size())), lBack) ||
                i >= sData.size() || sData[i++] != ',' || !Number(1, lLeft, lLength))
                return Refuse(sWhy, sDamaged);
            for (long j = 0; j < lLength; ++j) {
                const cStep step = vRead[vRead.size() - lBack];
                vRead.push_back(step);
            }
            continue;
        }
        long lGap = -1;
        if (c == '[') {
            ++i;
            if (!Number(0, kMaxAdvance, lGap) || i >= sData.size() || sData[i++] != ']' ||
                i >= sData.size())
                return Refuse(sWhy, sDamaged);
        }
        long lAdvance = -1;
        if (sData[i] == '(') {
            ++i;
            if (!Number(kLetterAdvances, kMaxAdvance, lAdvance) || i >= sData.size() ||
                sData[i++] != ')' || i >= sData.size())
                return Refuse(sWhy, sDamaged);
        }
        const std::size_t iLetter = kLetters.find(sData[i++]);
        if (iLetter == std::string::npos || lLeft < 1 || (lAdvance >= 0 && iLetter >= kInputs))
            return Refuse(sWhy, sDamaged);
        const int iAdvance =
            lAdvance >= 0 ? static_cast<int>(lAdvance) : static_cast<int>(iLetter / kInputs);
        vRead.push_back(
            {iAdvance, static_cast<unsigned>(iLetter % kInputs), static_cast<int>(lGap)});
    }
    if (static_cast<int>(vRead.size()) != iSteps)
        return Refuse(sWhy, "damaged: " + std::to_string(vRead.size()) + " steps of " +
                                std::to_string(iSteps));
    vSteps = std::move(vRead);
    return true;
}

bool cReplay::Load(const std::string& sFile, std::string& sWhy) {
    cSafeFile file(sFile);
    std::string sText;
    if (!file.Read(sText))
        return Refuse(sWhy, file.sError);
    if (file.bMissing)
        return Refuse(sWhy, "no such file");
    return Parse(sText, sWhy);
}

bool cReplay::Save(const std::string& sFile, std::string& sWhy) const {
    cSafeFile file(sFile);
    if (!file.Replace(Text()))
        return Refuse(sWhy, file.sError);
    return true;
}
