#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "xml/cXmlFile.h"
#include "xml/xmlParseString.h"

namespace {

// A compact picture of a tree: "a(b/ c{x=1}/)" is a start tag "a" holding the empty-element tags
// "b" and "c", "/a" an end tag; top-level tags are separated by spaces.
std::string Describe(const cTag* pTag) {
    std::string sText = pTag->iType == TAG_END ? "/" + pTag->sName : pTag->sName;
    if (!pTag->mAttributes.empty()) {
        sText += "{";
        for (const auto& [sName, sValue] : pTag->mAttributes)
            sText += (sText.back() == '{' ? "" : ",") + sName + "=" + sValue;
        sText += "}";
    }
    if (pTag->iType == TAG_EMPTY)
        sText += "/";
    if (!pTag->vChildren.empty()) {
        sText += "(";
        for (const cTag* pChild : pTag->vChildren)
            sText += (sText.back() == '(' ? "" : " ") + Describe(pChild);
        sText += ")";
    }
    return sText;
}

std::string Describe(const cXmlFile& File) {
    std::string sText;
    for (const cTag* pTag : File.vTags)
        sText += (sText.empty() ? "" : " ") + Describe(pTag);
    return sText;
}

std::string Parse(cXmlFile& File, const std::vector<std::string>& vLines) {
    for (const std::string& sLine : vLines)
        xmlParseString(sLine, File);
    return Describe(File);
}

std::string Parse(const std::vector<std::string>& vLines) {
    cXmlFile File;
    return Parse(File, vLines);
}

} // namespace

TEST(xmlParseString, ReadsTheHallOfFameFile) {
    cXmlFile File;
    EXPECT_EQ(Parse(File, {"<?xml version = \"1.0\"?>", "", "<HallOfFame >",
                           " <entry name = \"Al\" score = \"7\" />",
                           " <entry name = \"Bo\" score = \"-3\" />", "</HallOfFame>"}),
              "HallOfFame(entry{name=Al,score=7}/ entry{name=Bo,score=-3}/) /HallOfFame");
    EXPECT_EQ(File.vTags[0]->iId, 0);
    EXPECT_EQ(File.vTags[0]->vChildren[1]->iId, 2);
    EXPECT_EQ(File.vTags[0]->vChildren[1]->iParentId, 0);
    EXPECT_EQ(File.vTags[1]->iId, 3);
    EXPECT_EQ(File.iNextId, 4);
    EXPECT_EQ(File.iParent, -1);
    EXPECT_EQ(File.iChild, 0);
}

TEST(xmlParseString, SeveralTagsOnALineReadAsOnSeparateLines) {
    EXPECT_EQ(Parse({"<a><b/></a>"}), Parse({"<a>", "<b/>", "</a>"}));
    EXPECT_EQ(Parse({"<a><b/></a>"}), "a(b/) /a");
}

TEST(xmlParseString, DeclarationsAndQuestionTagsConsumeNoNumber) {
    cXmlFile File;
    EXPECT_EQ(Parse(File, {"<?xml version = \"1.0\"?>", "<?odd tag>", "<a/>"}), "a/");
    EXPECT_EQ(File.vTags[0]->iId, 0);
}

TEST(xmlParseString, ReadsEmptyElementTagsAndTheirValues) {
    for (const char* sLine : {"<entry/>", "<entry />"})
        EXPECT_EQ(Parse({sLine}), "entry/");
    for (const char* sLine : {"<entry name=\"Al\"/>", "<entry name = \"Al\" />"})
        EXPECT_EQ(Parse({sLine}), "entry{name=Al}/");
    EXPECT_EQ(Parse({"<a x=1>"}), "a{x=1}");
    EXPECT_EQ(Parse({"<e v=\"A l/x\" w='a b' />"}), "e{v=A l/x,w='a}/");
    EXPECT_EQ(Parse({"<e drop x=/>"}), "e{x=}/");
    EXPECT_EQ(Parse({"<e x=\"1\" x=\"2\"/>"}), "e{x=1}/");
}

TEST(xmlParseString, AGreaterThanSignInsideAValueEndsTheTag) {
    cXmlFile File;
    EXPECT_EQ(Parse(File, {"<e v=\"a>b\"/>", "<f/>"}), "e{v=\"a>}(f/)");
    EXPECT_EQ(File.vTags[0]->sData, "b\"/>");
}

TEST(xmlParseString, ATagCutAtTheLineEndStaysOpen) {
    cXmlFile File;
    EXPECT_EQ(Parse(File, {"<a x=\"1\"", "y=\"2\"><b/>"}), "a{x=1}(b/)");
    EXPECT_EQ(File.vTags[0]->sData, "y=\"2\">");
}

TEST(xmlParseString, TextGoesToTheElementCompletedLast) {
    cXmlFile File;
    Parse(File, {"<a><b/>Al</a>", "  ", "<c ></c>", "tail"});
    EXPECT_EQ(File.vTags[0]->sData, "");
    EXPECT_EQ(File.vTags[0]->vChildren[0]->sData, "Al");
    EXPECT_EQ(File.vTags[2]->sData, "tail");
    EXPECT_EQ(File.vTags[3]->sData, "");
}

TEST(xmlParseString, EndTagsCloseWhateverIsOpen) {
    EXPECT_EQ(Parse({"<a >", "</a >", "<b>", "</ b>", "<c>", "</HallOfFame"}),
              "a /a b / b c /HallOfFam");
    cXmlFile File;
    EXPECT_EQ(Parse(File, {"<a >", "<a >", "</a>", "</a>"}), "a(a) /a /a");
    EXPECT_EQ(File.vTags[0]->vChildren[0]->iId, 1);
    EXPECT_EQ(File.vTags[1]->iId, 2);
    EXPECT_EQ(File.iParent, -1);
    EXPECT_EQ(File.iChild, 0);
    Parse(File, {"</z>"});
    EXPECT_EQ(File.iParent, -1);
    EXPECT_EQ(File.iChild, -1);
}

TEST(xmlParseString, UnrecognisedTextIsReadPredictably) {
    EXPECT_EQ(Parse({"<!-- note --><a/>"}), "!--(a/)");
    cXmlFile File;
    EXPECT_EQ(Parse(File, {"<a/>\t<b/>\r", "x\"<c/>"}), "a/ b/");
    EXPECT_EQ(File.vTags[0]->sData, "\t");
    EXPECT_EQ(File.vTags[1]->sData, "\rx\"<c/>");
}
