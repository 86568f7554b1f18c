#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "xml/cTag.h"

// An XML document: the top-level tags, which it owns, and the numbering of the tags added to it.
class cXmlFile {
public:
    cXmlFile() = default;
    ~cXmlFile();
    cXmlFile(const cXmlFile&) = delete;
    cXmlFile& operator=(const cXmlFile&) = delete;

    // Numbers the tag and appends it to the top level; the document owns it. Returns its number.
    int AddTag(cTag* pTag);
    // Numbers the tag and appends it under the tag carrying the parent number. Returns its number,
    // which is used up even when no tag carries the parent number; the tag is then destroyed.
    int AddTag(cTag* pTag, int iParentNumber);
    // The position in the top-level list of the first tag with this name, or -1.
    int GetTagIndex(const std::string& sName) const;
    // The recorded parent number of the tag carrying the number; -1 for a top-level tag or none.
    int GetParent(int iNumber);
    // Appends the text to the tag carrying the number, if any.
    void SetTagData(int iNumber, std::string sText);
    // Reads the file line by line into this document; false if it is missing or cannot be read
    // (cSafeFile tells what is read).
    bool Read(const std::string& sFileName);
    // Reads the text line by line into this document.
    void ReadText(const std::string& sText);
    // The document as Save writes it.
    std::string Text() const;
    // Replaces the file with this document as cSafeFile does, or leaves it untouched and returns
    // false with errno telling why.
    bool Save(const std::string& sFileName) const;

    std::vector<cTag*> vTags;
    int iNextId = 0;
    // The reader's place in the tree: the open element and the element completed last. Every Read
    // starts them afresh, so that a damaged file cannot spoil the next one.
    int iParent = -1;
    int iChild = 0;
    // Inside a comment that has not ended yet; the start of a tag whose ">" is still to come.
    bool bInComment = false;
    std::string sOpenTag;

private:
    struct cIndexEntry {
        cTag* pTag;
        bool bTopLevel;
    };

    // The tag carrying the number: through the index for tags the document numbered, which keeps
    // reading a large file linear, else by walking the tree for tags hung in by hand.
    cTag* Find(int iNumber);

    std::unordered_map<int, cIndexEntry> mIndex;
};
