#include "probes/os.h"

#include <algorithm>

namespace orva {

namespace {

bool IsBuildOfWindows11(const std::wstring& buildNumber) {
    if (buildNumber.empty() || !std::all_of(buildNumber.begin(), buildNumber.end(),
                                            [](wchar_t c) { return c >= L'0' && c <= L'9'; })) {
        return false;
    }
    const auto firstDigit = buildNumber.find_first_not_of(L'0');
    if (firstDigit == std::wstring::npos) {
        return false;
    }
    const std::wstring digits = buildNumber.substr(firstDigit);
    // Equal lengths compare as numbers; a longer run of digits is larger.
    return digits.size() > 5 || (digits.size() == 5 && digits >= L"22000");
}

}  // namespace

std::wstring ApplyWindows11Name(std::wstring productName, const std::wstring& buildNumber) {
    static const std::wstring kWindows10 = L"Windows 10";
    const auto found = productName.find(kWindows10);
    if (found != std::wstring::npos && IsBuildOfWindows11(buildNumber)) {
        productName.replace(found, kWindows10.size(), L"Windows 11");
    }
    return productName;
}

}  // namespace orva
