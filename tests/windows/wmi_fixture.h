// What the tests of the WMI plumbing and of the two sources of list text share.
#pragma once

#include <windows.h>
#include <wbemcli.h>

#include <string>

#include "probes/text.h"
#include "win32/handles.h"

namespace orva {

// The value after key in the first record, up to the next key (or the end).
inline std::string FirstValue(const std::string& listText, const std::string& key,
                              const std::string& nextKey) {
    std::string piece = PieceAt(SplitString(listText, key), 1);
    StripChar(piece, '\n');
    StripChar(piece, '\r');
    return nextKey.empty() ? piece : PieceAt(SplitString(piece, nextKey), 0);
}

inline int LiveComOwners() {
    return UniqueCom<IWbemLocator>::LiveCount() + UniqueCom<IWbemServices>::LiveCount() +
           UniqueCom<IEnumWbemClassObject>::LiveCount() + UniqueCom<IWbemClassObject>::LiveCount() +
           UniqueBstr::LiveCount();
}

}  // namespace orva
