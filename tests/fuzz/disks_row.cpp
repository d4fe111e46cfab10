// The disk row over any tool output: one line, a number failure or a row
// that names or sizes a disk, and never more than the first two disks.
#include <cstddef>
#include <cstdint>
#include <string>

#include "probes/disks.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string output(reinterpret_cast<const char*>(data), size);
    const auto format = [](const std::string& text) {
        return orva::FormatDisksRow(text, fuzz::NullTrace());
    };
    std::string row;
    if (fuzz::TryRow(format, output, row)) {
        fuzz::Require(fuzz::IsOneLine(row));
        fuzz::Require(!row.empty());
    }
    // Whatever follows the third record cannot change the row.
    std::size_t third = std::string::npos;
    for (std::size_t at = 0, seen = 0; (at = output.find("Model=", at)) != std::string::npos;
         at += 6) {
        if (++seen == 3) {
            third = at;
            break;
        }
    }
    if (third != std::string::npos) {
        fuzz::RequireSameRow(format, output, output.substr(0, third));
        fuzz::RequireSameRow(format, output, output.substr(0, third) + "Model=Third\r\nSize=1\r\n");
    }
    return 0;
}
