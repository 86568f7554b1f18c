#include "support/Files.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

std::string FileText(const std::string& sName) {
    std::error_code error;
    if (!fs::is_regular_file(sName, error))
        return "";
    std::ifstream in(sName);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

cScratchFolder::cScratchFolder() {
    char sTemplate[] = "/tmp/zenith-test-XXXXXX";
    if (!mkdtemp(sTemplate))
        throw std::runtime_error("no scratch folder");
    sPath = sTemplate;
    fs::current_path(sPath);
}

cScratchFolder::~cScratchFolder() {
    fs::current_path("/");
    fs::remove_all(sPath);
}
