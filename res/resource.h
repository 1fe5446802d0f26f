// Resource identifiers. The numbers are fixed: the program and its tests address dialogs,
// controls, icons and the logo by them.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_MAINDLG 129

// Icons and bitmaps
#define IDI_BRACKWIN 128
#define IDI_NEWGUID 203
#define IDB_LOGO 208

// Main window: host column
#define IDC_HOST_GROUP 1000
#define IDC_HOST_COMBO 1001
#define IDC_BROWSE 1002
#define IDC_REFRESH_LIST 1003
#define IDC_VM_LIST 1004

// Main window: virtual machine information and settings
#define IDC_SETTINGS_GROUP 1005
#define IDC_CONTROL_GROUP 1006
#define IDC_NAME_LABEL 1007
#define IDC_VM_NAME 1008
#define IDC_VMID_LABEL 1009
#define IDC_VM_ID 1010
#define IDC_NUMLOCK 1011
#define IDC_BASEBOARD_LABEL 1012
#define IDC_BASEBOARD_SERIAL 1013
#define IDC_BIOS_GUID 1014
#define IDC_NEW_GUID 1015
#define IDC_BIOS_GUID_LABEL 1016
#define IDC_BIOS_SERIAL_LABEL 1017
#define IDC_BIOS_SERIAL 1018
#define IDC_APPLY 1019
#define IDC_ASSET_TAG_LABEL 1020
#define IDC_ASSET_TAG 1021
#define IDC_CHASSIS_SERIAL_LABEL 1022
#define IDC_CHASSIS_SERIAL 1023
#define IDC_RESET 1024
#define IDC_INFO_GROUP 1025

// Main window: power and program control
#define IDC_POWER_ON 1026
#define IDC_SHUTDOWN 1027
#define IDC_FORCE_OFF 1028
#define IDC_REFRESH_STATE 1029
#define IDC_POWER_GROUP 1030
#define IDC_PROGRAM_GROUP 1031
#define IDC_POWER_STATE 1032
#define IDC_IDENTITIES 1033
#define IDC_CONNECT_AS 1034
#define IDC_ABOUT 57664

// About box
#define IDC_ABOUT_TEXT 1026
#define IDC_ABOUT_FRAME 1027
#define IDC_ABOUT_LOGO 1028
#define IDD_PROGRESS 130
#define IDC_PROGRESS_ACTIVITY 1101
#define IDC_PROGRESS_ELAPSED 1102

// Virtual machine identities window
#define IDD_IDENTITIES 131
#define IDC_IDENTITY_LIST 1201
#define IDC_IDENTITY_FAILURES 1202
#define IDC_IDENTITY_STATUS 1203
#define IDC_ADD_KNOWN_HOSTS 1204
#define IDC_IDENTITY_REFRESH 1205
#define IDC_IDENTITY_EXPORT 1206
#define IDC_IDENTITY_IMPORT 1207
#define IDC_NEW_BIOS_GUIDS 1208
#define IDC_NEW_SERIAL_NUMBERS 1209
#define IDC_APPLY_IDENTITIES 1210
#define IDC_DISCARD_IDENTITIES 1211

// Brackwin's own credential prompt, used when the system's cannot be shown
#define IDD_CREDENTIALS 132
#define IDC_CRED_MESSAGE 1301
#define IDC_CRED_USER_LABEL 1302
#define IDC_CRED_USER 1303
#define IDC_CRED_PASSWORD_LABEL 1304
#define IDC_CRED_PASSWORD 1305
#define IDC_CRED_REMEMBER 1306

// The application manifest
#define IDR_MANIFEST 1
