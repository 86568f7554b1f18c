// Preloaded into the game: a FIFO opened as the joystick device answers as a pad of eight axes and
// eleven buttons (an Xbox pad's layout) would, and Allegro's driver reads the test's js_events.
#include <cstdarg>
#include <cstring>
#include <dlfcn.h>
#include <linux/joystick.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

extern "C" int ioctl(int iFile, unsigned long iRequest, ...) {
    va_list arguments;
    va_start(arguments, iRequest);
    void* pAnswer = va_arg(arguments, void*);
    va_end(arguments);
    struct stat info;
    if (fstat(iFile, &info) == 0 && S_ISFIFO(info.st_mode)) {
        switch (iRequest) {
        case JSIOCGVERSION:
            *static_cast<unsigned*>(pAnswer) = JS_VERSION;
            return 0;
        case JSIOCGAXES:
            *static_cast<unsigned char*>(pAnswer) = 8;
            return 0;
        case JSIOCGBUTTONS:
            *static_cast<unsigned char*>(pAnswer) = 11;
            return 0;
        }
        if ((iRequest & ~(_IOC_SIZEMASK << _IOC_SIZESHIFT)) == JSIOCGNAME(0)) {
            std::strncpy(static_cast<char*>(pAnswer), "Zenith test pad", _IOC_SIZE(iRequest));
            return 16;
        }
    }
    using tIoctl = int (*)(int, unsigned long, void*);
    static const tIoctl pReal = reinterpret_cast<tIoctl>(dlsym(RTLD_NEXT, "ioctl"));
    return pReal(iFile, iRequest, pAnswer);
}
