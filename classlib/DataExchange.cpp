#include "DataExchange.h"

#include <climits>

#include "App.h"
#include "Internal.h"
#include "Wnd.h"

namespace {

// The library's own prompts, in German (code page 1252).
const char kPromptInteger[] = "Bitte geben Sie eine ganze Zahl ein.";
const char kPromptUnsigned[] = "Bitte geben Sie eine nicht negative ganze Zahl ein.";
const char kPromptIntRange[] = "Bitte geben Sie eine ganze Zahl zwischen %d und %d ein.";
const char kPromptUIntRange[] = "Bitte geben Sie eine ganze Zahl zwischen %u und %u ein.";
const char kPromptDWordRange[] = "Bitte geben Sie eine ganze Zahl zwischen %lu und %lu ein.";
const char kPromptMaxChars[] = "Bitte geben Sie h\xF6" "chstens %d Zeichen ein.";

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// A decimal number with optional white space around it and, when signed, an
// optional minus sign; false for anything else or a value outside [low, high].
bool ParseNumber(const char* text, bool allowMinus, long long low, long long high, long long& value)
{
    const char* p = text;
    while (IsSpace(*p))
        ++p;
    bool negative = false;
    if (allowMinus && *p == '-') {
        negative = true;
        ++p;
    }
    if (*p < '0' || *p > '9')
        return false;
    long long magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > high + 1)  // beyond every range we are asked for
            return false;
    }
    while (IsSpace(*p))
        ++p;
    if (*p)
        return false;
    value = negative ? -magnitude : magnitude;
    return value >= low && value <= high;
}

CString ControlText(HWND control)
{
    CString text;
    CWnd::FromHandle(control)->GetWindowText(text);
    return text;
}

template <class T>
void ExchangeNumber(CDataExchange* dx, int id, T& value, const char* format, bool allowMinus,
                    long long low, long long high, const char* prompt)
{
    HWND control = dx->PrepareEditCtrl(id);
    if (!control)
        return;
    if (dx->m_bSaveAndValidate) {
        long long parsed = 0;
        if (!ParseNumber(ControlText(control), allowMinus, low, high, parsed))
            dx->Fail(prompt);
        value = static_cast<T>(parsed);
    } else {
        CString text;
        text.Format(format, value);
        SetWindowTextA(control, text);
    }
}

}  // namespace

CDataExchange::CDataExchange(CWnd* dialog, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog)
{
}

HWND CDataExchange::PrepareCtrl(int id)
{
    lastControl_ = m_pDlgWnd && m_pDlgWnd->m_hWnd ? ::GetDlgItem(m_pDlgWnd->m_hWnd, id) : NULL;
    lastIsEdit_ = false;
    return lastControl_;
}

HWND CDataExchange::PrepareEditCtrl(int id)
{
    HWND control = PrepareCtrl(id);
    lastIsEdit_ = control != NULL;
    return control;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && lastControl_ && IsWindow(lastControl_)) {
        ::SetFocus(lastControl_);
        if (lastIsEdit_)
            ::SendMessageA(lastControl_, EM_SETSEL, 0, -1);
    }
    throw classlib::detail::DataExchangeFailure{};
}

void CDataExchange::Fail(const char* prompt)
{
    AfxMessageBox(prompt, MB_OK | MB_ICONEXCLAMATION);
    Fail();
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    HWND window = dx->PrepareCtrl(id);
    if (window && control.m_hWnd != window)
        control.Attach(window);
}

void DDX_Text(CDataExchange* dx, int id, CString& value)
{
    HWND control = dx->PrepareEditCtrl(id);
    if (!control)
        return;
    if (dx->m_bSaveAndValidate)
        value = ControlText(control);
    else
        SetWindowTextA(control, value);
}

void DDX_Text(CDataExchange* dx, int id, int& value)
{
    ExchangeNumber(dx, id, value, "%d", true, INT_MIN, INT_MAX, kPromptInteger);
}

void DDX_Text(CDataExchange* dx, int id, UINT& value)
{
    ExchangeNumber(dx, id, value, "%u", false, 0, UINT_MAX, kPromptUnsigned);
}

void DDX_Text(CDataExchange* dx, int id, DWORD& value)
{
    ExchangeNumber(dx, id, value, "%lu", false, 0, ULONG_MAX, kPromptUnsigned);
}

void DDX_Check(CDataExchange* dx, int id, int& value)
{
    HWND control = dx->PrepareCtrl(id);
    if (!control)
        return;
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(control, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Radio(CDataExchange* dx, int id, int& value)
{
    HWND first = dx->PrepareCtrl(id);
    if (!first)
        return;
    if (dx->m_bSaveAndValidate)
        value = -1;
    int index = 0;
    for (HWND button = first; button; button = GetWindow(button, GW_HWNDNEXT)) {
        LONG style = GetWindowLongA(button, GWL_STYLE);
        if (button != first && (style & WS_GROUP))
            break;
        LONG type = style & BS_TYPEMASK;
        if (type != BS_RADIOBUTTON && type != BS_AUTORADIOBUTTON)
            continue;
        if (dx->m_bSaveAndValidate) {
            if (::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED)
                value = index;
        } else {
            ::SendMessageA(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int count)
{
    if (!dx->m_bSaveAndValidate) {
        if (dx->LastControl())
            ::SendMessageA(dx->LastControl(), EM_LIMITTEXT, static_cast<WPARAM>(count), 0);
        return;
    }
    if (value.GetLength() > count) {
        CString prompt;
        prompt.Format(kPromptMaxChars, count);
        dx->Fail(prompt);
    }
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue)
{
    if (dx->m_bSaveAndValidate && (value < minValue || value > maxValue)) {
        CString prompt;
        prompt.Format(kPromptIntRange, minValue, maxValue);
        dx->Fail(prompt);
    }
}

void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT minValue, UINT maxValue)
{
    if (dx->m_bSaveAndValidate && (value < minValue || value > maxValue)) {
        CString prompt;
        prompt.Format(kPromptUIntRange, minValue, maxValue);
        dx->Fail(prompt);
    }
}

void DDV_MinMaxDWord(CDataExchange* dx, DWORD value, DWORD minValue, DWORD maxValue)
{
    if (dx->m_bSaveAndValidate && (value < minValue || value > maxValue)) {
        CString prompt;
        prompt.Format(kPromptDWordRange, minValue, maxValue);
        dx->Fail(prompt);
    }
}
