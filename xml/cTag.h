#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

// Kinds of tag: a start tag and its end tag are two separate tags; "<name ... />" is one.
const int TAG_START = 0;
const int TAG_END = 1;
const int TAG_EMPTY = 2;

// One tag of a document with the tags nested under it, which it owns.
//
// Every walk over a subtree keeps its own list of pending tags instead of recursing, so that a
// damaged file nested hundreds of thousands of levels deep cannot exhaust the stack.
class cTag {
public:
    cTag() = default;
    ~cTag();
    cTag(const cTag&) = delete;
    cTag& operator=(const cTag&) = delete;

    // Appends the tag to the children; this tag owns it from now on.
    void AddTag(cTag* pTag);
    // Appends the tag to the children of the first tag of this subtree, in pre-order, that carries
    // the number. A tag never gets two owners, even in a hand-built tree where numbers repeat. If
    // no tag carries the number, the tag stays the caller's.
    void AddTag(cTag* pTag, int iParentNumber);
    // Appends the text to every tag of this subtree that carries the number.
    void SetTagData(int iNumber, std::string sText);
    // The recorded parent number of the first descendant carrying the number, or -2 if none does.
    int GetParent(int iNumber);
    // The first tag of this subtree, in pre-order, that carries the number, or null.
    cTag* Find(int iNumber);
    // Writes this tag and its subtree, indented by one space per level.
    void Write(std::ostream& Out, int iLevel) const;
    // Appends this tag and all its descendants, in pre-order; the list does not own them.
    void Gather(std::vector<cTag*>& vList);

    std::vector<cTag*> vChildren;
    std::string sName;
    std::map<std::string, std::string> mAttributes;
    // Text the reader met after this tag; it lives in memory only and is never written.
    std::string sData;
    // The number of the tag this one was read under, -1 for none.
    int iParentId = -1;
    // Numbers identify tags within their document; -1 is no number.
    int iId = -1;
    // An unclassified tag writes nothing until its creator sets the kind.
    int iType = -1;

private:
    // Writes the tag itself and returns the level its children are written at.
    int WriteSelf(std::ostream& Out, int iLevel) const;
};
