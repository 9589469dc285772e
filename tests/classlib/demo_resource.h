// Ids of the demonstration dialogs that the class library's tests run.
#pragma once

#define IDD_DEMO 100
#define IDD_PAGE 101
#define IDD_SMALL 102
#define IDI_DEMO 110
#define IDB_DEMO 111

#define IDS_GREETING 200
#define IDS_LONG 201
#define IDS_PROMPT 202

#define IDC_NAME 1001
#define IDC_PORT 1002
#define IDC_COUNT 1003
#define IDC_FLAG 1004
#define IDC_RADIO1 1005
#define IDC_RADIO2 1006
#define IDC_RADIO3 1007
#define IDC_LABEL 1008
#define IDC_DISABLED 1009
#define IDC_OPEN_SMALL 1010
#define IDC_LIST 1013
#define IDC_SPIN 1014
#define IDC_IP 1015
#define IDC_COMBO 1016
#define IDC_LISTBOX 1017
#define IDC_PICTURE 1018
#define IDC_SECONDS 1019
#define IDC_GROUP 1020

#define IDC_PAGE_EDIT 1101
#define IDC_PAGE_LABEL 1102

#define IDC_SMALL_EDIT 1201
