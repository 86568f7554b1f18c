#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <stdlib.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "xml/cXmlFile.h"

namespace {

using tEntries = std::vector<std::pair<std::string, std::string>>;

cTag* NewTag(int iType, const std::string& sName) {
    cTag* pTag = new cTag;
    pTag->iType = iType;
    pTag->sName = sName;
    return pTag;
}

// The document the hall-of-fame list saves: entries under a start tag, its end tag beside it.
void BuildHallOfFame(cXmlFile& File, const tEntries& vEntries) {
    cTag* pStart = NewTag(TAG_START, "HallOfFame");
    for (const auto& [sName, sScore] : vEntries) {
        cTag* pEntry = NewTag(TAG_EMPTY, "entry");
        pEntry->mAttributes = {{"name", sName}, {"score", sScore}};
        pStart->AddTag(pEntry);
    }
    File.vTags.push_back(pStart);
    File.vTags.push_back(NewTag(TAG_END, "HallOfFame"));
}

// What the hall-of-fame loader takes from a file.
tEntries ReadEntries(const std::string& sPath) {
    cXmlFile File;
    EXPECT_TRUE(File.Read(sPath));
    const int iIndex = File.GetTagIndex("HallOfFame");
    if (iIndex < 0)
        return {{"no HallOfFame", ""}};
    tEntries vEntries;
    for (const cTag* pEntry : File.vTags[iIndex]->vChildren) {
        std::map<std::string, std::string> mAttributes = pEntry->mAttributes;
        vEntries.emplace_back(mAttributes["name"], mAttributes["score"]);
    }
    return vEntries;
}

std::string Contents(const std::string& sPath) {
    std::ifstream In(sPath);
    std::ostringstream Text;
    Text << In.rdbuf();
    return Text.str();
}

void WriteFile(const std::string& sPath, const std::string& sText) {
    std::ofstream(sPath) << sText;
}

std::string RandomName() {
    std::string sName;
    const int iLength = 1 + rand() % 12;
    while (static_cast<int>(sName.size()) < iLength) {
        const char c = static_cast<char>(' ' + rand() % 95);
        if (c != '"' && c != '<' && c != '>' && c != '&')
            sName += c;
    }
    return sName;
}

const char* const sDeclaration = "<?xml version = \"1.0\"?>\n\n";

} // namespace

class cXmlFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string sTemplate = (std::filesystem::temp_directory_path() / "zg-xml-XXXXXX").string();
        ASSERT_NE(mkdtemp(sTemplate.data()), nullptr);
        sFolder = sTemplate;
    }
    void TearDown() override { std::filesystem::remove_all(sFolder); }

    std::string Path(const std::string& sName) const { return sFolder + "/" + sName; }
    int FilesInFolder() const {
        return static_cast<int>(std::distance(std::filesystem::directory_iterator(sFolder),
                                              std::filesystem::directory_iterator()));
    }

    std::string sFolder;
};

TEST(cXmlFile, NumbersTagsAndFindsThemByNumber) {
    cXmlFile File;
    EXPECT_EQ(File.AddTag(NewTag(TAG_START, "a")), 0);
    cTag* pChild = NewTag(TAG_EMPTY, "entry");
    pChild->iParentId = 0;
    EXPECT_EQ(File.AddTag(pChild, 0), 1);
    EXPECT_EQ(File.AddTag(NewTag(TAG_EMPTY, "orphan"), 42), 2);
    EXPECT_EQ(File.AddTag(NewTag(TAG_END, "a")), 3);
    EXPECT_EQ(File.iNextId, 4);
    ASSERT_EQ(File.vTags.size(), 2u);
    EXPECT_EQ(File.vTags[0]->vChildren, std::vector<cTag*>{pChild});

    EXPECT_EQ(File.GetParent(0), -1);
    EXPECT_EQ(File.GetParent(1), 0);
    EXPECT_EQ(File.GetParent(2), -1);
    File.SetTagData(1, "x");
    File.SetTagData(2, "lost");
    EXPECT_EQ(pChild->sData, "x");

    EXPECT_EQ(File.GetTagIndex("a"), 0);
    EXPECT_EQ(File.GetTagIndex("entry"), -1);
    EXPECT_EQ(File.GetTagIndex("A"), -1);
}

