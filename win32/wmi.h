// WMI through COM: the connection to ROOT\CIMV2, a query submitted on it and
// its records read as text. Knows nothing of rows or of the tool's list.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <wbemcli.h>

#include <string>
#include <vector>

#include "win32/handles.h"
#include "win32/wmi_record.h"

namespace orva {

// The process-wide COM security that WMI's proxies need (impersonation): set
// once, after CoInitializeEx and before COM makes any call. False when it
// cannot be set; set before (RPC_E_TOO_LATE) it counts as done.
bool SetUpComSecurity() noexcept;

// The connection to ROOT\CIMV2 for the thread that holds it, whose COM is set
// up already: made by the first query that needs it and kept until dropped,
// so that every query after the first pays only for itself.
class WmiSession {
public:
    WmiSession() noexcept = default;
    WmiSession(const WmiSession&) = delete;
    WmiSession& operator=(const WmiSession&) = delete;

    // The connection, null when WMI could not be reached; a failure is tried
    // again by the next call.
    IWbemServices* Services();

    // Drops the connection: the next Services() connects afresh.
    void Disconnect() noexcept;

private:
    UniqueCom<IWbemServices> services_;
};

// Submits a WQL statement into rows, whose records come as the service finds
// them; the failure's code when it cannot be submitted.
HRESULT SubmitWmiQuery(IWbemServices* services, const std::string& wql,
                       UniqueCom<IEnumWbemClassObject>& rows);

// Reads every record of rows with the named properties, in that order; the
// failure's code when a step fails or a record does not come within 10 s.
HRESULT ReadWmiRecords(IEnumWbemClassObject* rows, const std::vector<std::string>& properties,
                       std::vector<WmiRecord>& records);

// Whether a call's result means that the service behind the connection has
// gone (the WMI service restarted): no call on it can succeed again.
bool WmiConnectionGone(HRESULT result);

// One property value as the tool prints it: NULL as nothing, unsigned CIM
// types as unsigned numbers, text in UTF-8.
std::string VariantText(const VARIANT& value, long cimType);

}  // namespace orva
