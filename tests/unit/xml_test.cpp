#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A tree in short: "a(b/ c{x=1}/)" is a start tag "a" holding the empty-element tags "b" and "c",
// "/a" an end tag and "[t]" a tag's text; top-level tags are separated by spaces.
std::string Describe(const cTag* pTag) {
    std::string s = (pTag->iType == TAG_END ? "/" : "") + pTag->sName;
    const char* sSeparator = "{";
    for (const auto& [sName, sValue] : pTag->mAttributes) {
        s += sSeparator + sName + "=" + sValue;
        sSeparator = ",";
    }
    s += pTag->mAttributes.empty() ? "" : "}";
    s += pTag->iType == TAG_EMPTY ? "/" : "";
    s += pTag->sData.empty() ? "" : "[" + pTag->sData + "]";
    sSeparator = "(";
    for (const cTag* pChild : pTag->vChildren) {
        s += sSeparator + Describe(pChild);
        sSeparator = " ";
    }
    return s + (pTag->vChildren.empty() ? "" : ")");
}

std::string Parse(cXmlFile& File, const std::vector<std::string>& vLines) {
    for (const std::string& sLine : vLines)
        xmlParseString(sLine, File);
    std::string s;
    for (const cTag* pTag : File.vTags)
        s += (s.empty() ? "" : " ") + Describe(pTag);
    return s;
}

std::string Written(const cTag& Tag, int iLevel) {
    std::ostringstream Out;
    Tag.Write(Out, iLevel);
    return Out.str();
}

std::string Contents(const fs::path& Path) {
    std::ifstream In(Path);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

// The document the hall of fame saves: entries under a start tag, its end tag beside it.
void BuildHallOfFame(cXmlFile& File, const std::vector<std::pair<std::string, int>>& vEntries) {
    cTag* pStart = NewTag(TAG_START, "HallOfFame");
    for (const auto& [sName, iScore] : vEntries) {
        pStart->AddTag(NewTag(TAG_EMPTY, "entry"));
        pStart->vChildren.back()->mAttributes = {{"name", sName},
                                                 {"score", std::to_string(iScore)}};
    }
    File.vTags = {pStart, NewTag(TAG_END, "HallOfFame")};
}

const std::string sHead = "<?xml version = \"1.0\"?>\n\n";

} // namespace

TEST(xmlString, PrimitivesSkipQuotedDelimiters) {
    const auto Strip = [](std::string s, void (*pStrip)(std::string&)) { return pStrip(s), s; };
    const struct {
        void (*pStrip)(std::string&);
        std::string sIn, sOut;
    } aRows[] = {
        {xmlStripStartSpaces, "  a b ", "a b "},
        {xmlStripStartSpaces, "   ", ""},
        {xmlStripStartSpaces, "\ta", "\ta"},
        {xmlStripEndSpaces, " a b  ", " a b"},
        {xmlStripEndSpaces, "   ", " "},
        {xmlStripEndSpaces, "", ""},
        {xmlStripOneWord, "name  = x", "= x"},
        {xmlStripOneWord, "\"a b\" c", "c"},
        {xmlStripOneWord, "word", ""},
        {xmlStripOneWord, "/a", ""},
        {xmlStripQuotes, "\"Al\"", "Al"},
        {xmlStripQuotes, "\"\"a\"\"", "\"a\""},
        {xmlStripQuotes, "\"", ""},
        {xmlStripQuotes, "\"Al", "\"Al"},
        {xmlStripQuotes, "'Al'", "'Al'"},
    };
    for (const auto& row : aRows)
        EXPECT_EQ(Strip(row.sIn, row.pStrip), row.sOut) << row.sIn;
    for (auto [sText, sWord] : std::map<std::string, std::string>{{"name = x", "name"},
                                                                  {"a/>", "a"},
                                                                  {"x=1", "x"},
                                                                  {"\"A l/>=\" rest", "\"A l/>=\""},
                                                                  {"'a b'", "'a"},
                                                                  {"/>", ""},
                                                                  {"\"open / >", "\"open / >"}})
        EXPECT_EQ(xmlGetWord(sText), sWord) << sText;
    EXPECT_EQ(xmlFindTerminator("a x=\"1/2\" />"), 10);
    EXPECT_EQ(xmlFindTerminator("a x=\"1/2>"), -1);
    EXPECT_EQ(xmlFindChar("text \"<b>\" <c>", "<"), 11);
    EXPECT_EQ(xmlFindChar("?xml", "?"), 0);
    EXPECT_EQ(xmlFindChar("abc", "bc"), -1);
}