// Tags hung in by hand carry numbers the document never gave out; they are found all the same.
TEST(cXmlFile, FindsTagsHungInByHand) {
    cXmlFile File;
    cTag* pHand = NewTag(TAG_START, "hand");
    pHand->iId = 50;
    cTag* pInner = NewTag(TAG_EMPTY, "inner");
    pInner->iId = 51;
    pInner->iParentId = 50;
    pHand->AddTag(pInner);
    File.vTags.push_back(pHand);
    EXPECT_EQ(File.GetParent(51), 50);
    EXPECT_EQ(File.GetParent(50), -1);
    File.SetTagData(51, "t");
    EXPECT_EQ(pInner->sData, "t");
    cTag* pNew = NewTag(TAG_EMPTY, "new");
    File.AddTag(pNew, 50);
    EXPECT_EQ(pHand->vChildren.back(), pNew);
}

TEST_F(cXmlFileTest, SavesTheHallOfFameFormat) {
    cXmlFile File;
    ASSERT_TRUE(File.Save(Path("empty.xml")));
    EXPECT_EQ(Contents(Path("empty.xml")), sDeclaration);

    BuildHallOfFame(File, {{"Al", "7"}, {"Bo Bo", "-12"}});
    ASSERT_TRUE(File.Save(Path("HallOfFame.xml")));
    EXPECT_EQ(Contents(Path("HallOfFame.xml")), std::string(sDeclaration) +
                                                    "<HallOfFame >\n"
                                                    " <entry name = \"Al\" score = \"7\" />\n"
                                                    " <entry name = \"Bo Bo\" score = \"-12\" />\n"
                                                    "</HallOfFame>\n");

    cXmlFile None;
    BuildHallOfFame(None, {});
    ASSERT_TRUE(None.Save(Path("none.xml")));
    EXPECT_EQ(Contents(Path("none.xml")),
              std::string(sDeclaration) + "<HallOfFame >\n</HallOfFame>\n");
    EXPECT_EQ(ReadEntries(Path("none.xml")), tEntries());
}

TEST_F(cXmlFileTest, ReadsMissingAndEmptyFiles) {
    cXmlFile File;
    EXPECT_FALSE(File.Read(Path("missing.xml")));
    EXPECT_FALSE(std::filesystem::exists(Path("missing.xml")));
    WriteFile(Path("empty.xml"), "");
    EXPECT_TRUE(File.Read(Path("empty.xml")));
    EXPECT_TRUE(File.vTags.empty());
    EXPECT_EQ(File.GetTagIndex("HallOfFame"), -1);
}

TEST_F(cXmlFileTest, ADamagedFileDoesNotSpoilTheNextRead) {
    WriteFile(Path("cut.xml"),
              std::string(sDeclaration) + "<HallOfFame >\n <entry name = \"X\" />\n");
    WriteFile(Path("good.xml"), std::string(sDeclaration) + "<HallOfFame >\n" +
                                    " <entry name = \"Al\" score = \"7\" />\n</HallOfFame>\n");
    cXmlFile Cut;
    ASSERT_TRUE(Cut.Read(Path("cut.xml")));
    EXPECT_EQ(Cut.iParent, 0);
    EXPECT_EQ(ReadEntries(Path("good.xml")), tEntries({{"Al", "7"}}));
}

TEST_F(cXmlFileTest, AFailedSaveLeavesTheOldFileAndNoLeftovers) {
    cXmlFile File;
    BuildHallOfFame(File, {{"Al", "7"}});
    EXPECT_FALSE(File.Save(Path("no/such/folder/HallOfFame.xml")));

    std::filesystem::create_directory(Path("HallOfFame.xml"));
    EXPECT_FALSE(File.Save(Path("HallOfFame.xml")));
    EXPECT_TRUE(std::filesystem::is_directory(Path("HallOfFame.xml")));
    EXPECT_EQ(FilesInFolder(), 1);
    std::filesystem::remove(Path("HallOfFame.xml"));

    ASSERT_TRUE(File.Save(Path("HallOfFame.xml")));
    const std::string sOld = Contents(Path("HallOfFame.xml"));
    cXmlFile Big;
    BuildHallOfFame(Big, tEntries(1000, {"A rather long name", "123456"}));
    // A disk that fills up half-way through the write, played by a limit on the file size.
    rlimit Limit;
    getrlimit(RLIMIT_FSIZE, &Limit);
    const rlimit Small{4096, Limit.rlim_max};
    const auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &Small);
    const bool bSaved = Big.Save(Path("HallOfFame.xml"));
    setrlimit(RLIMIT_FSIZE, &Limit);
    std::signal(SIGXFSZ, OldHandler);
    EXPECT_FALSE(bSaved);
    EXPECT_EQ(Contents(Path("HallOfFame.xml")), sOld);
    EXPECT_EQ(FilesInFolder(), 1);
}

