#include <allegro.h>
#include <iostream>

#include "core/cCommandLine.h"
#include "core/main.h"

int main(int argc, char* argv[]) {
    cCommandLine commandLine;
    if (!commandLine.Parse(argc, argv, std::cout, std::cerr))
        return commandLine.iExitStatus;
    return GameMain(commandLine.iScale, commandLine.sReplay.empty() ? nullptr : &commandLine.Replay,
                    commandLine.sReplay);
}
END_OF_MAIN()
