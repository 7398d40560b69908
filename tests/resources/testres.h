// Identifiers of the test resources (testres.rc), shared by the script and the tests.
#pragma once

// String table: ids in several blocks of 16.
#define IDS_HELLO 1
#define IDS_EMPTY 2
#define IDS_MISSING_IN_BLOCK 3
#define IDS_LAST_OF_FIRST_BLOCK 15
#define IDS_FIRST_OF_SECOND_BLOCK 16
#define IDS_LONG 100
#define IDS_CYRILLIC 1000
#define IDS_CYRILLIC_ESCAPED 1001
#define IDS_WESTERN 1002
#define IDS_MAX 65535
#define IDS_NO_BLOCK 5000

#define IDD_CLASSIC 100
#define IDD_EXTENDED 101
#define IDM_MENU 200
#define IDB_TEST 300
#define IDI_TEST 400
#define IDR_DATA 500
#define IDR_LANG 501

#define IDC_PUSH 1001
#define IDC_DEFPUSH 1002
#define IDC_CHECK 1003
#define IDC_AUTO3STATE 1004
#define IDC_RADIO 1005
#define IDC_GROUP 1006
#define IDC_EDIT 1007
#define IDC_TEXT 1008
#define IDC_ICON_STATIC 1009
#define IDC_LIST 1010
#define IDC_SCROLL 1011
#define IDC_COMBO 1012
#define IDC_CUSTOM 1013
#define IDC_WITH_DATA 1014
