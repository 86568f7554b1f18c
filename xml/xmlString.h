#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The string primitives of the reader. A double quote toggles a quoted state while a string is
// scanned from its start; the word delimiters are the space, "/", ">" and "=", each only when it is
// not quoted. Only the space counts as white space.
//
// Each primitive also comes in a form that works on a view, which the reader uses so that a long
// line is never copied or shifted once per tag.

void xmlStripStartSpaces(std::string& sText);
void xmlStripStartSpaces(std::string_view& sText);

// Removes trailing spaces but never the first character: a string of spaces keeps one.
void xmlStripEndSpaces(std::string& sText);
void xmlStripEndSpaces(std::string_view& sText);

// The characters up to the first word delimiter, quotes included, or the whole string.
std::string xmlGetWord(std::string& sText);
std::string_view xmlGetWord(std::string_view sText);

// Removes the word and the spaces after it. A string that is one word, or that begins with a
// delimiter, becomes empty.
void xmlStripOneWord(std::string& sText);
void xmlStripOneWord(std::string_view& sText);

// Removes one pair of enclosing double quotes; a lone double quote becomes empty.
void xmlStripQuotes(std::string& sText);
void xmlStripQuotes(std::string_view& sText);

// The position of the first unquoted "/", or -1.
int xmlFindTerminator(std::string_view sText);

// The position of the first unquoted occurrence of the one-character string, or -1.
int xmlFindChar(std::string_view sText, std::string_view sChar);

// The position of the first unquoted occurrence of the character, or npos.
std::size_t xmlFindUnquoted(std::string_view sText, char cWanted);

// The text with "&", "<", ">" and the double quote written as the entities XML has for them, and
// line feeds, carriage returns and tabs as character references, which keeps a value on its line.
std::string xmlEscape(std::string_view sText);

// The text with the entities "&quot;", "&amp;", "&lt;", "&gt;", "&apos;" and the character
// references "&#N;" and "&#xN;" replaced by what they stand for; anything else stays as it is.
std::string xmlUnescape(std::string_view sText);
