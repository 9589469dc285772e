// Test helpers on the class library's seams: scoped hooks that record and
// answer message boxes, drive modal dialogs, answer file dialogs and stand in
// for started programs, and small helpers that work a dialog's controls the
// way a user would. Every hook a test sets lives in a ScopedHook, which puts
// the previous hook back when it ends.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "classlib.h"

namespace classlib::testkit {

// Sets the hook of one seam while it lives; the previous hook comes back when
// it goes. A recorder holds its ScopedHook as its last member, so the hook
// goes before the state it works on.
template <class Hook, Hook (*Install)(Hook)>
class ScopedHook {
public:
    explicit ScopedHook(Hook hook) : previous_(Install(std::move(hook))) {}
    ~ScopedHook() { Install(std::move(previous_)); }
    ScopedHook(const ScopedHook&) = delete;
    ScopedHook& operator=(const ScopedHook&) = delete;

private:
    Hook previous_;
};
using ScopedMessageBoxHook = ScopedHook<MessageBoxHook, &SetMessageBoxHook>;
using ScopedModalHook = ScopedHook<ModalHook, &SetModalHook>;
using ScopedFileDialogHook = ScopedHook<FileDialogHook, &SetFileDialogHook>;
using ScopedProgramStartHook = ScopedHook<ProgramStartHook, &SetProgramStartHook>;

// Records every message box and answers it: with the queued answers first,
// then with the default answer.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(int answer = IDOK);

    // Answers for the next boxes, in order; then the default answer again.
    void QueueAnswers(std::initializer_list<int> answers);
    void SetAnswer(int answer) { answer_ = answer; }
    // Runs while a box is "open", e.g. to look at its owner.
    void OnShow(std::function<void(const MessageBoxRequest&)> action) { onShow_ = std::move(action); }
    const std::vector<MessageBoxRequest>& Calls() const { return calls_; }
    void Clear() { calls_.clear(); }

    // The boxes shown so far, as plain strings.
    struct Box {
        std::string text;
        std::string caption;
        UINT type;
    };
    std::vector<Box> Boxes() const;
    std::vector<std::string> Texts() const;

private:
    int Answer(const MessageBoxRequest& request);

    int answer_;
    std::vector<int> queued_;
    std::function<void(const MessageBoxRequest&)> onShow_;
    std::vector<MessageBoxRequest> calls_;
    ScopedMessageBoxHook hook_;
};

// Drives every modal dialog that opens while it lives (nested ones too): the
// action runs once the dialog is shown; it sets texts, clicks buttons or ends
// the dialog. Tell the dialogs apart by GetTemplateId() or dynamic_cast.
class ModalDriver {
public:
    explicit ModalDriver(std::function<void(CDialog&)> action);
    int Runs() const { return runs_; }

private:
    std::function<void(CDialog&)> action_;
    int runs_ = 0;
    ScopedModalHook hook_;
};

struct FileDialogRequest {
    bool open;
    HWND owner;
    std::string filter;  // the pairs with '|' in place of the zero characters
    DWORD filterIndex;
    std::string fileName;  // the name field before the answer
    std::string initialDir;
    std::string title;
    DWORD flags;
};

// Answers every file dialog with the path (NULL: the user cancels).
class FileDialogAnswer {
public:
    explicit FileDialogAnswer(const char* path);
    const std::vector<FileDialogRequest>& Calls() const { return calls_; }

private:
    bool Answer(OPENFILENAMEA& ofn, bool open);

    bool cancel_;
    std::string path_;
    std::vector<FileDialogRequest> calls_;
    ScopedFileDialogHook hook_;
};

// Stands in for every program start: records it and reports it started (or
// failed with the error code).
class ProgramStartRecorder {
public:
    explicit ProgramStartRecorder(bool started = true, DWORD error = 0);
    // Runs while the "program" runs, e.g. to check the caller is blocked.
    void OnStart(std::function<void(const ProgramStartRequest&)> action) { onStart_ = std::move(action); }
    const std::vector<ProgramStartRequest>& Calls() const { return calls_; }

private:
    bool started_;
    DWORD error_;
    std::function<void(const ProgramStartRequest&)> onStart_;
    std::vector<ProgramStartRequest> calls_;
    ScopedProgramStartHook hook_;
};

// A user's click on a button, check box or radio button of the dialog (its
// handlers run before Click returns); false when the control is missing,
// hidden or disabled, as a user could not click it then.
bool Click(CWnd& dialog, int id);
void SetText(CWnd& dialog, int id, const char* text);
CString GetText(CWnd& dialog, int id);
bool IsChecked(CWnd& dialog, int id);
bool IsEnabled(CWnd& dialog, int id);
bool IsVisible(CWnd& dialog, int id);
// The control id of the window with the focus, 0 when none has it.
int FocusedId();
// The selection of an edit control.
void GetSelection(CWnd& dialog, int id, int& start, int& end);

// Handles the messages queued now, through the library's message filter.
void PumpMessages();
// Handles messages until the condition holds or the time-out passes.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// The tooltip control of this thread that the window owns, or null.
HWND FindToolTipOf(HWND owner);

}  // namespace classlib::testkit
