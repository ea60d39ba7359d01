// Resource and control identifiers of the stand-in settings program. Tests find
// the controls by these numbers, so they stay fixed.
#pragma once

#define IDD_PHRASES 100

// Settings window
#define IDC_PAGE_LIST 1001
#define IDC_PAGE_TITLE 1002
#define IDC_APPLY 1003
#define IDC_VERSION_TEXT 1004
#define IDC_CUSTOM_PHRASES 1101

// Custom-phrase dialog
#define IDC_PHRASE_PATH 2001
#define IDC_PHRASE_LIST 2002
#define IDC_PHRASE_STATUS 2003
#define IDC_PHRASE_SAVE 2004
#define IDC_PHRASE_ADD 2005
#define IDC_PHRASE_EDIT 2006
#define IDC_PHRASE_DELETE 2007
