#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "xml/cXmlFile.h"

namespace {

std::string InFolder(const char* sName) {
    const char* sFolder = std::getenv("XML_FUZZ_FOLDER");
    return std::string(sFolder ? sFolder : ".") + "/" + sName;
}

// The document finds tags through its index; the answers must be those of a walk over the tree.
void CheckParents(cXmlFile& File) {
    if (File.iNextId > 300)
        return;
    for (int iNumber = -1; iNumber < File.iNextId; ++iNumber) {
        int iWalked = -1;
        for (cTag* pTag : File.vTags) {
            const int iParent = pTag->iId == iNumber ? -1 : pTag->GetParent(iNumber);
            if (pTag->iId == iNumber || iParent != -2) {
                iWalked = iParent;
                break;
            }
        }
        if (File.GetParent(iNumber) != iWalked)
            std::abort();
    }
}

// Any bytes as a name: written escaped, they read back as they were.
void CheckName(const std::string& sName) {
    cXmlFile Written;
    Written.ReadText("<HallOfFame >\n<entry />\n</HallOfFame>");
    Written.vTags[0]->vChildren[0]->mAttributes["name"] = sName;
    cXmlFile Read;
    Read.ReadText(Written.Text());
    if (Read.vTags.size() != 2 || Read.vTags[0]->vChildren.size() != 1 ||
        Read.vTags[0]->vChildren[0]->mAttributes["name"] != sName)
        std::abort();
}

} // namespace

// Any bytes as a file to read, then the read-save-read cycle of the hall of fame.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t iSize) {
    static const std::string sInput = InFolder("input.xml");
    static const std::string sSaved = InFolder("saved.xml");
    std::ofstream(sInput, std::ios::binary)
        .write(reinterpret_cast<const char*>(pData), static_cast<std::streamsize>(iSize));

    cXmlFile First;
    if (!First.Read(sInput))
        std::abort();
    CheckParents(First);
    if (!First.Save(sSaved))
        std::abort();
    cXmlFile Second;
    if (!Second.Read(sSaved))
        std::abort();
    CheckParents(Second);
    CheckName(std::string(reinterpret_cast<const char*>(pData), iSize));
    return 0;
}