// The reader is line-oriented and forgiving: whatever a line holds becomes tags or text, in a way
// the hall of fame can rely on.
TEST(xmlParseString, ReadsEveryLineIntoTagsAndText) {
    const std::pair<std::vector<std::string>, std::string> aRows[] = {
        {{"<?xml version = \"1.0\"?>", "", "<HallOfFame >",
          " <entry name = \"Al\" score = \"7\" />", "</HallOfFame>"},
         "HallOfFame(entry{name=Al,score=7}/) /HallOfFame"},
        {{"<a><b/></a>"}, "a(b/) /a"},
        {{"<entry/>", "<entry name=\"A l/x\"/>", "<e w='a b' x=1 drop y=/>"},
         "entry/ entry{name=A l/x}/ e{w='a,x=1,y=}/"},
        {{"<e x=\"1\" x=\"2\"/>", "<?odd tag>"}, "e{x=1}/"},
        {{"<e v=\"a>b\"/>", "<f/>"}, "e{v=\"a>}[b\"/>](f/)"},
        {{"<a x=\"1\"", "y=\"2\"><b/>"}, "a{x=1}[y=\"2\">](b/)"},
        {{"<a><b/>Al</a>", "  ", "<c ></c>", "tail"}, "a(b/[Al]) /a c[tail] /c"},
        {{"<a >", "</a >", "<b>", "</ b>", "<c>", "</HallOfFame"}, "a /a b / b c /HallOfFam"},
        {{"<a >", "<a >", "</a>", "</a>"}, "a(a) /a /a"},
        {{"<!-- note --><a/>"}, "!--(a/)"},
        {{"<a/>\t<b/>\r", "x\"<c/>"}, "a/[\t] b/[\rx\"<c/>]"},
    };
    for (const auto& [vLines, sTree] : aRows) {
        cXmlFile File;
        EXPECT_EQ(Parse(File, vLines), sTree) << vLines[0];
    }
}

TEST(xmlParseString, NumbersTagsInDocumentOrderAndTracksTheOpenElement) {
    cXmlFile File;
    Parse(File, {"<?xml?>", "<a >", " <b/>", " <a >", "</a>", "</a>"});
    EXPECT_EQ(File.vTags[0]->vChildren[1]->iId, 2);
    EXPECT_EQ(File.vTags[0]->vChildren[0]->iParentId, 0);
    EXPECT_EQ(File.vTags[2]->iId, 4);
    EXPECT_EQ(File.iNextId, 5);
    EXPECT_EQ(std::make_pair(File.iParent, File.iChild), std::make_pair(-1, 0));
    Parse(File, {"</z>"});
    EXPECT_EQ(std::make_pair(File.iParent, File.iChild), std::make_pair(-1, -1));
    Parse(File, {"<open >"});
    EXPECT_EQ(File.iParent, 6);
}

TEST(cTag, WritesIndentedTagsWithSortedAttributes) {
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

    cTag Start;
    Start.iType = TAG_START;
    Start.sName = "H";
    Start.AddTag(NewTag(TAG_EMPTY, "a"));
    Start.AddTag(NewTag(TAG_END, "H"));
    EXPECT_EQ(Written(Start, 2), "  <H >\n   <a />\n  </H>\n");
}

