#include "classlib_testkit.h"

namespace classlib::testkit {

MessageBoxRecorder::MessageBoxRecorder(int answer)
    : answer_(answer), hook_([this](const MessageBoxRequest& request) { return Answer(request); })
{
}

int MessageBoxRecorder::Answer(const MessageBoxRequest& request)
{
    calls_.push_back(request);
    if (onShow_)
        onShow_(request);
    if (queued_.empty())
        return answer_;
    int answer = queued_.front();
    queued_.erase(queued_.begin());
    return answer;
}

void MessageBoxRecorder::QueueAnswers(std::initializer_list<int> answers)
{
    queued_.insert(queued_.end(), answers.begin(), answers.end());
}

std::vector<MessageBoxRecorder::Box> MessageBoxRecorder::Boxes() const
{
    std::vector<Box> boxes;
    for (const MessageBoxRequest& call : calls_)
        boxes.push_back({call.text.GetString(), call.caption.GetString(), call.type});
    return boxes;
}

std::vector<std::string> MessageBoxRecorder::Texts() const
{
    std::vector<std::string> texts;
    for (const MessageBoxRequest& call : calls_)
        texts.push_back(call.text.GetString());
    return texts;
}

ModalDriver::ModalDriver(std::function<void(CDialog&)> action)
    : action_(std::move(action)), hook_([this](CDialog& dialog) {
          ++runs_;
          action_(dialog);
      })
{
}

namespace {
std::string Filter(const char* filter)
{
    std::string text;
    if (!filter)
        return text;
    for (const char* p = filter; *p; p += strlen(p) + 1) {
        text += p;
        text += '|';
    }
    return text;
}
}  // namespace

FileDialogAnswer::FileDialogAnswer(const char* path)
    : cancel_(path == nullptr), path_(path ? path : ""),
      hook_([this](OPENFILENAMEA& ofn, bool open) { return Answer(ofn, open); })
{
}

bool FileDialogAnswer::Answer(OPENFILENAMEA& ofn, bool open)
{
    calls_.push_back(FileDialogRequest{open, ofn.hwndOwner, Filter(ofn.lpstrFilter), ofn.nFilterIndex,
                                       ofn.lpstrFile ? ofn.lpstrFile : "",
                                       ofn.lpstrInitialDir ? ofn.lpstrInitialDir : "",
                                       ofn.lpstrTitle ? ofn.lpstrTitle : "", ofn.Flags});
    if (cancel_ || !ofn.lpstrFile || ofn.nMaxFile <= path_.size())
        return false;
    lstrcpynA(ofn.lpstrFile, path_.c_str(), static_cast<int>(ofn.nMaxFile));
    int cut = static_cast<int>(path_.find_last_of('\\'));
    ofn.nFileOffset = static_cast<WORD>(cut < 0 ? 0 : cut + 1);
    return true;
}

ProgramStartRecorder::ProgramStartRecorder(bool started, DWORD error)
    : started_(started), error_(error), hook_([this](const ProgramStartRequest& request, DWORD* error) {
          calls_.push_back(request);
          if (onStart_)
              onStart_(request);
          if (!started_ && error)
              *error = error_;
          return started_;
      })
{
}

bool Click(CWnd& dialog, int id)
{
    HWND control = ::GetDlgItem(dialog.m_hWnd, id);
    if (!control || !::IsWindowVisible(control) || !::IsWindowEnabled(control))
        return false;
    ::SendMessageA(control, BM_CLICK, 0, 0);
    return true;
}

void SetText(CWnd& dialog, int id, const char* text) { ::SetDlgItemTextA(dialog.m_hWnd, id, text); }

CString GetText(CWnd& dialog, int id)
{
    CString text;
    dialog.GetDlgItemText(id, text);
    return text;
}

bool IsChecked(CWnd& dialog, int id) { return ::IsDlgButtonChecked(dialog.m_hWnd, id) == BST_CHECKED; }

bool IsEnabled(CWnd& dialog, int id)
{
    HWND control = ::GetDlgItem(dialog.m_hWnd, id);
    return control && ::IsWindowEnabled(control);
}

bool IsVisible(CWnd& dialog, int id)
{
    HWND control = ::GetDlgItem(dialog.m_hWnd, id);
    return control && ::IsWindowVisible(control);
}

int FocusedId()
{
    HWND focus = ::GetFocus();
    return focus ? ::GetDlgCtrlID(focus) : 0;
}

void GetSelection(CWnd& dialog, int id, int& start, int& end)
{
    DWORD from = 0;
    DWORD to = 0;
    ::SendDlgItemMessageA(dialog.m_hWnd, id, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                          reinterpret_cast<LPARAM>(&to));
    start = static_cast<int>(from);
    end = static_cast<int>(to);
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (!PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (condition())
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        // Sleeps until a message arrives or the time is up, not a fixed time.
        MsgWaitForMultipleObjects(0, NULL, FALSE, timeoutMs - elapsed < 50 ? timeoutMs - elapsed : 50,
                                  QS_ALLINPUT);
    }
}

namespace {

struct ToolTipSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindToolTipProc(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<ToolTipSearch*>(param);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0 && GetWindow(window, GW_OWNER) == search->owner) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindToolTipOf(HWND owner)
{
    ToolTipSearch search{owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &FindToolTipProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace classlib::testkit
