#include "xml/xmlParseString.h"

#include <algorithm>
#include <string_view>

#include "xml/cXmlFile.h"
#include "xml/xmlString.h"

namespace {

enum class eKind { End, Start, Empty, Ignored };

// The first occurrence of the character outside quotes of either kind, as in a tag; or npos.
std::size_t FindInTag(std::string_view sTag, char cWanted) {
    char cQuote = 0;
    for (std::size_t i = 0; i < sTag.size(); ++i) {
        if (!cQuote && sTag[i] == cWanted)
            return i;
        if (sTag[i] == '"' || sTag[i] == '\'')
            cQuote = cQuote == 0 ? sTag[i] : cQuote == sTag[i] ? 0 : cQuote;
    }
    return std::string_view::npos;
}

// The tag text runs from after the "<" up to and including the first ">", if there is one. A
// declaration such as "<!DOCTYPE ...>" is no element.
eKind Classify(std::string_view sTag) {
    if (!sTag.empty() && sTag.front() == '/')
        return eKind::End;
    if (!sTag.empty() && sTag.front() == '!')
        return eKind::Ignored;
    const std::size_t iSlash = FindInTag(sTag, '/');
    if (iSlash == std::string_view::npos && FindInTag(sTag, '?') == std::string_view::npos)
        return eKind::Start;
    const std::size_t iClose = FindInTag(sTag, '>');
    if (iSlash != std::string_view::npos && iSlash > 0 && iClose != std::string_view::npos &&
        iSlash < iClose)
        return eKind::Empty;
    return eKind::Ignored;
}

// A value in single quotes runs to the next single quote; anything else is a word.
std::string_view TakeValue(std::string_view& sTag) {
    std::string_view sValue;
    if (sTag.empty() || sTag.front() != '\'') {
        sValue = xmlGetWord(sTag);
        xmlStripOneWord(sTag);
        xmlStripQuotes(sValue);
        return sValue;
    }
    const std::size_t iEnd = sTag.find('\'', 1);
    sValue = sTag.substr(1, iEnd == std::string_view::npos ? std::string_view::npos : iEnd - 1);
    sTag.remove_prefix(iEnd == std::string_view::npos ? sTag.size() : iEnd + 1);
    xmlStripStartSpaces(sTag);
    return sValue;
}

// An attribute needs "=" after its name; without it the name is dropped. The first value of a
// repeated name stays. Values are read in either kind of quotes, their entities replaced.
void ReadAttributes(std::string_view sTag, cTag* pTag) {
    while (!sTag.empty()) {
        const std::string_view sName = xmlGetWord(sTag);
        xmlStripOneWord(sTag);
        if (sTag.empty() || sTag.front() != '=')
            continue;
        sTag.remove_prefix(1);
        xmlStripStartSpaces(sTag);
        const std::string_view sValue = TakeValue(sTag);
        pTag->mAttributes.emplace(sName, xmlUnescape(sValue));
    }
}

// Hangs the tag under the open element, or at the top level when none is open.
int Attach(cTag* pTag, cXmlFile& File) {
    pTag->iParentId = File.iParent;
    return File.iParent == -1 ? File.AddTag(pTag) : File.AddTag(pTag, File.iParent);
}

// Reads the name, then the attributes, from a tag text that begins with the name.
cTag* NewTag(int iType, std::string_view sTag) {
    cTag* pTag = new cTag;
    pTag->iType = iType;
    pTag->sName = std::string(xmlGetWord(sTag));
    xmlStripOneWord(sTag);
    ReadAttributes(sTag, pTag);
    return pTag;
}

// End tags always go to the top level and close whatever element is open, whatever its name.
void ReadEndTag(std::string_view sTag, cXmlFile& File) {
    std::string_view sName = sTag.size() < 2 ? std::string_view() : sTag.substr(1, sTag.size() - 2);
    xmlStripEndSpaces(sName);
    cTag* pTag = new cTag;
    pTag->iType = TAG_END;
    pTag->sName = std::string(sName);
    File.AddTag(pTag);
    File.iChild = File.iParent;
    File.iParent = File.GetParent(File.iChild);
}

void ReadStartTag(std::string_view sTag, cXmlFile& File) {
    xmlStripStartSpaces(sTag);
    File.iParent = Attach(NewTag(TAG_START, sTag), File);
}

void ReadEmptyTag(std::string_view sTag, cXmlFile& File) {
    sTag.remove_suffix(1);
    xmlStripStartSpaces(sTag);
    File.iChild = Attach(NewTag(TAG_EMPTY, sTag), File);
}

void ReadTag(std::string_view sTag, cXmlFile& File) {
    switch (Classify(sTag)) {
    case eKind::End:
        ReadEndTag(sTag, File);
        break;
    case eKind::Start:
        ReadStartTag(sTag, File);
        break;
    case eKind::Empty:
        ReadEmptyTag(sTag, File);
        break;
    case eKind::Ignored:
        break;
    }
}

// The line is consumed through a view, so a long line with many tags is read in linear time. A
// comment is skipped, even over several lines; a tag left open at the end of the line waits for
// the rest of it, unless bLast.
void ParseLine(std::string_view sRest, cXmlFile& File, bool bLast) {
    while (!sRest.empty()) {
        if (File.bInComment) {
            const std::size_t iEnd = sRest.find("-->");
            if (iEnd == std::string_view::npos)
                return;
            sRest.remove_prefix(iEnd + 3);
            File.bInComment = false;
            continue;
        }
        xmlStripStartSpaces(sRest);
        if (sRest.empty() || sRest.front() != '<') {
            const std::size_t iText = std::min(xmlFindUnquoted(sRest, '<'), sRest.size());
            File.SetTagData(File.iChild, std::string(sRest.substr(0, iText)));
            sRest.remove_prefix(iText);
            continue;
        }
        if (sRest.substr(0, 4) == "<!--") {
            File.bInComment = true;
            sRest.remove_prefix(4);
            continue;
        }
        const std::size_t iClose = sRest.find('>');
        if (iClose == std::string_view::npos && !bLast) {
            File.sOpenTag = std::string(sRest);
            return;
        }
        const std::size_t iLength = iClose == std::string_view::npos ? sRest.size() : iClose + 1;
        ReadTag(sRest.substr(1, iLength - 1), File);
        sRest.remove_prefix(iLength);
    }
}

} // namespace

// A line that does not close the waiting tag is only added to it, so that a tag spread over many
// lines is still read in linear time.
void xmlParseString(std::string sLine, cXmlFile& File) {
    if (!File.sOpenTag.empty()) {
        File.sOpenTag += ' ';
        if (sLine.find('>') == std::string::npos) {
            File.sOpenTag += sLine;
            return;
        }
        sLine = std::move(File.sOpenTag) + sLine;
        File.sOpenTag.clear();
    }
    ParseLine(sLine, File, false);
}

void xmlParseEnd(cXmlFile& File) {
    const std::string sOpenTag = std::move(File.sOpenTag);
    File.sOpenTag.clear();
    ParseLine(sOpenTag, File, true);
    File.bInComment = false;
}
