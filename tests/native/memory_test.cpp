#include "probes/memory.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>

#include "tests/native/list_output.h"
#include "tests/native/trace_text.h"

namespace orva {
namespace {

std::string MemoryRow(unsigned long long totalPhys, const std::string& toolOutput,
                      std::optional<unsigned long long> installedKibibytes = std::nullopt) {
    std::string trace;
    return FormatMemoryRow(totalPhys, installedKibibytes,
                           MemoryTypeText(toolOutput, AppendTo(trace)));
}

std::string OneModule(const std::string& code) {
    return "\n\nSMBIOSMemoryType=" + code + "\n\n\n";
}

TEST(MemoryRow, ShowsUsableMegabytesInstalledGigabytesAndTheFirstModulesType) {
    struct Case {
        unsigned long long totalPhys;
        std::optional<unsigned long long> installedKibibytes;  // none: the call failed
        std::string output;
        std::string row;
    };
    const Case cases[] = {
        {17114271744ULL, std::nullopt, OneModule("26"), "16321 MB  (16GB), Type DDR4"},
        {8446275584ULL, std::nullopt, "\nNode - PC\nERROR:\nDescription = Invalid query\n\n",
         "8054 MB  (8GB)"},
        {4181655552ULL, std::nullopt, "\n\nSMBIOSMemoryType=24\n\n\nSMBIOSMemoryType=26\n\n\n",
         "3987 MB  (4GB), Type DDR3"},
        {68719476736ULL, std::nullopt, OneModule("26"), "65536 MB  (64GB), Type DDR4"},
        {1073741824ULL, std::nullopt, OneModule("20"), "1024 MB  (1GB), Type DDR2 FB-DIMM"},
        {1047527424ULL, std::nullopt, OneModule("21"), "999 MB  (1GB)"},
        {34359738368ULL, std::nullopt, OneModule("34") + "SMBIOSMemoryType=34\n\n\n",
         "32768 MB  (32GB), Type DDR5"},
        {1048576000ULL, std::nullopt, "", "1000 MB  (1GB)"},
        {1048575ULL, std::nullopt, OneModule("26"), "0 MB  (0GB), Type DDR4"},
        {0ULL, std::nullopt, "", "0 MB  (0GB)"},
        {17114271744ULL, std::nullopt, kFirstRunNotice + OneModule("26"),
         "16321 MB  (16GB), Type DDR4"},
        {18446744073709551615ULL, std::nullopt, OneModule("35"),
         "17592186044415 MB  (17179869184GB), Type LPDDR5"},
        // Firmware and integrated graphics keep part of the installed memory.
        {8374976512ULL, 8388608ULL, OneModule("26"), "7987 MB  (8GB), Type DDR4"},
        {16535519232ULL, 16777216ULL, OneModule("34"), "15769 MB  (16GB), Type DDR5"},
        {68719476736ULL, 67108864ULL, OneModule("26"), "65536 MB  (64GB), Type DDR4"},
        {3221225472ULL, 4194304ULL, "", "3072 MB  (4GB)"},
        {1610612736ULL, 1572864ULL, "", "1536 MB  (2GB)"},
        {1610612736ULL, 1572863ULL, "", "1536 MB  (1GB)"},
    };
    for (const char* lineEnd : kLineEnds) {
        for (const Case& c : cases) {
            const std::string output = WithLineEnds(c.output, lineEnd);
            SCOPED_TRACE(output);
            EXPECT_EQ(MemoryRow(c.totalPhys, output, c.installedKibibytes), c.row);
        }
    }
}

TEST(MemoryTypeText, MatchesSmbiosCodesOnlyAsExactTwoCharacterText) {
    struct Case {
        std::string code;
        std::string type;
    };
    const Case cases[] = {
        {"18", ", Type DDR"},
        {"19", ", Type DDR2"},
        {"20", ", Type DDR2 FB-DIMM"},
        {"24", ", Type DDR3"},
        {"26", ", Type DDR4"},
        {"27", ", Type LPDDR"},
        {"28", ", Type LPDDR2"},
        {"29", ", Type LPDDR3"},
        {"30", ", Type LPDDR4"},
        {"34", ", Type DDR5"},
        {"35", ", Type LPDDR5"},
        {"0", ""},
        {"2", ""},
        {"21", ""},
        {"22", ""},
        {"25", ""},
        {"31", ""},
        {"36", ""},
        {"", ""},
        {"26 ", ""},
        {" 26", ""},
        {"026", ""},
        {"2 6", ""},
        {"26x", ""},
        {"DDR4", ""},
    };
    for (const char* lineEnd : kLineEnds) {
        for (const Case& c : cases) {
            std::string trace;
            const std::string output = WithLineEnds(OneModule(c.code), lineEnd);
            EXPECT_EQ(MemoryTypeText(output, AppendTo(trace)), c.type) << '"' << c.code << '"';
        }
    }
}

TEST(MemoryTypeText, OnlyTheFirstModuleCounts) {
    struct Case {
        std::string output;
        std::string type;
    };
    const Case cases[] = {
        {"SMBIOSMemoryType=2\r\r\n\r\r\nSMBIOSMemoryType=26\r\r\n", ""},
        {"SMBIOSMemoryType=\r\r\n\r\r\nSMBIOSMemoryType=26\r\r\n", ""},
        {"SMBIOSMemoryType=34\r\nSMBIOSMemoryType=26\r\n", ", Type DDR5"},
        {"smbiosmemorytype=26\r\n", ""},
        {"SMBIOSMemoryType=26", ", Type DDR4"},
    };
    for (const Case& c : cases) {
        std::string trace;
        EXPECT_EQ(MemoryTypeText(c.output, AppendTo(trace)), c.type) << c.output;
    }
}

TEST(MemoryTypeText, TracesTheCodeWithItsCarriageReturnsThenWithout) {
    struct Case {
        std::string output;
        std::string trace;
    };
    const Case cases[] = {
        {"\r\r\n\r\r\nSMBIOSMemoryType=26\r\r\n\r\r\n\r\r\nSMBIOSMemoryType=24\r\r\n\r\r\n\r\r\n",
         "26\r\r\r\r\r\r\n26\n"},
        {"\r\n\r\nSMBIOSMemoryType=26\r\n\r\n\r\n", "26\r\r\r\n26\n"},
        {"\n\nSMBIOSMemoryType=26\n\n\n", "26\n26\n"},
        {"", "\n\n"},
        {"\r\r\nNo Instance(s) Available.\r\r\n", "\n\n"},
        {"SMBIOSMemoryType=\r\r\n", "\r\r\n\n"},
    };
    for (const Case& c : cases) {
        std::string trace;
        MemoryTypeText(c.output, AppendTo(trace));
        EXPECT_EQ(trace, c.trace);
    }
}

// SMBIOS structures as DSP0134 lays them out: type, formatted length, handle
// and the rest of the formatted area, then each string with its NUL and one
// NUL more (two where there is no string).
std::string Structure(unsigned type, std::size_t length,
                      std::initializer_list<const char*> strings = {}) {
    std::string bytes(length, '\0');
    bytes[0] = static_cast<char>(type);
    bytes[1] = static_cast<char>(length);
    for (const char* text : strings) {
        bytes += std::string(text) + '\0';
    }
    return bytes + std::string(strings.size() == 0 ? 2 : 1, '\0');
}

// A memory device (type 17), by default of SMBIOS 2.3 (0x1B bytes): Size in
// MB at 0x0C (0: an empty slot), Memory Type at 0x12 where the length has room.
std::string MemoryDevice(unsigned megabytes, unsigned type, std::size_t length = 0x1B) {
    std::string bytes =
        length > 0x12 ? Structure(17, length, {"DIMM_A1", "BANK 0"}) : Structure(17, length);
    bytes[0x0C] = static_cast<char>(megabytes & 0xFF);
    bytes[0x0D] = static_cast<char>(megabytes >> 8);
    if (length > 0x12) {
        bytes[0x10] = 1;
        bytes[0x11] = 2;
        bytes[0x12] = static_cast<char>(type);
    }
    return bytes;
}

// GetSystemFirmwareTable's RawSMBIOSData: SMBIOS 2.7, its Length counting
// `counted` bytes (the whole table by default), then the table.
std::string RawSmbios(const std::string& table, std::size_t counted = std::string::npos) {
    const std::size_t length = counted == std::string::npos ? table.size() : counted;
    std::string raw = {0, 2, 7, 0};
    for (int i = 0; i < 4; ++i) {
        raw += static_cast<char>(length >> (8 * i) & 0xFF);
    }
    return raw + table;
}

const std::string kBios = Structure(0, 0x18, {"American Megatrends Inc.", "0602", "08/07/2011"});
const std::string kMapped = Structure(20, 0x13);  // follows its device
const std::string kEnd = Structure(127, 4);
constexpr unsigned kDdr2 = 19;
constexpr unsigned kDdr3 = 24;

TEST(SmbiosMemoryTypeText, NamesTheFirstInstalledModuleOfAWholeTable) {
    const std::string ddr3 = MemoryDevice(4096, kDdr3);
    std::string system = Structure(1, 0x1B, {"Red Hat", "KVM"});
    for (std::size_t i = 0x08; i < 0x18; ++i) {
        system[i] = static_cast<char>(0x10 + i);  // its UUID
    }
    const std::string ddr3WithoutLastNul = ddr3.substr(0, ddr3.size() - 1);
    struct Case {
        const char* what;
        std::string raw;
        std::string type;
    };
    const Case cases[] = {
        {"DDR3 after an empty slot",
         RawSmbios(kBios + MemoryDevice(0, 2) + kMapped + ddr3 + kMapped + kEnd), ", Type DDR3"},
        {"DDR2 of SMBIOS 2.1", RawSmbios(kBios + MemoryDevice(1024, kDdr2, 0x15) + kEnd),
         ", Type DDR2"},
        {"no memory device", RawSmbios(kBios + system + Structure(3, 0x15) + kEnd), ""},
        {"a formatted length below 4", RawSmbios(Structure(0, 2) + ddr3), ""},
        {"a device after the end", RawSmbios(kBios + kEnd + ddr3), ""},
        {"a device past the header's Length", RawSmbios(kBios + ddr3, kBios.size()), ""},
        {"a length past the end", RawSmbios(kBios + ddr3.substr(0, 0x14)), ""},
        {"strings without their double NUL", RawSmbios(kBios + ddr3WithoutLastNul) + '\0', ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SmbiosMemoryTypeText(c.raw), c.type) << c.what;
    }
    // Before SMBIOS 2.1 a device ends before its type, where the next
    // structure's first bytes lie.
    for (std::size_t length = 0x0F; length <= 0x12; ++length) {
        EXPECT_EQ(SmbiosMemoryTypeText(
                      RawSmbios(MemoryDevice(4096, kDdr3, length) + kMapped + ddr3 + kEnd)),
                  "")
            << length;
    }
}

TEST(MemoryTypeText, FirmwareNamesTheTypeOnlyWhereTheListHasNoKey) {
    struct Case {
        std::string output;
        std::string type;
        bool asked;
    };
    const Case cases[] = {
        {"\r\r\nNode - PC\r\r\nERROR:\r\r\nDescription = Invalid query\r\r\n", ", Type DDR2", true},
        {"", ", Type DDR2", true},
        {"SMBIOSMemoryType=0\r\r\n", "", false},
        {"SMBIOSMemoryType=2\r\r\n", "", false},
        {"SMBIOSMemoryType=\r\r\n", "", false},
        {"SMBIOSMemoryType=26\r\r\n", ", Type DDR4", false},
    };
    const std::string firmware = RawSmbios(kBios + MemoryDevice(2048, kDdr2) + kEnd);
    for (const Case& c : cases) {
        bool asked = false;
        std::string trace;
        EXPECT_EQ(MemoryTypeText(c.output, AppendTo(trace),
                                 [&] {
                                     asked = true;
                                     return firmware;
                                 }),
                  c.type);
        EXPECT_EQ(asked, c.asked) << c.output;
        std::string listTrace;
        MemoryTypeText(c.output, AppendTo(listTrace));
        EXPECT_EQ(trace, listTrace);
    }
}

}  // namespace
}  // namespace orva
