// String ids of the wizard's string table (WizardStrings.rc).
#pragma once

#define IDS_WARNING                105
#define IDS_SCM_OPEN_FAILED        113
#define IDS_SERVICE_INSTALL_FAILED 114
#define IDS_PROGRAM_MISSING        116
#define IDS_JOB_SEVERAL_OWN        119
#define IDS_JOB_NO_OWN             120
#define IDS_JOB_NO_FREE            121
#define IDS_JOB_SAVE_FAILED        122
#define IDS_JOB_LOAD_FAILED        123
#define IDS_JOB_DELETE_FAILED      125
#define IDS_PRODUCT                140
#define IDS_SERVICE_STOP_FAILED    158
#define IDS_UNKNOWN_ERROR          165
#define IDS_SERVICE_OPEN_FAILED    166
#define IDS_SERVICE_DELETE_FAILED  167
#define IDS_SERVICE_CANNOT_DELETE  168
#define IDS_SERVICE_CANNOT_INSTALL 169
