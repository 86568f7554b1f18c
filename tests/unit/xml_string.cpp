#include <gtest/gtest.h>
#include <string>

#include "xml/xmlString.h"

namespace {

template <class tStrip> std::string Stripped(std::string sText, tStrip Strip) {
    Strip(sText);
    return sText;
}

} // namespace

TEST(xmlString, SpacesAreStrippedButTheFirstCharacterStays) {
    auto Start = [](std::string& s) { xmlStripStartSpaces(s); };
    auto End = [](std::string& s) { xmlStripEndSpaces(s); };
    EXPECT_EQ(Stripped("  a b ", Start), "a b ");
    EXPECT_EQ(Stripped("   ", Start), "");
    EXPECT_EQ(Stripped("\ta", Start), "\ta");
    EXPECT_EQ(Stripped(" a b  ", End), " a b");
    EXPECT_EQ(Stripped("   ", End), " ");
    EXPECT_EQ(Stripped("", End), "");
}

TEST(xmlString, WordsEndAtUnquotedDelimiters) {
    for (auto [sText, sWord] : {std::pair<std::string, std::string>{"name = x", "name"},
                                {"a/>", "a"},
                                {"x=1", "x"},
                                {"\"A l/>=\" rest", "\"A l/>=\""},
                                {"'a b'", "'a"},
                                {"whole", "whole"},
                                {"/>", ""},
                                {"\"open / >", "\"open / >"}})
        EXPECT_EQ(xmlGetWord(sText), sWord) << sText;
}

TEST(xmlString, StrippingAWordTakesTheSpacesAfterIt) {
    auto Strip = [](std::string& s) { xmlStripOneWord(s); };
    EXPECT_EQ(Stripped("name  = x", Strip), "= x");
    EXPECT_EQ(Stripped("\"a b\" c", Strip), "c");
    EXPECT_EQ(Stripped("word", Strip), "");
    for (const char* sDelimited : {" a", "/a", ">a", "=a"})
        EXPECT_EQ(Stripped(sDelimited, Strip), "") << sDelimited;
}

TEST(xmlString, OnlyOneEnclosingPairOfQuotesIsRemoved) {
    auto Strip = [](std::string& s) { xmlStripQuotes(s); };
    EXPECT_EQ(Stripped("\"Al\"", Strip), "Al");
    EXPECT_EQ(Stripped("\"\"a\"\"", Strip), "\"a\"");
    EXPECT_EQ(Stripped("\"", Strip), "");
    EXPECT_EQ(Stripped("\"Al", Strip), "\"Al");
    EXPECT_EQ(Stripped("'Al'", Strip), "'Al'");
}

TEST(xmlString, SearchesSkipQuotedCharacters) {
    EXPECT_EQ(xmlFindTerminator("a x=\"1/2\" />"), 10);
    EXPECT_EQ(xmlFindTerminator("a x=\"1/2>"), -1);
    EXPECT_EQ(xmlFindChar("text \"<b>\" <c>", "<"), 11);
    EXPECT_EQ(xmlFindChar("?xml v=\"1.0\"?>", "?"), 0);
    EXPECT_EQ(xmlFindChar("abc", "d"), -1);
    EXPECT_EQ(xmlFindChar("abc", "bc"), -1);
}
