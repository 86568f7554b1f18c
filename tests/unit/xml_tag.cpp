#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "xml/cTag.h"
#include "xml/cXmlFile.h"
#include "xml/xmlParseString.h"

namespace {

cTag* NewTag(int iType, const std::string& sName, int iId = -1) {
    cTag* pTag = new cTag;
    pTag->iType = iType;
    pTag->sName = sName;
    pTag->iId = iId;
    return pTag;
}

std::string Written(const cTag& Tag, int iLevel) {
    std::ostringstream Out;
    Tag.Write(Out, iLevel);
    return Out.str();
}

std::string Names(const std::vector<cTag*>& vTags) {
    std::string sNames;
    for (const cTag* pTag : vTags)
        sNames += pTag->sName;
    return sNames;
}

} // namespace

TEST(cTag, WritesAttributesInNameOrderAndEmptyValuesBare) {
    cTag Entry;
    Entry.iType = TAG_EMPTY;
    Entry.sName = "entry";
    Entry.mAttributes = {{"score", "7"}, {"name", "Al"}};
    EXPECT_EQ(Written(Entry, 1), " <entry name = \"Al\" score = \"7\" />\n");
    Entry.mAttributes["name"] = "";
    Entry.sData = "never written";
    EXPECT_EQ(Written(Entry, 0), "<entry name score = \"7\" />\n");
    Entry.iType = 7;
    EXPECT_EQ(Written(Entry, 0), "");
}

TEST(cTag, IndentsChildrenAndPlacesEndTags) {
    cTag Start;
    Start.iType = TAG_START;
    Start.sName = "HallOfFame";
    Start.AddTag(NewTag(TAG_EMPTY, "a"));
    EXPECT_EQ(Written(Start, 0), "<HallOfFame >\n <a />\n");
    cTag End;
    End.iType = TAG_END;
    End.sName = "HallOfFame";
    EXPECT_EQ(Written(End, 0), "</HallOfFame>\n");
    Start.AddTag(NewTag(TAG_END, "HallOfFame"));
    EXPECT_EQ(Written(Start, 2), "  <HallOfFame >\n   <a />\n  </HallOfFame>\n");
}

TEST(cTag, GathersInPreOrder) {
    cTag Root;
    Root.sName = "R";
    cTag* pA = NewTag(TAG_START, "A");
    pA->AddTag(NewTag(TAG_EMPTY, "1"));
    Root.AddTag(pA);
    Root.AddTag(NewTag(TAG_EMPTY, "B"));
    std::vector<cTag*> vTags;
    Root.Gather(vTags);
    EXPECT_EQ(Names(vTags), "RA1B");
}

TEST(cTag, SearchesByNumberFollowTheTree) {
    cTag Root;
    Root.iId = 1;
    EXPECT_EQ(Root.GetParent(1), -2);
    cTag* pA = NewTag(TAG_START, "A", 2);
    cTag* pDeep = NewTag(TAG_EMPTY, "deep", 3);
    pDeep->iParentId = 20;
    pA->AddTag(pDeep);
    Root.AddTag(pA);
    cTag* pLater = NewTag(TAG_EMPTY, "later", 3);
    pLater->iParentId = 30;
    Root.AddTag(pLater);
    EXPECT_EQ(Root.GetParent(3), 20);
    EXPECT_EQ(Root.GetParent(9), -2);

    Root.SetTagData(3, "x");
    Root.SetTagData(9, "y");
    EXPECT_EQ(pDeep->sData + pLater->sData + pA->sData + Root.sData, "xx");
}

TEST(cTag, AttachesUnderANumberAtMostOnce) {
    cTag Root;
    Root.iId = 1;
    cTag* pA = NewTag(TAG_START, "A", 5);
    pA->AddTag(NewTag(TAG_START, "A1", 1));
    Root.AddTag(pA);
    Root.AddTag(NewTag(TAG_START, "B", 5));
    Root.AddTag(NewTag(TAG_EMPTY, "x"), 5);
    Root.AddTag(NewTag(TAG_EMPTY, "y"), 1);
    std::vector<cTag*> vTags;
    Root.Gather(vTags);
    EXPECT_EQ(Names(vTags), "AA1xBy");

    cTag* pStray = NewTag(TAG_EMPTY, "stray");
    Root.AddTag(pStray, 99);
    vTags.clear();
    Root.Gather(vTags);
    EXPECT_EQ(vTags.size(), 6u);
    delete pStray;
}

// A file of nothing but start tags nests as deep as it is long; taking it apart must not recurse.
TEST(cTag, SurvivesAVeryDeepTree) {
    auto* pFile = new cXmlFile;
    for (int i = 0; i < 400000; ++i)
        xmlParseString("<a>", *pFile);
    std::vector<cTag*> vTags;
    pFile->vTags[0]->Gather(vTags);
    EXPECT_EQ(vTags.size(), 400000u);
    EXPECT_EQ(pFile->GetParent(399999), 399998);
    EXPECT_EQ(pFile->vTags[0]->GetParent(399999), 399998);
    delete pFile;
}
