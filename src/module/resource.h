#pragma once
// Resource and control ids of the module. Shared by the resource script and the code.
#define IDD_BRANCH_DETAILS      4000
#define IDC_CLOSE               4001
#define IDC_CREATED_BY          4002
#define IDC_CREATED_ON          4003
#define IDC_FILE_LIST           4004
#define IDC_CREATED_BY_LABEL    4005
#define IDC_CREATED_ON_LABEL    4006
#define ID_OPEN_AS_CSV          4007
#define ID_SAVE_AS_CSV          4008
#define IDC_TOOLBAR_MARKER      4009
#define ID_UPDATE_TOOLTIPS      1000
#define IDC_HELP_BUTTON         57671
#define IDC_SIZE_GRIP           0xFFFF
