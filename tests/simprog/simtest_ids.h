#pragma once

#define IDC_NAME 101
#define IDC_CHECK 102
#define IDC_THREE 103
#define IDC_RADIO1 104
#define IDC_RADIO2 105
#define IDC_MULTI 106
#define IDC_COUNTRY 107
#define IDC_SORTED 108
#define IDC_CENTRED 109
#define IDC_DISABLED 110
