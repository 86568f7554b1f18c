#include "xml/cTag.h"

#include <utility>

#include "xml/xmlString.h"

cTag::~cTag() {
    std::vector<cTag*> vDescendants;
    for (cTag* pChild : vChildren)
        if (pChild)
            pChild->Gather(vDescendants);
    // Each descendant is destroyed with its children already taken away, so no destructor recurses.
    for (cTag* pTag : vDescendants) {
        pTag->vChildren.clear();
        delete pTag;
    }
}

void cTag::AddTag(cTag* pTag) {
    vChildren.push_back(pTag);
}

void cTag::AddTag(cTag* pTag, int iParentNumber) {
    if (cTag* pParent = Find(iParentNumber))
        pParent->AddTag(pTag);
}

void cTag::SetTagData(int iNumber, std::string sText) {
    std::vector<cTag*> vTags;
    Gather(vTags);
    for (cTag* pTag : vTags)
        if (pTag->iId == iNumber)
            pTag->sData += sText;
}

int cTag::GetParent(int iNumber) {
    std::vector<cTag*> vTags;
    Gather(vTags);
    for (std::size_t i = 1; i < vTags.size(); ++i)
        if (vTags[i]->iId == iNumber)
            return vTags[i]->iParentId;
    return -2;
}

cTag* cTag::Find(int iNumber) {
    std::vector<cTag*> vTags;
    Gather(vTags);
    for (cTag* pTag : vTags)
        if (pTag->iId == iNumber)
            return pTag;
    return nullptr;
}

void cTag::Write(std::ostream& Out, int iLevel) const {
    std::vector<std::pair<const cTag*, int>> vPending{{this, iLevel}};
    while (!vPending.empty()) {
        const auto [pTag, iTagLevel] = vPending.back();
        vPending.pop_back();
        const int iChildLevel = pTag->WriteSelf(Out, iTagLevel);
        for (auto it = pTag->vChildren.rbegin(); it != pTag->vChildren.rend(); ++it)
            if (*it)
                vPending.emplace_back(*it, iChildLevel);
    }
}

void cTag::Gather(std::vector<cTag*>& vList) {
    std::vector<cTag*> vPending{this};
    while (!vPending.empty()) {
        cTag* pTag = vPending.back();
        vPending.pop_back();
        vList.push_back(pTag);
        for (auto it = pTag->vChildren.rbegin(); it != pTag->vChildren.rend(); ++it)
            if (*it)
                vPending.push_back(*it);
    }
}

namespace {

void WriteIndent(std::ostream& Out, int iLevel) {
    for (int i = 0; i < iLevel; ++i)
        Out << ' ';
}

// A value goes out escaped, so that any text reads back as it was, and an empty one as "", so
// that it reads back at all.
void WriteAttributes(std::ostream& Out, const std::map<std::string, std::string>& mAttributes) {
    for (const auto& [sName, sValue] : mAttributes)
        Out << sName << " = \"" << xmlEscape(sValue) << "\" ";
}

} // namespace

int cTag::WriteSelf(std::ostream& Out, int iLevel) const {
    switch (iType) {
    case TAG_START:
        WriteIndent(Out, iLevel);
        Out << '<' << sName << ' ';
        WriteAttributes(Out, mAttributes);
        Out << ">\n";
        return iLevel + 1;
    case TAG_END:
        WriteIndent(Out, iLevel - 1);
        Out << "</" << sName << ">\n";
        return iLevel - 1;
    case TAG_EMPTY:
        WriteIndent(Out, iLevel);
        Out << '<' << sName << ' ';
        WriteAttributes(Out, mAttributes);
        Out << "/>\n";
        return iLevel;
    default:
        return iLevel;
    }
}
