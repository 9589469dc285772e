#include "KODRACFGApp.h"

CKODRACFGApp theApp;
