#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/Files.h"
#include "xml/cXmlFile.h"
#include "xml/xmlParseString.h"
#include "xml/xmlString.h"

namespace fs = std::filesystem;

namespace {

cTag* NewTag(int iType, const std::string& sName, int iId = -1) {
    cTag* pTag = new cTag;
    pTag->iType = iType;
    pTag->sName = sName;
    pTag->iId = iId;
    return pTag;
}

// A tree in short: "a(b/ c{x=1}/)", "/a" an end tag, "[t]" a tag's text, top-level tags by spaces.
std::string Describe(const cTag* pTag) {
    std::string s = (pTag->iType == TAG_END ? "/" : "") + pTag->sName;
    for (const auto& [sName, sValue] : pTag->mAttributes)
        s += (s.back() == '}' ? (s.pop_back(), ",") : "{") + sName + "=" + sValue + "}";
    s += (pTag->iType == TAG_EMPTY ? "/" : "") +
         (pTag->sData.empty() ? "" : "[" + pTag->sData + "]");
    for (const cTag* pChild : pTag->vChildren)
        s += (pChild == pTag->vChildren.front() ? "(" : " ") + Describe(pChild);
    return s + (pTag->vChildren.empty() ? "" : ")");
}

// Reads the lines, separated by "|", into the document and describes it.
std::string Parse(cXmlFile& File, const std::string& sLines) {
    std::istringstream Lines(sLines);
    for (std::string sLine; std::getline(Lines, sLine, '|');)
        xmlParseString(sLine, File);
    xmlParseEnd(File);
    std::string s;
    for (const cTag* pTag : File.vTags)
        s += (s.empty() ? "" : " ") + Describe(pTag);
    return s;
}

// The document the hall of fame saves: entries under a start tag, its end tag beside it.
void BuildHallOfFame(cXmlFile& File, std::vector<std::pair<std::string, int>> vEntries) {
    File.vTags = {NewTag(TAG_START, "HallOfFame"), NewTag(TAG_END, "HallOfFame")};
    for (const auto& [sName, iScore] : vEntries) {
        File.vTags[0]->AddTag(NewTag(TAG_EMPTY, "entry"));
        File.vTags[0]->vChildren.back()->mAttributes = {{"name", sName},
                                                        {"score", std::to_string(iScore)}};
    }
}

} // namespace

TEST(xmlString, PrimitivesSkipQuotedDelimiters) {
    const auto Strip = [](void (*pStrip)(std::string&), std::string s) { return pStrip(s), s; };
    EXPECT_EQ(Strip(xmlStripStartSpaces, "  a b ") + Strip(xmlStripStartSpaces, "\ta"), "a b \ta");
    EXPECT_EQ(Strip(xmlStripEndSpaces, " a b  ") + "|" + Strip(xmlStripEndSpaces, "   "), " a b| ");
    EXPECT_EQ(Strip(xmlStripOneWord, "\"a b\" c") + "|" + Strip(xmlStripOneWord, "/a"), "c|");
    EXPECT_EQ(Strip(xmlStripQuotes, "\"\"a\"\"") + Strip(xmlStripQuotes, "'Al'"), "\"a\"'Al'");
    std::string sQuoted = "\"A l/>=\" rest";
    EXPECT_EQ(xmlGetWord(sQuoted), "\"A l/>=\"");
    EXPECT_EQ(xmlFindTerminator("a x=\"1/2\" />") + xmlFindTerminator("a x=\"1/2>"), 10 - 1);
    EXPECT_EQ(xmlFindChar("text \"<b>\" <c>", "<") + xmlFindChar("abc", "bc"), 11 - 1);
}

