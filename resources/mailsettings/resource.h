// Resource ids of the mail settings program Orlenk.
#pragma once

#define IDD_MAILCONFIG_DIALOG 102
#define IDR_MAINFRAME 128

#define IDC_SENDER 1000
#define IDC_SERVER 1001
#define IDC_LOGIN_LABEL 1002
#define IDC_PASSWORD_LABEL 1003
#define IDC_USE_AUTH 1004
#define IDC_LOGIN 1005
#define IDC_PASSWORD 1006
#define IDC_AUTH_GROUP 1007
#define IDC_SENDER_LABEL 1009
#define IDC_SERVER_LABEL 1010

// A double quote in the field, in the order sender, server, login, password.
#define IDS_SENDER_QUOTE 200
#define IDS_SERVER_QUOTE 201
#define IDS_LOGIN_QUOTE 202
#define IDS_PASSWORD_QUOTE 203
// A password whose scrambled form the mailer would store cut or changed.
#define IDS_PASSWORD_NOT_STORED 204
