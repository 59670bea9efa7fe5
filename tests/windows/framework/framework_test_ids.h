// Resource ids of the framework tests.
#pragma once

#define IDD_TEST_DIALOG 401
#define IDC_TEST_EDIT 1002
#define IDC_TEST_SLIDER 1000
#define IDS_TEST_TEXT 410
#define IDS_TEST_MISSING 499
