#include "probes/processor.h"

#include <cwchar>

namespace orva {

std::wstring FormatProcessorRow(const std::wstring& name, unsigned long count) {
    wchar_t suffix[16] = {};
    std::swprintf(suffix, sizeof suffix / sizeof suffix[0], L" * %lu", count);
    // The whole name stays, however long: a fixed buffer would cut it or drop the count.
    return name + suffix + L" 코어";
}

}  // namespace orva
