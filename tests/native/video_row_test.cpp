#include "probes/video.h"

#include <gtest/gtest.h>

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

std::optional<unsigned long long> NothingStored(const std::string&) {
    return std::nullopt;
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
        {Adapter("1048576", "First", "") + card, "First (1 MB)"},
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
    };
    for (const char* lineEnd : kLineEnds) {
        for (const Case& c : cases) {
            const std::string output = WithLineEnds(c.output, lineEnd);
            SCOPED_TRACE(output);
            std::string trace;
            const auto stored = [&](const std::string&) { return c.stored; };
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
        const auto lookup = [&](const std::string& name) -> std::optional<unsigned long long> {
            asked.push_back(name);
            return std::nullopt;
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
