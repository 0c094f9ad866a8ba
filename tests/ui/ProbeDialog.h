// Identifiers of the framework tests' probe dialog.
#pragma once

#define IDD_PROBE 300
#define IDC_PROBE_CHECK 301
#define IDC_PROBE_EDIT 302
#define IDC_PROBE_FIRST 303
#define IDC_PROBE_SECOND 304
