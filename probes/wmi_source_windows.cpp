#include "probes/wmi_source.h"

#include "probes/text.h"
#include "probes/wmi_list.h"
#include "win32/handles.h"
#include "win32/wmi.h"

namespace orva {

std::vector<ListText> QueryWmiLists(const std::vector<ListQuery>& queries, WmiSession& session) {
    std::vector<ListText> texts(queries.size());
    if (queries.empty()) {
        return texts;
    }
    IWbemServices* const services = session.Services();
    if (services == nullptr) {
        return texts;
    }
    std::vector<UniqueCom<IEnumWbemClassObject>> submitted(queries.size());
    bool gone = false;
    for (std::size_t i = 0; i < queries.size(); ++i) {
        gone =
            WmiConnectionGone(SubmitWmiQuery(services, WqlText(queries[i]), submitted[i])) || gone;
    }
    for (std::size_t i = 0; i < queries.size(); ++i) {
        std::vector<WmiRecord> records;
        const HRESULT read = submitted[i]
                                 ? ReadWmiRecords(submitted[i].get(),
                                                  SplitString(queries[i].properties, ","), records)
                                 : E_FAIL;
        if (SUCCEEDED(read)) {
            texts[i].bytes = WriteListText(records);
        }
        gone = WmiConnectionGone(read) || gone;
        submitted[i].reset();
    }
    // Only a new connection reaches the restarted service: the next gathering
    // makes one, so this one still tries to connect once at most.
    if (gone) {
        session.Disconnect();
    }
    return texts;
}

}  // namespace orva
