#pragma once
// Identifiers of the demo's menu bar, tool bar, menus and accelerators.
#define IDR_DEMO_MENU 3000
#define IDR_DEMO_ACCEL 3001
#define IDC_MENU_REBAR 3010
#define IDC_MENU_BAR 3011
#define IDC_MENU_TOOLBAR 3012
#define IDM_EXIT 3020
#define IDM_VIEW_SIDEBAR 3021
#define IDM_VIEW_STATUS 3022
#define IDM_SIZE_SMALL 3023
#define IDM_SIZE_MEDIUM 3024
#define IDM_SIZE_LARGE 3025
#define IDM_ABOUT 3026
#define IDM_UPDATES 3027
#define IDM_PACKS 3028
#define IDM_PACK_FIRST 3100
