// The built-in source of list text: WMI itself, asked through COM.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <wbemcli.h>

#include <optional>
#include <string>
#include <vector>

#include "probes/wmic.h"
#include "win32/handles.h"

namespace orva {

// COM and the ROOT\CIMV2 connection for the thread that holds it, set up by
// the first query that needs them and kept until it ends, so that every
// query after the first pays only for itself. A query on a thread without
// one sets them up and takes them down again around itself.
class WmiSession {
public:
    WmiSession() noexcept;
    WmiSession(const WmiSession&) = delete;
    WmiSession& operator=(const WmiSession&) = delete;
    ~WmiSession();

    // The connection, null when COM or WMI failed; a failure is tried again
    // by the next call.
    IWbemServices* Services();

    // Drops the connection: the next Services() connects afresh.
    void Disconnect() noexcept;

    // The innermost session of this thread, or null.
    static WmiSession* Current() noexcept;

private:
    // Declared in this order so the connection goes before COM does.
    std::optional<ComInitGuard> com_;
    UniqueCom<IWbemServices> services_;
    WmiSession* outer_;
};

// The queries' records from ROOT\CIMV2, each written as the tool's list text
// in UTF-8, in their order, through this thread's session if it has one. One
// connection serves them all, or its failure fails them all at once; every
// query is submitted before any record is read, so the service works on them
// together. A query whose COM step fails gives empty text; one that finds the
// service gone (restarted) drops the session's connection for the next call.
std::vector<std::string> QueryWmiListTexts(const std::vector<WmicQuery>& queries);

// One property value as the tool prints it: NULL as nothing, unsigned CIM
// types as unsigned numbers, text in UTF-8.
std::string VariantText(const VARIANT& value, long cimType);

}  // namespace orva
