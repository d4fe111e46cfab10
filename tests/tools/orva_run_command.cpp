// Runs one tool with RunCommand and prints how many bytes it wrote (-1 for
// nothing), for tests of a caller that dies while its tool runs.
//   orva_run_command PROGRAM COMMAND-LINE BOUND-MS
#include <cstdio>
#include <cwchar>

#include "tests/common/test_kit.h"
#include "win32/command_runner.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: orva_run_command PROGRAM COMMAND-LINE BOUND-MS\n");
        return 2;
    }
    const auto output = orva::RunCommand(argv[1], argv[2], std::wcstoul(argv[3], nullptr, 10));
    std::printf("%ld\n", output ? static_cast<long>(output->size()) : -1L);
    return 0;
}
