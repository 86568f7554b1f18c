#include "xml/cXmlFile.h"

#include <sstream>

#include "xml/cSafeFile.h"
#include "xml/xmlParseString.h"

cXmlFile::~cXmlFile() {
    for (cTag* pTag : vTags)
        delete pTag;
    vTags.clear();
}

int cXmlFile::AddTag(cTag* pTag) {
    pTag->iId = iNextId++;
    vTags.push_back(pTag);
    mIndex.emplace(pTag->iId, cIndexEntry{pTag, true});
    return pTag->iId;
}

int cXmlFile::AddTag(cTag* pTag, int iParentNumber) {
    const int iNumber = iNextId++;
    pTag->iId = iNumber;
    cTag* pParent = Find(iParentNumber);
    if (!pParent) {
        delete pTag;
        return iNumber;
    }
    pParent->AddTag(pTag);
    mIndex.emplace(iNumber, cIndexEntry{pTag, false});
    return iNumber;
}

int cXmlFile::GetTagIndex(const std::string& sName) const {
    for (std::size_t i = 0; i < vTags.size(); ++i)
        if (vTags[i] && vTags[i]->sName == sName)
            return static_cast<int>(i);
    return -1;
}

// Negative numbers name no tag; they are answered without a walk, because the reader asks for -1
// after every end tag that closes nothing.
int cXmlFile::GetParent(int iNumber) {
    const auto it = mIndex.find(iNumber);
    if (it != mIndex.end())
        return it->second.bTopLevel ? -1 : it->second.pTag->iParentId;
    if (iNumber < 0)
        return -1;
    for (cTag* pTag : vTags) {
        if (!pTag)
            continue;
        if (pTag->iId == iNumber)
            return -1;
        const int iParentNumber = pTag->GetParent(iNumber);
        if (iParentNumber != -2)
            return iParentNumber;
    }
    return -1;
}

void cXmlFile::SetTagData(int iNumber, std::string sText) {
    const auto it = mIndex.find(iNumber);
    if (it != mIndex.end()) {
        it->second.pTag->sData += sText;
        return;
    }
    if (iNumber < 0)
        return;
    for (cTag* pTag : vTags)
        if (pTag)
            pTag->SetTagData(iNumber, sText);
}

cTag* cXmlFile::Find(int iNumber) {
    const auto it = mIndex.find(iNumber);
    if (it != mIndex.end())
        return it->second.pTag;
    if (iNumber < 0)
        return nullptr;
    for (cTag* pTag : vTags)
        if (cTag* pFound = pTag ? pTag->Find(iNumber) : nullptr)
            return pFound;
    return nullptr;
}

bool cXmlFile::Read(const std::string& sFileName) {
    cSafeFile File(sFileName);
    std::string sText;
    if (!File.Read(sText) || File.bMissing)
        return false;
    ReadText(sText);
    return true;
}

void cXmlFile::ReadText(const std::string& sText) {
    iParent = -1;
    iChild = 0;
    bInComment = false;
    sOpenTag.clear();
    std::istringstream In(sText);
    std::string sLine;
    while (std::getline(In, sLine))
        xmlParseString(sLine, *this);
    xmlParseEnd(*this);
}

std::string cXmlFile::Text() const {
    std::ostringstream Out;
    Out << "<?xml version = \"1.0\"?>\n\n";
    for (const cTag* pTag : vTags)
        if (pTag)
            pTag->Write(Out, 0);
    return Out.str();
}

bool cXmlFile::Save(const std::string& sFileName) const {
    cSafeFile File(sFileName);
    return File.Lock() && File.Replace(Text());
}
