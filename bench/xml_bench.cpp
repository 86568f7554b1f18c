#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <stdlib.h>
#include <string>

#include "xml/cXmlFile.h"

namespace {

// The files are made once, in a folder of their own that goes when the run ends.
class cBenchFolder {
public:
    cBenchFolder() {
        std::string sTemplate =
            (std::filesystem::temp_directory_path() / "zg-bench-XXXXXX").string();
        sFolder = mkdtemp(sTemplate.data()) ? sTemplate : ".";
        Write("ten.xml", HallOfFame(10));
        Write("hundred-thousand.xml", HallOfFame(100000));
        Write("text-line.xml", std::string(10 * 1024 * 1024, 'x'));
        std::string sTags;
        while (sTags.size() < 10 * 1024 * 1024)
            sTags += "<entry name=\"Al\" score=\"7\"/>";
        Write("tag-line.xml", sTags);
    }
    ~cBenchFolder() {
        if (sFolder != ".")
            std::filesystem::remove_all(sFolder);
    }

    std::string Path(const std::string& sName) const { return sFolder + "/" + sName; }

private:
    static std::string HallOfFame(int iEntries) {
        std::string sText = "<?xml version = \"1.0\"?>\n\n<HallOfFame >\n";
        for (int i = 0; i < iEntries; ++i)
            sText += " <entry name = \"Player " + std::to_string(i) + "\" score = \"" +
                     std::to_string(1000000 - i) + "\" />\n";
        return sText + "</HallOfFame>\n";
    }
    void Write(const std::string& sName, const std::string& sText) const {
        std::ofstream(Path(sName)) << sText;
    }

    std::string sFolder;
};

const cBenchFolder& Folder() {
    static const cBenchFolder Files;
    return Files;
}

void Read(benchmark::State& State, const char* sName) {
    const std::string sPath = Folder().Path(sName);
    for (auto _ : State) {
        cXmlFile File;
        benchmark::DoNotOptimize(File.Read(sPath));
    }
}

// Saves what was read, as the game saves the hall of fame: to a temporary file flushed to disk.
void Save(benchmark::State& State, const char* sName) {
    cXmlFile File;
    File.Read(Folder().Path(sName));
    const std::string sPath = Folder().Path("saved.xml");
    for (auto _ : State)
        benchmark::DoNotOptimize(File.Save(sPath));
}

} // namespace

BENCHMARK_CAPTURE(Read, TenEntries, "ten.xml")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Save, TenEntries, "ten.xml")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Read, HundredThousandEntries, "hundred-thousand.xml")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Save, HundredThousandEntries, "hundred-thousand.xml")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Read, TenMegabyteTextLine, "text-line.xml")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Read, TenMegabyteLineOfTags, "tag-line.xml")->Unit(benchmark::kMillisecond);
