#pragma once

#include <string>

class cXmlFile;

// Reads one line of XML, without its line feed, into the document: every start tag, end tag and
// empty-element tag becomes a numbered tag hung into the tree at the document's current place,
// and text between tags goes to the element completed last. Comments are skipped, and a tag that
// goes on over the next lines is read once its ">" has come.
void xmlParseString(std::string sLine, cXmlFile& File);
// Ends the document: a tag still waiting for its ">" is read as it stands.
void xmlParseEnd(cXmlFile& File);
