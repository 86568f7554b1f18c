#include <allegro.h>

#include "core/main.h"

int main() {
    return GameMain();
}
END_OF_MAIN()
