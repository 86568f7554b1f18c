#include "xml/xmlString.h"

#include <utility>

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

// The code point in UTF-8.
void AppendUtf8(std::string& sOut, unsigned long iCode) {
    if (iCode < 0x80) {
        sOut += static_cast<char>(iCode);
        return;
    }
    const int iBytes = iCode < 0x800 ? 2 : iCode < 0x10000 ? 3 : 4;
    sOut += static_cast<char>((0xF00 >> iBytes) | (iCode >> (6 * (iBytes - 1))));
    for (int i = iBytes - 2; i >= 0; --i)
        sOut += static_cast<char>(0x80 | ((iCode >> (6 * i)) & 0x3F));
}

// The character a reference between "&" and ";" stands for, appended; false when it is none that
// XML allows.
bool AppendReference(std::string& sOut, std::string_view sName) {
    const std::pair<const char*, char> aEntities[] = {
        {"quot", '"'}, {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"apos", '\''}};
    for (const auto& [sEntity, c] : aEntities)
        if (sName == sEntity) {
            sOut += c;
            return true;
        }
    if (sName.size() < 2 || sName[0] != '#')
        return false;
    const bool bHex = sName[1] == 'x';
    const std::string sDigits(sName.substr(bHex ? 2 : 1));
    if (sDigits.empty() || sDigits.size() > 8 ||
        sDigits.find_first_not_of(bHex ? "0123456789abcdefABCDEF" : "0123456789") !=
            std::string::npos)
        return false;
    const unsigned long iCode = std::stoul(sDigits, nullptr, bHex ? 16 : 10);
    const bool bAllowed =
        iCode == 0x9 || iCode == 0xA || iCode == 0xD || (iCode >= 0x20 && iCode <= 0xD7FF) ||
        (iCode >= 0xE000 && iCode <= 0xFFFD) || (iCode >= 0x10000 && iCode <= 0x10FFFF);
    if (bAllowed)
        AppendUtf8(sOut, iCode);
    return bAllowed;
}

} // namespace

std::string xmlEscape(std::string_view sText) {
    std::string sOut;
    for (const char c : sText) {
        switch (c) {
        case '&':
            sOut += "&amp;";
            break;
        case '<':
            sOut += "&lt;";
            break;
        case '>':
            sOut += "&gt;";
            break;
        case '"':
            sOut += "&quot;";
            break;
        case '\n':
            sOut += "&#10;";
            break;
        case '\r':
            sOut += "&#13;";
            break;
        case '\t':
            sOut += "&#9;";
            break;
        default:
            sOut += c;
        }
    }
    return sOut;
}

std::string xmlUnescape(std::string_view sText) {
    std::size_t i = sText.find('&');
    std::string sOut(sText.substr(0, i));
    while (i < sText.size()) {
        // No reference is longer than "&#x10FFFF;": the search for its end stops there.
        const std::size_t iEnd =
            sText[i] == '&' ? sText.substr(i, 11).find(';') : std::string_view::npos;
        if (iEnd != std::string_view::npos &&
            AppendReference(sOut, sText.substr(i + 1, iEnd - 1))) {
            i += iEnd + 1;
            continue;
        }
        sOut += sText[i++];
    }
    return sOut;
}

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
