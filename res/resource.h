// Resource ids, grouped by dialog. Plain #defines: the resource compiler
// reads this file as well as the program.
#ifndef QVDUTIL_RESOURCE_H
#define QVDUTIL_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Program icon and the system-menu item text
#define IDR_MAINFRAME 128
#define IDS_ABOUTBOX 101
#define IDM_ABOUTBOX 0x0010
#define IDS_FIND 102
#define IDM_FIND 0x0020
#define IDS_DIRECTORY 103
#define IDM_DIRECTORY 0x0030

// Version box
#define IDD_ABOUTBOX 100

// Address book dialog
#define IDD_ADDRESSBOOK 102
#define IDC_ADDRESS_LIST 1000
#define IDC_DESTINATION_LIST 1001
#define IDC_DISPLAY_MODE 1002
#define IDC_ADD_DESTINATION 1003
#define IDC_REMOVE_DESTINATIONS 1004
#define IDC_PROPERTIES 1005
#define IDC_CREATE_ENTRY 1006
#define IDC_DELETE_ENTRY 1007
#define IDC_ABOUT 3
// Its keyboard shortcuts (an accelerator table of the dialog's id)
#define IDC_FIND 32771
#define IDC_FIND_NEXT 32772
#define IDC_FIND_PREVIOUS 32773
#define IDC_DIRECTORY 32774

// Find dialog
#define IDD_FIND 131
#define IDD_GROUP 132
#define IDC_GROUP_NAME 1030
#define IDC_GROUP_READING 1031
#define IDC_GROUP_MEMBERS 1032
#define IDC_GROUP_COUNT 1033
#define IDC_GROUP_FIND 1034
#define IDC_FIND_TEXT 1020

// Directory search dialog
#define IDD_DIRECTORY 133
#define IDC_DIRECTORY_TEXT 1040
#define IDC_DIRECTORY_SEARCH 1041
#define IDC_DIRECTORY_STOP 1042
#define IDC_DIRECTORY_STATUS 1043
#define IDC_DIRECTORY_RESULTS 1044
#define IDC_DIRECTORY_ADD 1045
#define IDC_DIRECTORY_REGISTER 1046
// Entry dialogs: the property dialog and the new-entry dialog share the edits
#define IDD_ENTRY_PROPERTY 129
#define IDD_NEW_ENTRY 130
#define IDC_NAME 1008
#define IDC_NAME_READING 1009
#define IDC_COMPANY 1010
#define IDC_COMPANY_READING 1011
#define IDC_DEPARTMENT 1012
#define IDC_FAX_NUMBER 1013

#endif
