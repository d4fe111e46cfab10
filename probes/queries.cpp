#include "probes/queries.h"

namespace orva {

bool HoldsQueryKey(const std::string& list, const ListQuery& query) {
    return list.find(query.key) != std::string::npos;
}

}  // namespace orva
