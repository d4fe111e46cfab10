// The memory type from any firmware table. The fuzzer's own bytes are parsed,
// so a read past them stops the run; nothing past the header's Length counts.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "probes/memory.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    const std::string type = orva::SmbiosMemoryTypeText(raw);
    fuzz::Require(type.empty() || type.rfind(", Type ", 0) == 0);

    std::uint32_t length = 0;  // the header's, little-endian as the host
    if (size >= 8) {
        std::memcpy(&length, data + 4, sizeof length);
    }
    if (size >= 8 && length <= size - 8) {
        std::string ddr4(0x15, '\0');  // an installed DDR4 module of SMBIOS 2.1
        ddr4[0] = 17;
        ddr4[1] = 0x15;
        ddr4[0x0C] = 1;
        ddr4[0x12] = 26;
        const std::string more = std::string(raw) + ddr4 + std::string(2, '\0');
        fuzz::Require(orva::SmbiosMemoryTypeText(more) == type);
    }
    return 0;
}
