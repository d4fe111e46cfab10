#include "probes/video.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/native/list_output.h"
#include "tests/native/trace_text.h"

namespace orva {
namespace {

std::string Adapter(const std::string& adapterRam, const std::string& name) {
    return "\n\nAdapterRAM=" + adapterRam + "\nName=" + name + "\n";
}

StoredAdapterMemory NothingStored(const std::string&, const std::string&) {
    return {};
}

TEST(FormatVideoRow, ShowsTheFirstAdaptersNameAndAdapterRamInMebibytes) {
    struct Case {
        std::string output;
        std::string row;
    };
    const Case cases[] = {
        {Adapter("1073741824", "N") + "\n\n", "N (1024 MB)"},
        {Adapter("1048576", "N") + "\n\n", "N (1 MB)"},
        {Adapter("524288", "N") + "\n\n", "N (0 MB)"},
        {Adapter("1073741824", "NVIDIA GeForce GTX 1050 Ti"),
         "NVIDIA GeForce GTX 1050 Ti (1024 MB)"},
        {"\n\n\n\n\nAdapterRAM=1073741824\nName=N\n\n\n\n\n\n", "N (1024 MB)"},
        {Adapter("4293918720", "NVIDIA GeForce RTX 3080") +
             Adapter("1073741824", "Intel(R) UHD Graphics 630") + "\n\n",
         "NVIDIA GeForce RTX 3080 (4095 MB)"},
        {Adapter("1073741824", "First") + Adapter("2147483648", "Second"), "First (1024 MB)"},
        {Adapter("   1073741824", "N"), "N (1024 MB)"},
        {Adapter("1073741824 bytes", "N"), "N (1024 MB)"},
        {Adapter("+2097152", "N"), "N (2 MB)"},
        {Adapter("-1048576", "N"), "N (-1 MB)"},
        {Adapter("-1048575", "N"), "N (0 MB)"},
        {Adapter("1073741824", " N "), " N  (1024 MB)"},
        {Adapter("1073741824", ""), " (1024 MB)"},
        {Adapter("1073741824", "\xB1\xD7\xB7\xA1\xC7\xC8 \xC4\xAB\xB5\xE5"),
         "\xB1\xD7\xB7\xA1\xC7\xC8 \xC4\xAB\xB5\xE5 (1024 MB)"},
        // Only "Name=" with a capital N is the key.
        {"\n\nAdapterRAM=1073741824\nname=N\n\n", " (1024 MB)"},
        {"\n\nAdapterRAM=1073741824\n\n", " (1024 MB)"},
        // An adapter that reports no memory is named alone.
        {Adapter("", "Microsoft Remote Display Adapter") + "\n\n",
         "Microsoft Remote Display Adapter"},
        {Adapter("", "USB Display") + Adapter("1073741824", "Second"), "USB Display"},
        // The eleven characters before the number are dropped unread.
        {"\n\nAdapterRam=2097152\nName=N\n", "N (2 MB)"},
        // The tool's notice on its first run on a PC, with or without a line break.
        {kFirstRunNotice + Adapter("1073741824", "N"), "N (1024 MB)"},
        {kFirstRunNotice + "AdapterRAM=1073741824\nName=N\n", "N (1024 MB)"},
        {kFirstRunNotice + Adapter("", "USB Display"), "USB Display"},
        // Memory shared with the system (a virtual machine's QXL display) reports 0.
        {Adapter("0", "Red Hat QXL controller"), "Red Hat QXL controller"},
    };
    for (const char* lineEnd : kLineEnds) {
        for (const Case& c : cases) {
            const std::string output = WithLineEnds(c.output, lineEnd);
            SCOPED_TRACE(output);
            std::string trace;
            EXPECT_EQ(FormatVideoRow(output, NothingStored, AppendTo(trace)), c.row);
        }
    }
}

std::string Adapter(const std::string& adapterRam, const std::string& name,
                    const std::string& deviceId) {
    return Adapter(adapterRam, name) + "PNPDeviceID=" + deviceId + "\n";
}

const std::string kRemoteAdapter =
    Adapter("", "Microsoft Remote Display Adapter",
            "SWD\\REMOTEDISPLAYENUM\\RDPIDD_INDIRECTDISPLAY&SESSIONID_0002");

TEST(FormatVideoRow, NamesThePcsOwnAdapterBeforeRemoteAndVirtualOnes) {
    const std::string card = Adapter("4293918720", "NVIDIA GeForce RTX 3080", "PCI\\VEN_10DE");
    struct Case {
        std::string output;
        std::string row;
    };
    const Case cases[] = {
        {kRemoteAdapter + card + "\n\n", "NVIDIA GeForce RTX 3080 (4095 MB)"},
        {kFirstRunNotice + kRemoteAdapter + card, "NVIDIA GeForce RTX 3080 (4095 MB)"},
        {Adapter("0", "Parsec Virtual Display Adapter", "root\\display\\0000") + card,
         "NVIDIA GeForce RTX 3080 (4095 MB)"},
        {kRemoteAdapter + Adapter("134217728", "Microsoft Hyper-V Video", "VMBUS\\{DA0A7802}"),
         "Microsoft Hyper-V Video (128 MB)"},
        {kRemoteAdapter + Adapter("1073741824", "Qualcomm(R) Adreno(TM) GPU", "ACPI\\QCOM0C46"),
         "Qualcomm(R) Adreno(TM) GPU (1024 MB)"},
        // Only remote or virtual ones, or no device IDs: the first is named.
        {kRemoteAdapter, "Microsoft Remote Display Adapter"},
        {kRemoteAdapter + Adapter("1048576", "Basic Render", "ROOT\\BasicRender\\0000"),
         "Microsoft Remote Display Adapter"},
        // An empty ID is not remote: of equal figures the first is named.
        {Adapter("4293918720", "First", "") + card, "First (4095 MB)"},
    };
    for (const char* lineEnd : kLineEnds) {
        for (const Case& c : cases) {
            const std::string output = WithLineEnds(c.output, lineEnd);
            SCOPED_TRACE(output);
            std::string trace;
            EXPECT_EQ(FormatVideoRow(output, NothingStored, AppendTo(trace)), c.row);
        }
    }
}

// Hybrid graphics, listed in either order; the registry's records of each
// adapter's memory by device ID as the device has it.
TEST(FormatVideoRow, NamesTheAdapterWithTheMostMemory) {
    const std::string intel =
        Adapter("1073741824", "Intel(R) UHD Graphics", "PCI\\VEN_8086&DEV_9A49&SUBSYS_0A1F1028");
    const std::string nvidia = Adapter("4293918720", "NVIDIA GeForce RTX 3060 Laptop GPU",
                                       "PCI\\VEN_10DE&DEV_2520&SUBSYS_0A1F1028");
    const std::map<std::string, StoredAdapterMemory> stored = {
        {"PCI\\VEN_10DE&DEV_2504", {12884901888ULL, std::nullopt}},
        {"PCI\\VEN_1002&DEV_1638", {std::nullopt, 134217728ULL}},
        {"PCI\\VEN_10DE&DEV_1F99", {std::nullopt, 6442450944ULL}},
        {"PCI\\VEN_8086&DEV_56A0", {std::nullopt, 17179869184ULL}},
        {"ACPI\\VEN_QCOM&DEV_0C36", {std::nullopt, 0ULL}},
    };
    const std::string adreno =
        Adapter("0", "Snapdragon(R) X Elite - X1E84100 - Qualcomm(R) Adreno(TM) GPU",
                "ACPI\\VEN_QCOM&amp;DEV_0C36");
    struct Case {
        std::string output;
        std::string row;
    };
    const Case cases[] = {
        {intel + nvidia, "NVIDIA GeForce RTX 3060 Laptop GPU (4095 MB)"},
        {nvidia + intel + "\n\n", "NVIDIA GeForce RTX 3060 Laptop GPU (4095 MB)"},
        {Adapter("", "DisplayLink USB Device", "USB\\VID_17E9&PID_4307") + intel,
         "Intel(R) UHD Graphics (1024 MB)"},
        {Adapter("1073741824", "First", "PCI\\VEN_1") +
             Adapter("1073741825", "Second", "PCI\\VEN_2"),
         "First (1024 MB)"},
        {kRemoteAdapter + intel + nvidia, "NVIDIA GeForce RTX 3060 Laptop GPU (4095 MB)"},
        {Adapter("unknown", "Odd", "PCI\\VEN_1") + intel, "Intel(R) UHD Graphics (1024 MB)"},
        // The tool writes "&" as "&amp;"; the driver's record beats AdapterRAM.
        {Adapter("2147483648", "Intel(R) Iris(R) Xe Graphics", "PCI\\VEN_8086&amp;DEV_9A49") +
             Adapter("1073741824", "NVIDIA GeForce RTX 3060", "PCI\\VEN_10DE&amp;DEV_2504"),
         "NVIDIA GeForce RTX 3060 (12288 MB)"},
        // DirectX's dedicated memory counts where it is more than AdapterRAM.
        {Adapter("536870912", "AMD Radeon(TM) Graphics", "PCI\\VEN_1002&DEV_1638") +
             Adapter("4293918720", "NVIDIA GeForce GTX 1650", "PCI\\VEN_10DE&DEV_1F99"),
         "NVIDIA GeForce GTX 1650 (6144 MB)"},
        {Adapter("536870912", "AMD Radeon(TM) Graphics", "PCI\\VEN_1002&DEV_1638"),
         "AMD Radeon(TM) Graphics (512 MB)"},
        {Adapter("2147479552", "Intel(R) Arc(TM) A770 Graphics", "PCI\\VEN_8086&DEV_56A0"),
         "Intel(R) Arc(TM) A770 Graphics (16384 MB)"},
        // A figure of 0 is none: it never beats a real one, however small.
        {kRemoteAdapter + adreno, "Snapdragon(R) X Elite - X1E84100 - Qualcomm(R) Adreno(TM) GPU"},
        {Adapter("0", "Zero", "PCI\\VEN_1") + Adapter("524288", "Tiny", "PCI\\VEN_2"),
         "Tiny (0 MB)"},
        {Adapter("524288", "Tiny", "PCI\\VEN_2") + Adapter("0", "Zero", "PCI\\VEN_1"),
         "Tiny (0 MB)"},
        {Adapter("0", "Red Hat QXL controller", "PCI\\VEN_1B36&DEV_0100") + adreno,
         "Red Hat QXL controller"},
    };
    const auto lookup = [&](const std::string&, const std::string& deviceId) {
        const auto found = stored.find(deviceId);
        return found != stored.end() ? found->second : StoredAdapterMemory{};
    };
    for (const char* lineEnd : kLineEnds) {
        for (const Case& c : cases) {
            const std::string output = WithLineEnds(c.output, lineEnd);
            SCOPED_TRACE(output);
            std::string trace;
            EXPECT_EQ(FormatVideoRow(output, lookup, AppendTo(trace)), c.row);
        }
    }
}

TEST(FormatVideoRow, AdapterRamThatHoldsNoNumberInRangeThrows) {
    struct Case {
        std::string output;
        bool outOfRange;
    };
    const Case cases[] = {
        {"", false},
        {"\n\nNo Instance(s) Available.\n\n", false},
        {Adapter("", ""), false},
        {Adapter("   ", "N"), false},
        {Adapter("unknown", "N"), false},
        {kFirstRunNotice + Adapter("unknown", "N"), false},
        {"\n\nName=N\n\n", false},
        {"\n\nName=N\nAdapterRAM=1073741824\n\n", false},
        {Adapter("9223372036854775808", "N"), true},
        {Adapter("99999999999999999999", "N"), true},
    };
    for (const char* lineEnd : kLineEnds) {
        for (const Case& c : cases) {
            const std::string output = WithLineEnds(c.output, lineEnd);
            SCOPED_TRACE(output);
            std::string trace;
            if (c.outOfRange) {
                EXPECT_THROW(FormatVideoRow(output, NothingStored, AppendTo(trace)),
                             std::out_of_range);
            } else {
                EXPECT_THROW(FormatVideoRow(output, NothingStored, AppendTo(trace)),
                             std::invalid_argument);
            }
        }
    }
}

TEST(FormatVideoRow, StoredDriverMemoryReplacesAdapterRam) {
    struct Case {
        std::string output;
        std::optional<unsigned long long> stored;
        std::string row;
    };
    const Case cases[] = {
        {Adapter("4293918720", "NVIDIA GeForce RTX 3080"), 10737418240ULL,
         "NVIDIA GeForce RTX 3080 (10240 MB)"},
        {Adapter("4293918720", "NVIDIA GeForce RTX 3080"), std::nullopt,
         "NVIDIA GeForce RTX 3080 (4095 MB)"},
        {Adapter("4293918720", "N"), 25769803776ULL, "N (24576 MB)"},
        {Adapter("4293918720", "N"), 1048575ULL, "N (0 MB)"},
        {Adapter("4293918720", "N"), 18446744073709551615ULL, "N (17592186044415 MB)"},
        // With the stored size AdapterRAM is not converted at all.
        {Adapter("", "N"), 8589934592ULL, "N (8192 MB)"},
        {Adapter("99999999999999999999", "N"), 8589934592ULL, "N (8192 MB)"},
        {"\n\nName=N\n\n", 8589934592ULL, "N (8192 MB)"},
        // A driver's 0 is no figure: AdapterRAM's counts, or none.
        {Adapter("134217728", "N"), 0ULL, "N (128 MB)"},
        {Adapter("0", "Red Hat QXL controller"), 0ULL, "Red Hat QXL controller"},
    };
    for (const char* lineEnd : kLineEnds) {
        for (const Case& c : cases) {
            const std::string output = WithLineEnds(c.output, lineEnd);
            SCOPED_TRACE(output);
            std::string trace;
            const auto stored = [&](const std::string&, const std::string&) {
                return StoredAdapterMemory{c.stored, std::nullopt};
            };
            EXPECT_EQ(FormatVideoRow(output, stored, AppendTo(trace)), c.row);
        }
    }
}

TEST(FormatVideoRow, AsksForTheStoredMemoryByTheCleanedNameOnly) {
    struct Case {
        std::string output;
        std::vector<std::string> asked;
    };
    const Case cases[] = {
        {"\r\r\n\r\r\nAdapterRAM=1073741824\r\r\nName=NVIDIA GeForce GTX 1050 Ti\r\r\n\r\r\n",
         {"NVIDIA GeForce GTX 1050 Ti"}},
        {"AdapterRAM=1\r\nName= Two Blanks \r\nAdapterRAM=2\r\nName=Other\r\n", {" Two Blanks "}},
        {"AdapterRAM=1073741824\r\nName=\r\n", {}},
        {"AdapterRAM=1073741824\r\n", {}},
        {kRemoteAdapter + Adapter("1", "Card", "PCI\\VEN_1002"), {"Card"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> asked;
        const auto lookup = [&](const std::string& name, const std::string&) {
            asked.push_back(name);
            return StoredAdapterMemory{};
        };
        std::string trace;
        FormatVideoRow(c.output, lookup, AppendTo(trace));
        EXPECT_EQ(asked, c.asked) << c.output;
    }
}

TEST(FormatVideoRow, TracesTheNameThenTheMemoryPieceBeforeRemovingCarriageReturns) {
    struct Case {
        std::string output;
        std::string trace;
    };
    const Case cases[] = {
        {"\r\r\n\r\r\nAdapterRAM=1073741824\r\r\nName=NVIDIA GeForce GTX 1050 Ti\r\r\n"
         "\r\r\n\r\r\nAdapterRAM=2147483648\r\r\nName=Second\r\r\n\r\r\n\r\r\n",
         "NVIDIA GeForce GTX 1050 Ti\r\r\n"
         "\r\r\r\rAdapterRAM=1073741824\r\r\n"},
        {"\r\n\r\nAdapterRAM=1073741824\r\nName=N\r\n\r\n\r\n",
         "N\r\n\r\rAdapterRAM=1073741824\r\n"},
        {"\n\nAdapterRAM=1073741824\nName=N\n\n\n", "N\nAdapterRAM=1073741824\n"},
        {"AdapterRAM=1073741824\r\n", "\nAdapterRAM=1073741824\r\n"},
    };
    for (const Case& c : cases) {
        std::string trace;
        FormatVideoRow(c.output, NothingStored, AppendTo(trace));
        EXPECT_EQ(trace, c.trace);
    }
}

TEST(FormatVideoRow, WritesBothTraceLinesBeforeAFailedConversion) {
    std::string trace;
    EXPECT_THROW(FormatVideoRow("", NothingStored, AppendTo(trace)), std::invalid_argument);
    EXPECT_EQ(trace, "\n\n");
    std::string named;
    EXPECT_THROW(FormatVideoRow("AdapterRAM=x\r\r\nName=N\r\r\n", NothingStored, AppendTo(named)),
                 std::invalid_argument);
    EXPECT_EQ(named, "N\r\r\nAdapterRAM=x\r\r\n");
}

}  // namespace
}  // namespace orva
