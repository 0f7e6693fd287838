#pragma once

#define IDD_TEST_DIALOG 200
#define IDC_OTHER 1001
#define IDC_NAME 1002
#define IDD_MISSING 299