// The line-oriented reader makes tags or text of whatever a line holds: each row, lines then tree.
TEST(xmlParseString, ReadsEveryLineIntoTagsAndText) {
    const std::pair<const char*, const char*> aRows[] = {
        {"<?xml version = \"1.0\"?>||<H >| <entry name = \"Al\" score = \"7\" />|</H>",
         "H(entry{name=Al,score=7}/) /H"},
        {"<a><b/></a>", "a(b/) /a"},
        {"<entry/>|<e n=\"A l/x\"/>|<e w='a b' x=1 drop y=/>",
         "entry/ e{n=A l/x}/ e{w=a b,x=1,y=}/"},
        {"<e n='a\"/b' m=\"it's\"/>|<e v=\"&lt;&amp;&gt;&quot;&apos;&#65;&#x263A;&#0;&bogus;&\"/>",
         "e{m=it's,n=a\"/b}/ e{v=<&>\"'A\xE2\x98\xBA&#0;&bogus;&}/"},
        {"<e x=\"1\" x=\"2\"/>|<?odd tag>|<f/", "e{x=1}/"},
        {"<e v=\"a>b\"/>|<f/>", "e{v=\"a>}[b\"/>](f/)"},
        {"<a x=\"1\"|  |y=\"2\"><b/>", "a{x=1,y=2}(b/)"},
        {"<a><b/>Al</a>|  |<c ></c>|tail", "a(b/[Al]) /a c[tail] /c"},
        {"<a >|</a >|<b>|</ b>|<c>|</HallOfFame", "a /a b / b c /HallOfFam"},
        {"<a >|<a >|</a>|</a>", "a(a) /a /a"},
        {"<!-- <e n=\"old\"/> --><a/>|<!DOCTYPE a>|<!-- two|<e/>|lines --><b/>", "a/ b/"},
        {"<a/>\t<b/>\r|x\"<c/>", "a/[\t] b/[\rx\"<c/>]"},
    };
    for (const auto& [sLines, sTree] : aRows) {
        cXmlFile File;
        EXPECT_EQ(Parse(File, sLines), sTree) << sLines;
    }
}

// A file of nothing but start tags nests as deep as it is long; taking it apart must not recurse.
TEST(cTag, SurvivesAVeryDeepTree) {
    auto* pFile = new cXmlFile;
    for (int i = 0; i < 400000; ++i)
        xmlParseString("<a>", *pFile);
    EXPECT_EQ(pFile->GetParent(399999) + pFile->vTags[0]->GetParent(399999), 2 * 399998);
    delete pFile;
}

// Tags hung in by hand carry numbers the document never gave out; they are found all the same.
TEST(cXmlFile, NumbersTagsAndFindsThemByNumberOrByHand) {
    cXmlFile File;
    EXPECT_EQ(File.AddTag(NewTag(TAG_START, "a")), 0);
    EXPECT_EQ(File.AddTag(NewTag(TAG_EMPTY, "b"), 0), 1);
    File.vTags[0]->vChildren[0]->iParentId = 0;
    EXPECT_EQ(File.AddTag(NewTag(TAG_EMPTY, "orphan"), 42), 2);
    EXPECT_EQ(File.AddTag(NewTag(TAG_END, "a")), 3);
    File.vTags.push_back(NewTag(TAG_START, "hand", 50));
    File.vTags[2]->AddTag(NewTag(TAG_EMPTY, "inner", -5));
    File.vTags[2]->vChildren[0]->iParentId = 50;
    EXPECT_EQ(File.AddTag(NewTag(TAG_EMPTY, "new"), 50), 4);
    for (auto [iNumber, sText] : {std::pair{1, "x"}, {-5, "y"}, {2, "lost"}, {50, "h"}})
        File.SetTagData(iNumber, sText);
    EXPECT_EQ(Parse(File, ""), "a(b/[x]) /a hand[h](inner/ new/)");
    for (auto [iNumber, iParent] : {std::pair{0, -1}, {1, 0}, {2, -1}, {50, -1}, {-5, -1}})
        EXPECT_EQ(File.GetParent(iNumber), iParent) << iNumber;
    EXPECT_EQ(File.GetTagIndex("a") + File.GetTagIndex("hand"), 0 + 2);
    EXPECT_EQ(File.GetTagIndex("b") + File.GetTagIndex("A"), -2);
    cXmlFile Hand;
    Hand.vTags.push_back(NewTag(TAG_START, "h", 7));
    Hand.vTags[0]->AddTag(NewTag(TAG_EMPTY, "zero", 0));
    Hand.vTags[0]->vChildren[0]->iParentId = 7;
    Hand.SetTagData(0, "z");
    EXPECT_EQ(Parse(Hand, "") + std::to_string(Hand.GetParent(0)), "h(zero/[z])7");
}

class cXmlFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string sTemplate = (fs::temp_directory_path() / "zg-xml-XXXXXX").string();
        ASSERT_NE(mkdtemp(sTemplate.data()), nullptr);
        Folder = sTemplate;
        Hof = Folder / "HallOfFame.xml";
    }
    void TearDown() override { fs::remove_all(Folder); }

    static int Files(const fs::path& Where) {
        return static_cast<int>(std::distance(fs::directory_iterator(Where), {}));
    }
    // Saves a large table under a file size limit: the write fails half-way, or kills the process.
    bool SaveCut(bool bKilled) {
        rlimit Limit;
        getrlimit(RLIMIT_FSIZE, &Limit);
        const rlimit Small{4096, bKilled ? 4096 : Limit.rlim_max};
        const auto OldHandler = std::signal(SIGXFSZ, bKilled ? SIG_DFL : SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &Small);
        cXmlFile Big;
        BuildHallOfFame(Big, std::vector(1000, std::pair<std::string, int>("A long name", 1)));
        const bool bSaved = Big.Save(Hof);
        setrlimit(RLIMIT_FSIZE, &Limit);
        std::signal(SIGXFSZ, OldHandler);
        return bSaved;
    }

    fs::path Folder, Hof;
};

TEST_F(cXmlFileTest, SavesTheHallOfFameFormatAndReadsItBack) {
    cXmlFile File;
    EXPECT_FALSE(File.Read(Hof));
    EXPECT_FALSE(fs::exists(Hof)) << "a read creates nothing";
    BuildHallOfFame(File, {{"Al", 7}, {"Bo Bo", -12}});
    ASSERT_TRUE(File.Save(Hof));
    EXPECT_EQ(FileText(Hof), "<?xml version = \"1.0\"?>\n\n<HallOfFame >\n"
                             " <entry name = \"Al\" score = \"7\" />\n"
                             " <entry name = \"Bo Bo\" score = \"-12\" />\n</HallOfFame>\n");
    EXPECT_EQ(File.Text(), FileText(Hof));
    const mode_t iMask = umask(0);
    umask(iMask);
    EXPECT_EQ(fs::status(Hof).permissions(), fs::perms(0666 & ~iMask)) << "a new file";
    EXPECT_EQ(std::system(("xmllint --noout " + Hof.string()).c_str()), 0);
    cXmlFile Again;
    ASSERT_TRUE(Again.Read(Hof));
    EXPECT_EQ(Parse(Again, ""), "HallOfFame(entry{name=Al,score=7}/ entry{name=Bo Bo,score=-12}/) "
                                "/HallOfFame");
    // A file cut off inside an element leaves the reader there; the next read starts afresh.
    std::ofstream(Folder / "cut.xml") << "<HallOfFame >\n";
    cXmlFile Cut;
    ASSERT_TRUE(Cut.Read(Folder / "cut.xml"));
    EXPECT_EQ(Cut.iParent, 0);
    ASSERT_TRUE(Cut.Read(Hof));
    EXPECT_EQ(Cut.vTags.size(), 3u);
}

// A full disk, a crash or a bad target leave the old file whole, with at most one temporary beside.
TEST_F(cXmlFileTest, AFailedOrKilledSaveLeavesTheOldFileWhole) {
    cXmlFile File;
    BuildHallOfFame(File, {{"Al", 7}});
    EXPECT_FALSE(File.Save(Folder / "no/such/folder/HallOfFame.xml"));
    std::ofstream(Hof) << "old";
    fs::permissions(Hof, fs::perms(0640));
    EXPECT_FALSE(SaveCut(false));
    EXPECT_EQ(FileText(Hof), "old");
    EXPECT_EQ(Files(Folder), 1);
    for (int iKill = 0; iKill < 2; ++iKill) {
        const pid_t iChild = fork();
        if (iChild == 0)
            _exit(SaveCut(true));
        int iStatus = 0;
        waitpid(iChild, &iStatus, 0);
        ASSERT_TRUE(WIFSIGNALED(iStatus) && WTERMSIG(iStatus) == SIGXFSZ);
    }
    EXPECT_EQ(Files(Folder), 2) << "one temporary file, however many saves were killed";
    ASSERT_TRUE(File.Save(Hof));
    EXPECT_EQ(Files(Folder), 1);
    EXPECT_EQ(FileText(Hof), File.Text());
    EXPECT_EQ(fs::status(Hof).permissions(), fs::perms(0640)) << "a save keeps the permissions";
}
