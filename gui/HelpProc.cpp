#include "gui/HelpProc.h"

int HelpProc(cMenuWindow&, int, void*, void*) {
    return 0;
}
