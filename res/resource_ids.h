/* Resource numbers of the program; plain defines, read by C++ and by the resource compiler. */
#ifndef BASKETBALL_RESOURCE_IDS_H
#define BASKETBALL_RESOURCE_IDS_H

#define IDI_APP 101
/* <windows.h> names the system's hand cursor IDC_HAND too; here it is our own, number 102.
   Include this header after <windows.h>. */
#ifdef IDC_HAND
#undef IDC_HAND
#endif
#define IDC_HAND 102
#define IDB_BALL 103
#define IDB_BACKBOARD 105
#define IDB_NET 106
#define IDB_ABOUT 107
#define IDD_ABOUT 108
#define IDW_FLOOR 109
#define IDW_WALL 110
#define IDW_CHEER 112
#define IDW_BIG_CHEER 113
#define IDW_RIM 114
#define IDR_MENU 115
#define IDB_SCOREBOARD 117
#define IDB_DIGITS 119

/* The high-resolution masters the pictures above are drawn from at other scales (PNG, RCDATA):
   each picture's number plus 100. */
#define IDR_MASTER_BALL 203
#define IDR_MASTER_BACKBOARD 205
#define IDR_MASTER_NET 206
#define IDR_MASTER_ABOUT 207
#define IDR_MASTER_SCOREBOARD 217
#define IDR_MASTER_DIGITS 219

#define IDM_SOUND 40002
#define IDM_RESET_SCORE 40003
#define IDM_ABOUT 40004
#define IDM_EXIT 40005

#endif
