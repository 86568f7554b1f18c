#include "xml/xmlString.h"

namespace {

bool IsDelimiter(char c) {
    return c == ' ' || c == '/' || c == '>' || c == '=';
}

int AsPosition(std::size_t iPosition) {
    return iPosition == std::string_view::npos ? -1 : static_cast<int>(iPosition);
}

// Runs a view primitive on a string and keeps what is left of it.
template <class tStrip> void StripString(std::string& sText, tStrip Strip) {
    std::string_view sView = sText;
    Strip(sView);
    sText = std::string(sView);
}

} // namespace

void xmlStripStartSpaces(std::string_view& sText) {
    const std::size_t iFirst = sText.find_first_not_of(' ');
    sText.remove_prefix(iFirst == std::string_view::npos ? sText.size() : iFirst);
}

void xmlStripStartSpaces(std::string& sText) {
    StripString(sText, [](std::string_view& sView) { xmlStripStartSpaces(sView); });
}

void xmlStripEndSpaces(std::string_view& sText) {
    std::size_t iLength = sText.size();
    while (iLength > 1 && sText[iLength - 1] == ' ')
        --iLength;
    sText = sText.substr(0, iLength);
}

void xmlStripEndSpaces(std::string& sText) {
    StripString(sText, [](std::string_view& sView) { xmlStripEndSpaces(sView); });
}

std::string_view xmlGetWord(std::string_view sText) {
    bool bQuoted = false;
    for (std::size_t i = 0; i < sText.size(); ++i) {
        if (sText[i] == '"')
            bQuoted = !bQuoted;
        else if (!bQuoted && IsDelimiter(sText[i]))
            return sText.substr(0, i);
    }
    return sText;
}

std::string xmlGetWord(std::string& sText) {
    return std::string(xmlGetWord(std::string_view(sText)));
}

void xmlStripOneWord(std::string_view& sText) {
    const std::size_t iWord = xmlGetWord(sText).size();
    if (iWord == 0 || iWord == sText.size()) {
        sText = std::string_view();
        return;
    }
    sText.remove_prefix(iWord);
    xmlStripStartSpaces(sText);
}

void xmlStripOneWord(std::string& sText) {
    StripString(sText, [](std::string_view& sView) { xmlStripOneWord(sView); });
}

void xmlStripQuotes(std::string_view& sText) {
    if (sText.empty() || sText.front() != '"' || sText.back() != '"')
        return;
    sText = sText.size() == 1 ? std::string_view() : sText.substr(1, sText.size() - 2);
}

void xmlStripQuotes(std::string& sText) {
    StripString(sText, [](std::string_view& sView) { xmlStripQuotes(sView); });
}

std::size_t xmlFindUnquoted(std::string_view sText, char cWanted) {
    bool bQuoted = false;
    for (std::size_t i = 0; i < sText.size(); ++i) {
        if (!bQuoted && sText[i] == cWanted)
            return i;
        if (sText[i] == '"')
            bQuoted = !bQuoted;
    }
    return std::string_view::npos;
}

int xmlFindTerminator(std::string_view sText) {
    return AsPosition(xmlFindUnquoted(sText, '/'));
}

int xmlFindChar(std::string_view sText, std::string_view sChar) {
    if (sChar.size() != 1)
        return -1;
    return AsPosition(xmlFindUnquoted(sText, sChar[0]));
}
