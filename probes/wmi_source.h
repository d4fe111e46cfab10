// The built-in source of list text: WMI itself, asked through COM.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "probes/wmic.h"

namespace orva {

// The query's records from ROOT\CIMV2, written as the tool's list text.
// Empty text when any COM step fails.
std::string QueryWmiListText(const WmicQuery& query);

// One property value as the tool prints it: NULL as nothing, unsigned CIM
// types as unsigned numbers, text in the ANSI code page.
std::string VariantText(const VARIANT& value, long cimType);

}  // namespace orva
