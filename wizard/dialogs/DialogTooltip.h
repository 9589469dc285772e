// The base of the wizard's dialogs whose controls show tooltips: each control
// listed in TooltipTextIds gets the message-catalogue text the table assigns.
#pragma once

#include "classlib.h"

struct TooltipTextId {
    UINT controlId;
    int messageNumber;
};
// Searched in order; ended by (0, 0).
extern const TooltipTextId TooltipTextIds[];

class CDialogTooltip : public CDialog {
    CLASSLIB_RUNTIME_CLASS(CDialogTooltip, CDialog)
    CDialogTooltip();
    CDialogTooltip(const char* templateName, CWnd* parent);
    CDialogTooltip(UINT templateId, CWnd* parent);

    // True when the table lists the id; the buffer then holds the catalogue's
    // text, or its fallback when the catalogue lacks it.
    static bool LookupTooltipText(UINT controlId, char* buffer, int size);

    BOOL OnInitDialog() override;

protected:
    const classlib::MessageMap* GetMessageMap() const override;
    BOOL OnToolTipNeedText(UINT id, NMHDR* header, LRESULT* result);
};
