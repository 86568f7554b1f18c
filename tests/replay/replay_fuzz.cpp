#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/cReplay.h"

// Any bytes as a replay file: either a reason, or a replay that writes out as a text which reads
// back as the same replay; and that text cut short anywhere is refused.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t iSize) {
    cReplay replay;
    std::string sWhy;
    if (!replay.Parse(std::string(reinterpret_cast<const char*>(pData), iSize), sWhy)) {
        if (sWhy.empty())
            std::abort();
        return 0;
    }
    const std::string sText = replay.Text();
    cReplay again;
    if (!again.Parse(sText, sWhy) || again.Text() != sText)
        std::abort();
    for (std::size_t iCut = 0; iCut < sText.size(); iCut += 1 + sText.size() / 16) {
        cReplay cut;
        if (cut.Parse(sText.substr(0, iCut), sWhy))
            std::abort();
    }
    return 0;
}
