#include "xml/xmlParseString.h"

#include <algorithm>
#include <string_view>

#include "xml/cXmlFile.h"
#include "xml/xmlString.h"

namespace {

enum class eKind { End, Start, Empty, Ignored };

// The tag text runs from after the "<" up to and including the first ">", if there is one.
eKind Classify(std::string_view sTag) {
    if (!sTag.empty() && sTag.front() == '/')
        return eKind::End;
    const std::size_t iSlash = xmlFindUnquoted(sTag, '/');
    if (iSlash == std::string_view::npos && xmlFindUnquoted(sTag, '?') == std::string_view::npos)
        return eKind::Start;
    const std::size_t iClose = xmlFindUnquoted(sTag, '>');
    if (iSlash != std::string_view::npos && iSlash > 0 && iClose != std::string_view::npos &&
        iSlash < iClose)
        return eKind::Empty;
    return eKind::Ignored;
}

// An attribute needs "=" after its name; without it the name is dropped. The first value of a
// repeated name stays.
void ReadAttributes(std::string_view sTag, cTag* pTag) {
    while (!sTag.empty()) {
        const std::string_view sName = xmlGetWord(sTag);
        xmlStripOneWord(sTag);
        if (sTag.empty() || sTag.front() != '=')
            continue;
        sTag.remove_prefix(1);
        xmlStripStartSpaces(sTag);
        std::string_view sValue = xmlGetWord(sTag);
        xmlStripOneWord(sTag);
        xmlStripQuotes(sValue);
        pTag->mAttributes.emplace(sName, sValue);
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

} // namespace

// The line is consumed through a view, so a long line with many tags is read in linear time.
void xmlParseString(std::string sLine, cXmlFile& File) {
    std::string_view sRest = sLine;
    while (!sRest.empty()) {
        xmlStripStartSpaces(sRest);
        if (sRest.empty() || sRest.front() != '<') {
            const std::size_t iText = std::min(xmlFindUnquoted(sRest, '<'), sRest.size());
            File.SetTagData(File.iChild, std::string(sRest.substr(0, iText)));
            sRest.remove_prefix(iText);
            continue;
        }
        const std::size_t iClose = sRest.find('>');
        const std::size_t iLength = iClose == std::string_view::npos ? sRest.size() : iClose + 1;
        ReadTag(sRest.substr(1, iLength - 1), File);
        sRest.remove_prefix(iLength);
    }
}