TEST(cTag, FindsByNumberInPreOrderAndAttachesAtMostOnce) {
    cTag Root;
    Root.iId = 1;
    EXPECT_EQ(Root.GetParent(1), -2) << "the root itself is not searched";
    cTag* pA = NewTag(TAG_START, "A", 5);
    pA->AddTag(NewTag(TAG_START, "A1", 3));
    pA->vChildren[0]->iParentId = 20;
    Root.AddTag(pA);
    Root.AddTag(NewTag(TAG_START, "B", 5));
    Root.AddTag(NewTag(TAG_EMPTY, "C", 3));
    Root.AddTag(NewTag(TAG_EMPTY, "x"), 5);
    Root.AddTag(NewTag(TAG_EMPTY, "y"), 1);
    cTag* pStray = NewTag(TAG_EMPTY, "stray");
    Root.AddTag(pStray, 99);
    delete pStray;
    std::vector<cTag*> vTags;
    Root.Gather(vTags);
    std::string sOrder;
    for (const cTag* pTag : vTags)
        sOrder += pTag->sName + " ";
    EXPECT_EQ(sOrder, " A A1 x B C y ");
    EXPECT_EQ(Root.GetParent(3), 20);
    EXPECT_EQ(Root.GetParent(9), -2);
    Root.SetTagData(3, "t");
    EXPECT_EQ(pA->vChildren[0]->sData + Root.vChildren[2]->sData + pA->sData, "tt");
}

// A file of nothing but start tags nests as deep as it is long; taking it apart must not recurse.
TEST(cTag, SurvivesAVeryDeepTree) {
    auto* pFile = new cXmlFile;
    for (int i = 0; i < 400000; ++i)
        xmlParseString("<a>", *pFile);
    EXPECT_EQ(pFile->GetParent(399999), 399998);
    EXPECT_EQ(pFile->vTags[0]->GetParent(399999), 399998);
    delete pFile;
}

TEST(cXmlFile, NumbersTagsAndFindsThemByNumberOrByHand) {
    cXmlFile File;
    EXPECT_EQ(File.AddTag(NewTag(TAG_START, "a")), 0);
    cTag* pChild = NewTag(TAG_EMPTY, "entry");
    pChild->iParentId = 0;
    EXPECT_EQ(File.AddTag(pChild, 0), 1);
    EXPECT_EQ(File.AddTag(NewTag(TAG_EMPTY, "orphan"), 42), 2);
    EXPECT_EQ(File.AddTag(NewTag(TAG_END, "a")), 3);
    cTag* pHand = NewTag(TAG_START, "hand", 50);
    pHand->AddTag(NewTag(TAG_EMPTY, "inner", 51));
    pHand->vChildren[0]->iParentId = 50;
    File.vTags.push_back(pHand);
    EXPECT_EQ(File.AddTag(NewTag(TAG_EMPTY, "new"), 50), 4);
    EXPECT_EQ(Parse(File, {}), "a(entry/) /a hand(inner/ new/)");

    for (auto [iNumber, iParent] :
         {std::pair{0, -1}, {1, 0}, {2, -1}, {50, -1}, {51, 50}, {-1, -1}})
        EXPECT_EQ(File.GetParent(iNumber), iParent) << iNumber;
    File.SetTagData(1, "x");
    File.SetTagData(51, "y");
    File.SetTagData(2, "lost");
    EXPECT_EQ(pChild->sData + pHand->vChildren[0]->sData, "xy");
    EXPECT_EQ(File.GetTagIndex("a"), 0);
    EXPECT_EQ(File.GetTagIndex("hand"), 2);
    EXPECT_EQ(File.GetTagIndex("entry") + File.GetTagIndex("A"), -2);
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

    int Files(const fs::path& Where) const {
        return static_cast<int>(std::distance(fs::directory_iterator(Where), {}));
    }
    // A save of a large table, killed by the file size limit half-way through its write.
    void KilledSave() {
        const pid_t iChild = fork();
        if (iChild == 0) {
            const rlimit Small{4096, 4096}, NoCore{0, 0};
            std::signal(SIGXFSZ, SIG_DFL);
            setrlimit(RLIMIT_CORE, &NoCore);
            setrlimit(RLIMIT_FSIZE, &Small);
            cXmlFile Big;
            BuildHallOfFame(Big, std::vector(1000, std::pair<std::string, int>("A long name", 1)));
            Big.Save(Hof);
            _exit(0);
        }
        int iStatus = 0;
        waitpid(iChild, &iStatus, 0);
        ASSERT_TRUE(WIFSIGNALED(iStatus) && WTERMSIG(iStatus) == SIGXFSZ);
    }

    fs::path Folder;
    fs::path Hof;
};

