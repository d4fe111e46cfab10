// WMI itself as a source of the queries' lists.
#pragma once

#include <vector>

#include "probes/lists.h"
#include "probes/queries.h"
#include "win32/wmi.h"

namespace orva {

// The queries' records from ROOT\CIMV2, each written as the tool's list text
// in UTF-8, in their order, through the session's connection. One connection
// serves them all, or its failure fails them all at once; every query is
// submitted before any record is read, so the service works on them
// together. A query whose COM step fails gives empty text; one that finds
// the service gone (restarted) drops the session's connection for the next call.
std::vector<ListText> QueryWmiLists(const std::vector<ListQuery>& queries, WmiSession& session);

}  // namespace orva
