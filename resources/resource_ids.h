// Numeric ids of everything the executable carries. Shared by the resource
// script and the code; the numbers are fixed (stored settings, hit regions and
// tests refer to them).
#pragma once

// Dialog templates and their controls.
#define IDD_UPDATE 103
#define IDD_MAIN 147
#define IDD_SPLASH 154

#define IDC_SLIDER_BRIGHTNESS 1000
#define IDC_SLIDER_POINTER_SPEED 1001
#define IDC_TIMER_EDIT 1002
#define IDC_VERSION_TEXT 1003
#define IDC_SLIDER_CIRCLE_COLOR 1004

#define IDC_UPDATE_STATUS 1004
#define IDC_UPDATE_PROGRESS_LABEL 1005
#define IDC_UPDATE_PROGRESS_COUNT 1006

// Icons.
#define IDI_APP 128
#define IDI_TRAY_LINKED 155
#define IDI_TRAY_UNLINKED 156

// PNG pictures (custom resource type "PNG").
#define IDP_LOW_BATTERY 133
#define IDP_SWITCH_OFF 134
#define IDP_SWITCH_ON 135
#define IDP_POINTER_TOGGLE_OFF 136
#define IDP_SETTINGS_PAGE_ZH 140
#define IDP_SETTINGS_PAGE_EN 141
#define IDP_NOT_READY_PAGE_ZH 145
#define IDP_NOT_READY_PAGE_EN 146
#define IDP_POINTER_TOGGLE_ON 151
#define IDP_SPLASH_ZH 152
#define IDP_SPLASH_EN 153
#define IDP_POINTER_ARROW 158
#define IDP_SLIDER_THUMB 159
#define IDP_CHANNEL_FILLED 161
#define IDP_CHANNEL_EMPTY 162
#define IDP_HUE_SPECTRUM 178
#define IDP_GREY_CHANNEL 179

// Tray menu.
#define IDM_TRAY 157
#define IDM_TRAY_LAUNCH 32773
#define IDM_TRAY_QUIT 32774

// String table (English and Simplified Chinese under the same ids).
#define IDS_TIP_PRODUCT 160
#define IDS_TIP_NO_RECEIVER 161
#define IDS_TIP_RF_DOWN 162
#define IDS_TIP_LINKED 163
#define IDS_LOW_BATTERY 164
#define IDS_ANTILOST_NOTICE 165
#define IDS_PRODUCT_NAME 166
#define IDS_MANUAL_TITLE 167
#define IDS_UPDATE_QUESTION 168
#define IDS_LATEST_VERSION 169
#define IDS_ALREADY_RUNNING 170

// Anti-lost alarm sounds (resource type WAVE).
#define IDW_ALARM_ZH 174
#define IDW_ALARM_EN 175

// The two manuals (custom resource type "HELP_PDF").
#define IDH_MANUAL_ZH 180
#define IDH_MANUAL_EN 181
