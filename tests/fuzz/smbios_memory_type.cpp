// The memory type from any firmware table. The fuzzer's own bytes are parsed,
// so a read past them stops the run.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "probes/memory.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string type =
        orva::SmbiosMemoryTypeText(std::string_view(reinterpret_cast<const char*>(data), size));
    fuzz::Require(type.empty() || type.rfind(", Type ", 0) == 0);
    return 0;
}