TEST_F(cXmlFileTest, SavesTheHallOfFameFormatAndReadsItBack) {
    cXmlFile Empty;
    EXPECT_FALSE(Empty.Read(Hof));
    EXPECT_FALSE(fs::exists(Hof)) << "a read creates nothing";
    ASSERT_TRUE(Empty.Save(Hof));
    EXPECT_EQ(Contents(Hof), sHead);
    EXPECT_TRUE(Empty.Read(Hof));
    EXPECT_TRUE(Empty.vTags.empty());

    cXmlFile File;
    BuildHallOfFame(File, {{"Al", 7}, {"Bo Bo", -12}});
    ASSERT_TRUE(File.Save(Hof));
    EXPECT_EQ(Contents(Hof), sHead +
                                 "<HallOfFame >\n <entry name = \"Al\" score = \"7\" />\n"
                                 " <entry name = \"Bo Bo\" score = \"-12\" />\n</HallOfFame>\n");
    EXPECT_EQ(File.Text(), Contents(Hof));
    cXmlFile Again;
    ASSERT_TRUE(Again.Read(Hof));
    EXPECT_EQ(Parse(Again, {}), "HallOfFame(entry{name=Al,score=7}/ entry{name=Bo Bo,score=-12}/) "
                                "/HallOfFame");
    EXPECT_EQ(std::system(("xmllint --noout " + Hof.string()).c_str()), 0);

    // A file cut off inside an element leaves the reader there; the next document starts afresh.
    std::ofstream(Folder / "cut.xml") << sHead << "<HallOfFame >\n";
    cXmlFile Cut;
    ASSERT_TRUE(Cut.Read(Folder / "cut.xml"));
    EXPECT_EQ(Cut.iParent, 0);
    ASSERT_TRUE(Cut.Read(Hof));
    EXPECT_EQ(Cut.vTags.size(), 3u);
}

// The old file is replaced only by a complete new one: a full disk, a crash or a target that
// cannot be written leave it whole, with no more than one temporary file beside it.
TEST_F(cXmlFileTest, AFailedOrKilledSaveLeavesTheOldFileWhole) {
    cXmlFile File;
    BuildHallOfFame(File, {{"Al", 7}});
    EXPECT_FALSE(File.Save(Folder / "no/such/folder/HallOfFame.xml"));
    fs::create_directory(Hof);
    EXPECT_FALSE(File.Save(Hof));
    EXPECT_EQ(Files(Folder), 1);
    fs::remove(Hof);

    std::ofstream(Hof) << "old";
    fs::permissions(Hof, fs::perms(0640));
    rlimit Limit;
    getrlimit(RLIMIT_FSIZE, &Limit);
    const auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit Small{4096, Limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &Small);
    cXmlFile Big;
    BuildHallOfFame(Big, std::vector(1000, std::pair<std::string, int>("A long name", 1)));
    EXPECT_FALSE(Big.Save(Hof));
    setrlimit(RLIMIT_FSIZE, &Limit);
    std::signal(SIGXFSZ, OldHandler);
    EXPECT_EQ(Contents(Hof), "old");
    EXPECT_EQ(Files(Folder), 1);

    KilledSave();
    KilledSave();
    EXPECT_EQ(Files(Folder), 2) << "one temporary file, however many saves were killed";
    ASSERT_TRUE(File.Save(Hof));
    EXPECT_EQ(Files(Folder), 1);
    EXPECT_EQ(Contents(Hof), File.Text());
    EXPECT_EQ(fs::status(Hof).permissions(), fs::perms(0640)) << "a save keeps the permissions";

    // Refused even by root, whom a read-only file does not stop.
    fs::permissions(Hof, fs::perms(0444));
    errno = 0;
    EXPECT_FALSE(Big.Save(Hof));
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(Contents(Hof), File.Text());
}

TEST_F(cXmlFileTest, ASaveThroughALinkReplacesItsTargetAndKeepsTheLink) {
    fs::create_directory(Folder / "real");
    std::ofstream(Folder / "real/hof.xml") << "old";
    fs::create_symlink("real/hof.xml", Hof);
    cXmlFile File;
    BuildHallOfFame(File, {{"Al", 7}});
    ASSERT_TRUE(File.Save(Hof));
    EXPECT_TRUE(fs::is_symlink(Hof));
    EXPECT_EQ(Contents(Folder / "real/hof.xml"), File.Text());
    EXPECT_EQ(Files(Folder) + Files(Folder / "real"), 3);
}
