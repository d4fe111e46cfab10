// The built-in source of list text: the queries asked of WMI itself.
#pragma once

#include <string>
#include <vector>

#include "probes/wmic.h"
#include "win32/wmi.h"

namespace orva {

// The queries' records from ROOT\CIMV2, each written as the tool's list text
// in UTF-8, in their order, through the session's connection. One connection
// serves them all, or its failure fails them all at once; every query is
// submitted before any record is read, so the service works on them
// together. A query whose COM step fails gives empty text; one that finds
// the service gone (restarted) drops the session's connection for the next call.
std::vector<std::string> QueryWmiListTexts(const std::vector<WmicQuery>& queries,
                                           WmiSession& session);

}  // namespace orva
