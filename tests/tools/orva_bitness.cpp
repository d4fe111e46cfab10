// Prints "32" or "64", the width of this build's pointers. The tools run it to
// learn whether this machine's Wine really starts the 32-bit program.
#include <cstdio>

int wmain() {
    std::printf("%u\n", static_cast<unsigned>(sizeof(void*) * 8));
    return 0;
}
