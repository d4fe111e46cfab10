#include "probes/processor.h"

#include <string>

namespace orva {

std::wstring FormatProcessorRow(const std::wstring& name, unsigned long count) {
    // The whole name stays, however long: a fixed buffer would cut it or drop the count.
    return name + L" * " + std::to_wstring(count) + L" 코어";
}

}  // namespace orva
