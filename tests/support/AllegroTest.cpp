#include "support/AllegroTest.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

pid_t iServer = 0;

void StopServer() {
    if (iServer > 0) {
        kill(iServer, SIGTERM);
        waitpid(iServer, nullptr, 0);
    }
}

// Starts Xvfb on a free display of its own choosing and returns its number, or -1.
int StartPrivateServer() {
    int aPipe[2];
    if (pipe(aPipe) != 0)
        return -1;
    iServer = fork();
    if (iServer == 0) {
        // The server dies with the test process and keeps no hold on the runner's output.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int iNull = open("/dev/null", O_RDWR);
        dup2(iNull, STDIN_FILENO);
        dup2(iNull, STDOUT_FILENO);
        dup2(iNull, STDERR_FILENO);
        close(aPipe[0]);
        const std::string sFd = std::to_string(aPipe[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", sFd.c_str(), "-screen", "0", "640x480x16", "-nolisten",
               "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(aPipe[1]);
    // Xvfb writes the display number and a line feed when ready; it quits if the pipe closes first.
    std::string sLine;
    char c = 0;
    while (read(aPipe[0], &c, 1) == 1 && c != '\n')
        sLine += c;
    close(aPipe[0]);
    return c == '\n' ? std::atoi(sLine.c_str()) : -1;
}

} // namespace

bool StartDisplay() {
    static const int iDisplay = [] {
        const int iNumber = StartPrivateServer();
        if (iNumber >= 0) {
            std::atexit(StopServer);
            setenv("DISPLAY", (":" + std::to_string(iNumber)).c_str(), 1);
        }
        return iNumber;
    }();
    return iDisplay >= 0;
}

void cAllegroTest::SetUp() {
    if (system_driver)
        return;
    ASSERT_TRUE(StartDisplay()) << "Xvfb did not start";
    ASSERT_EQ(allegro_init(), 0) << "Allegro did not start on the private display";
    install_keyboard();
    install_timer();
    install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr);
    set_color_depth(16);
    ASSERT_EQ(set_gfx_mode(GFX_AUTODETECT, 640, 480, 0, 0), 0) << allegro_error;
}

tBitmap Cleared(int iWidth, int iHeight, int iColor) {
    tBitmap pBitmap(create_bitmap(iWidth, iHeight), destroy_bitmap);
    clear_to_color(pBitmap.get(), iColor);
    return pBitmap;
}

int PixelsOf(BITMAP* pBitmap, int iColor) {
    int iFound = 0;
    for (int y = 0; y < pBitmap->h; ++y)
        for (int x = 0; x < pBitmap->w; ++x)
            iFound += getpixel(pBitmap, x, y) == iColor;
    return iFound;
}

int DifferentPixels(BITMAP* pA, BITMAP* pB) {
    int iDifferent = 0;
    for (int y = 0; y < pA->h; ++y)
        for (int x = 0; x < pA->w; ++x)
            iDifferent += getpixel(pA, x, y) != getpixel(pB, x, y);
    return iDifferent;
}
