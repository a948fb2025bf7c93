#pragma once
// Resource ids of RavelinUpdate.
#define IDD_ABOUTBOX 103
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDI_RAVELIN_UPDATE 107
#define IDI_RAVELIN_UPDATE_SMALL 108
// The menu and the accelerator table share this id.
#define IDC_RAVELIN_UPDATE 109
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
