#pragma once

#include <string>

// The file's text; nothing for a file that is missing or not a regular file.
std::string FileText(const std::string& sName);

// A fresh folder of its own under /tmp, the working folder while the object lives.
class cScratchFolder {
public:
    cScratchFolder();
    ~cScratchFolder();
    std::string sPath;
};
