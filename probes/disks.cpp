#include "probes/disks.h"

#include <string>
#include <vector>

#include "probes/text.h"

namespace orva {

namespace {

// disk: a cleaned block cut at "Size=". A card reader with no card in it has
// a model and an empty size: it is named without a label.
std::string SizeLabel(const std::vector<std::string>& disk) {
    const std::string sizeText = PieceAt(disk, 1);
    if (disk.size() > 1 && sizeText.empty() && !PieceAt(disk, 0).empty()) {
        return std::string();
    }
    const long long gigabytes = std::stoll(sizeText, nullptr, 10) / 1073741824LL;
    return "(" + std::to_string(gigabytes) + "GB)";
}

}  // namespace

std::string FormatDisksRow(const std::string& toolOutput, const TraceSink& trace) {
    const std::vector<std::string> blocks = SplitString(toolOutput, "Model=");
    std::string first = PieceAt(blocks, 1);
    std::string second = PieceAt(blocks, 2);
    CleanAndTrace(first, trace, TraceCleaned::kYes);
    CleanAndTrace(second, trace, TraceCleaned::kYes);

    const std::vector<std::string> firstDisk = SplitString(first, "Size=");
    const std::vector<std::string> secondDisk = SplitString(second, "Size=");
    std::string row = PieceAt(firstDisk, 0) + SizeLabel(firstDisk);
    const std::string secondModel = PieceAt(secondDisk, 0);
    if (!secondModel.empty()) {
        row += ", " + secondModel + SizeLabel(secondDisk);
    }
    return row;
}

}  // namespace orva
