// Resource identifiers of foldrix.ocx.
#pragma once
#define IDI_UNCHECKEDB 101
#define IDI_CHECKEDB 102
#define IDI_BLANK 103
#define IDB_TOOLBOX 30000
