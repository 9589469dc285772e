#include "KodraPageDlg.h"

CKODRAPageDlg::CKODRAPageDlg(UINT templateId, CWnd* parent) : CDialogTooltip(templateId, parent)
{
}
