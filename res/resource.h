// Resource and command identifiers, shared by the resource script and the program.
#pragma once

#define IDS_APP_TITLE 103
#define IDS_LEGAL_NOTICE 104
#define IDI_APP 107
#define IDI_SMALL 108
#define IDS_WNDCLASS 109
// Menu and accelerator table name the class asks for; the script defines neither.
#define IDC_ORVA 109
#define IDC_HOMEPAGE 111
#define IDC_COPYSPEC 123
#define IDB_BACKGROUND 136
