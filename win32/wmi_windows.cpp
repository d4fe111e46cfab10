#include "win32/wmi.h"

#include <wbemcli.h>

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "win32/handles.h"
#include "win32/text_conversion.h"

namespace orva {

namespace {

// A WMI that does not answer within this time counts as failed, so a
// gathering cannot hang on it.
constexpr long kNextTimeoutMs = 10000;

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

UniqueBstr Bstr(const std::wstring& text) {
    return UniqueBstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}

UniqueCom<IWbemServices> Connect() {
    UniqueCom<IWbemLocator> locator;
    if (FAILED(CoCreateInstance(
            CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
            reinterpret_cast<void**>(static_cast<IWbemLocator**>(locator.put()))))) {
        return UniqueCom<IWbemServices>();
    }
    const UniqueBstr name = Bstr(L"ROOT\\CIMV2");
    UniqueCom<IWbemServices> services;
    // Without the flag a stuck WMI service can hold the call for good; with it
    // the call gives up after two minutes at most.
    if (!name || FAILED(locator.get()->ConnectServer(name.get(), nullptr, nullptr, nullptr,
                                                     WBEM_FLAG_CONNECT_USE_MAX_WAIT, nullptr,
                                                     nullptr, services.put()))) {
        return UniqueCom<IWbemServices>();
    }
    // The services object may run in this process (Wine) and then has no proxy
    // to configure; the query itself shows whether access works.
    CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                      RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    return services;
}

}  // namespace

bool SetUpComSecurity() noexcept {
    // Process-wide and settable once: a second call, or one after COM chose
    // its defaults, reports RPC_E_TOO_LATE and changes nothing.
    const HRESULT security =
        CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                             RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    return SUCCEEDED(security) || security == RPC_E_TOO_LATE;
}

IWbemServices* WmiSession::Services() {
    if (!services_) {
        services_ = Connect();
    }
    return services_.get();
}

void WmiSession::Disconnect() noexcept {
    services_.reset();
}

HRESULT SubmitWmiQuery(IWbemServices* services, const std::string& wql,
                       UniqueCom<IEnumWbemClassObject>& rows) {
    const UniqueBstr language = Bstr(L"WQL");
    const UniqueBstr statement = Bstr(Widen(wql));
    if (!language || !statement) {
        return E_OUTOFMEMORY;
    }
    const HRESULT result = services->ExecQuery(
        language.get(), statement.get(), WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
        nullptr, rows.put());
    if (FAILED(result)) {
        rows.reset();
    }
    return result;
}

HRESULT ReadWmiRecords(IEnumWbemClassObject* rows, const std::vector<std::string>& properties,
                       std::vector<WmiRecord>& records) {
    for (;;) {
        UniqueCom<IWbemClassObject> row;
        ULONG returned = 0;
        const HRESULT next = rows->Next(kNextTimeoutMs, 1, row.put(), &returned);
        if (next == WBEM_S_FALSE && returned == 0) {
            return S_OK;
        }
        if (next != WBEM_S_NO_ERROR || returned != 1 || !row) {
            return FAILED(next) ? next : E_FAIL;  // an error or a timeout
        }
        WmiRecord record;
        for (const std::string& name : properties) {
            VariantGuard value;
            CIMTYPE type = CIM_EMPTY;
            const HRESULT got = row.get()->Get(Widen(name).c_str(), 0, value.put(), &type, nullptr);
            if (FAILED(got)) {
                return got;
            }
            record.push_back({name, VariantText(value.get(), type)});
        }
        records.push_back(record);
    }
}

bool WmiConnectionGone(HRESULT result) {
    const HRESULT gone[] = {
        static_cast<HRESULT>(0x800706BAU),  // RPC_S_SERVER_UNAVAILABLE
        static_cast<HRESULT>(0x800706BEU),  // RPC_S_CALL_FAILED
        static_cast<HRESULT>(0x800706BFU),  // RPC_S_CALL_FAILED_DNE
        RPC_E_DISCONNECTED,
        RPC_E_SERVER_DIED,
        RPC_E_SERVER_DIED_DNE,
        static_cast<HRESULT>(WBEM_E_TRANSPORT_FAILURE),
    };
    return std::find(std::begin(gone), std::end(gone), result) != std::end(gone);
}

std::string VariantText(const VARIANT& value, long cimType) {
    switch (V_VT(&value)) {
        case VT_EMPTY:
        case VT_NULL:
            return std::string();
        case VT_BSTR:
            if (V_BSTR(&value) == nullptr) {
                return std::string();
            }
            return ToUtf8(std::wstring(V_BSTR(&value), SysStringLen(V_BSTR(&value))));
        case VT_BOOL:
            return V_BOOL(&value) != VARIANT_FALSE ? "TRUE" : "FALSE";
        case VT_UI1:
            return std::to_string(V_UI1(&value));
        case VT_I2:
            return std::to_string(V_I2(&value));
        case VT_UI2:
            return std::to_string(V_UI2(&value));
        case VT_I4:
            // WMI hands uint32 properties over in a signed VARIANT.
            if (cimType == CIM_UINT32) {
                return std::to_string(static_cast<std::uint32_t>(V_I4(&value)));
            }
            return std::to_string(V_I4(&value));
        case VT_UI4:
            return std::to_string(V_UI4(&value));
        case VT_I8:
            return std::to_string(V_I8(&value));
        case VT_UI8:
            return std::to_string(V_UI8(&value));
        default: {
            VariantGuard text;
            if (FAILED(VariantChangeType(text.put(), const_cast<VARIANT*>(&value), 0, VT_BSTR)) ||
                V_VT(&text.get()) != VT_BSTR) {
                return std::string();
            }
            return VariantText(text.get(), CIM_STRING);
        }
    }
}

}  // namespace orva