// A save killed half-way, played by a file size limit that ends the process as the write passes
// it, leaves its temporary file behind.
TEST_F(cXmlFileTest, KilledSavesLeaveAtMostOneTemporaryFileAndTheNextSaveClearsIt) {
    cXmlFile Big;
    BuildHallOfFame(Big, tEntries(1000, {"A rather long name", "123456"}));
    for (int iKill = 0; iKill < 2; ++iKill) {
        const pid_t iChild = fork();
        if (iChild == 0) {
            const rlimit Small{4096, 4096};
            const rlimit NoCore{0, 0};
            std::signal(SIGXFSZ, SIG_DFL);
            setrlimit(RLIMIT_CORE, &NoCore);
            setrlimit(RLIMIT_FSIZE, &Small);
            Big.Save(Path("HallOfFame.xml"));
            _exit(0);
        }
        int iStatus = 0;
        ASSERT_EQ(waitpid(iChild, &iStatus, 0), iChild);
        ASSERT_TRUE(WIFSIGNALED(iStatus) && WTERMSIG(iStatus) == SIGXFSZ);
    }
    EXPECT_EQ(FilesInFolder(), 1);
    cXmlFile File;
    BuildHallOfFame(File, {{"Al", "7"}});
    ASSERT_TRUE(File.Save(Path("HallOfFame.xml")));
    EXPECT_EQ(FilesInFolder(), 1);
    EXPECT_EQ(Contents(Path("HallOfFame.xml")), File.Text()) << "nothing left of the killed saves";
}

// A read-only file is refused even by root; a link stays, and the file it points at is replaced
// through a temporary file beside that file.
TEST_F(cXmlFileTest, ASaveRefusesAReadOnlyFileAndFollowsALink) {
    cXmlFile File;
    BuildHallOfFame(File, {{"Al", "7"}});
    WriteFile(Path("HallOfFame.xml"), "mine");
    std::filesystem::permissions(Path("HallOfFame.xml"), std::filesystem::perms(0444));
    errno = 0;
    EXPECT_FALSE(File.Save(Path("HallOfFame.xml")));
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(Contents(Path("HallOfFame.xml")), "mine");
    EXPECT_EQ(FilesInFolder(), 1);
    std::filesystem::remove(Path("HallOfFame.xml"));

    std::filesystem::create_directory(Path("real"));
    WriteFile(Path("real/hof.xml"), "old");
    std::filesystem::create_symlink("real/hof.xml", Path("HallOfFame.xml"));
    ASSERT_TRUE(File.Save(Path("HallOfFame.xml")));
    EXPECT_TRUE(std::filesystem::is_symlink(Path("HallOfFame.xml")));
    EXPECT_EQ(ReadEntries(Path("real/hof.xml")), tEntries({{"Al", "7"}}));
    EXPECT_EQ(FilesInFolder(), 2);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path("real")),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(cXmlFileTest, ASaveReplacesTheFileAndKeepsItsPermissions) {
    WriteFile(Path("HallOfFame.xml"), "old");
    std::filesystem::permissions(Path("HallOfFame.xml"), std::filesystem::perms(0640));
    cXmlFile File;
    BuildHallOfFame(File, {{"Al", "7"}});
    ASSERT_TRUE(File.Save(Path("HallOfFame.xml")));
    EXPECT_EQ(ReadEntries(Path("HallOfFame.xml")), tEntries({{"Al", "7"}}));
    EXPECT_EQ(std::filesystem::status(Path("HallOfFame.xml")).permissions(),
              std::filesystem::perms(0640));
    EXPECT_EQ(FilesInFolder(), 1);
}

// Every file is also checked by libxml2, a reader we did not write.
TEST_F(cXmlFileTest, RandomHallsOfFameComeBackWholeAndAreWellFormed) {
    srand(1979);
    std::string sFiles;
    for (int iFile = 0; iFile < 100; ++iFile) {
        tEntries vEntries;
        for (int i = rand() % 16; i > 0; --i) {
            const int iScore =
                rand() % 5 == 0 ? (rand() % 2 ? INT_MIN : INT_MAX) : rand() - RAND_MAX / 2;
            vEntries.emplace_back(RandomName(), std::to_string(iScore));
        }
        cXmlFile File;
        BuildHallOfFame(File, vEntries);
        const std::string sPath = Path("hof" + std::to_string(iFile) + ".xml");
        ASSERT_TRUE(File.Save(sPath));
        EXPECT_EQ(ReadEntries(sPath), vEntries) << Contents(sPath);
        sFiles += " '" + sPath + "'";
    }
    EXPECT_EQ(std::system(("xmllint --noout" + sFiles).c_str()), 0);
}
