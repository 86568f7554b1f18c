// Loaded with LD_PRELOAD into the game in the pad tests: a FIFO opened as the joystick device
// answers the joystick driver's questions as a pad of eight axes and eleven buttons (the layout of
// an Xbox pad) would, so that Allegro's own Linux driver reads the js_event records the test
// writes into it. Every other call goes through.
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
        const char sName[] = "Zenith test pad";
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
            std::strncpy(static_cast<char*>(pAnswer), sName, _IOC_SIZE(iRequest));
            return sizeof sName;
        }
    }
    using tIoctl = int (*)(int, unsigned long, void*);
    static const tIoctl pReal = reinterpret_cast<tIoctl>(dlsym(RTLD_NEXT, "ioctl"));
    return pReal(iFile, iRequest, pAnswer);
}
