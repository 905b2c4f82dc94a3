// The dialog layer of the screens: a modal dialog from a template id with an integer result.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/worker_win32.h"

namespace skin {

// Window property that carries the template id of a running dialog, so that the lab's UI driver
// can tell which screen is up.
constexpr const char* kDialogIdProperty = "tovDialogId";

// Registers the common control classes that the screens' templates use (progress bar, date-time
// picker, tree view, list view) so that their dialogs can be created. Once at start-up; false
// when the system refused.
bool RegisterCommonControls();

class Dialog {
public:
    explicit Dialog(UINT templateId, HWND parent = nullptr);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the dialog from the resource module's template and runs it until EndDialog, then
    // awaits every worker it started. Returns the result, or -1 when the dialog could not be
    // created (CreationError tells why).
    int DoModal();
    // The system's error code of the last DoModal that could not create the dialog.
    DWORD CreationError() const { return creationError_; }
    void EndDialog(int result);

    HWND Hwnd() const { return hwnd_; }
    UINT TemplateId() const { return templateId_; }

    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    void SetItemText(int id, const std::string& text);
    std::string ItemText(int id) const;
    void ShowItem(int id, bool show);
    void EnableItem(int id, bool enable);
    // Pixels of the client area; a negative width keeps the size.
    void MoveItem(int id, int x, int y, int width = -1, int height = -1);
    void SetFocusTo(int id);
    int FocusedId() const;
    // The control that gets the focus when the start-up leaves the choice to the system (it
    // returns true), if that control is then shown and enabled.
    void SetInitialFocus(int id) { initialFocus_ = id; }

    bool StartTimer(UINT_PTR id, UINT milliseconds);
    void StopTimer(UINT_PTR id);

    // The link that this screen's workers post through; closed when the window goes.
    std::shared_ptr<WorkerLink> Link();
    // A worker whose result comes back as doneMessage (none when 0) with wParam = result. The
    // dialog owns the thread: DoModal returns only once it has ended, so nothing the worker uses
    // goes before it. A worker must therefore end by itself, whether or not the screen is still
    // there. False when the thread could not be started; the caller decides what then.
    bool StartWorker(UINT doneMessage, std::function<std::uint32_t(WorkerLink&)> work);

protected:
    // WM_INITDIALOG; true lets the system place the focus.
    virtual bool OnInitDialog() { return true; }
    // Whether the system's choice of a first focus (the first control of the tab order) may fall
    // on this control; when not, no control has the focus until the user gives it one.
    virtual bool TakesFirstFocus(int /*id*/) const { return true; }
    // A command from a control or the dialog manager; true when handled.
    virtual bool OnCommand(int id, int code, HWND control);
    virtual void OnTimer(UINT_PTR /*id*/) {}
    // Every message for the dialog or one of its controls, before the dialog manager; true when
    // it is consumed.
    virtual bool PreTranslateMessage(MSG& /*msg*/) { return false; }
    // Every other message; set handled and return the dialog procedure's result.
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // WM_DESTROY, before the link closes.
    virtual void OnDestroy() {}

private:
    static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void CentreIfUnmoved(const RECT& before);
    // The control that had the focus last, given it back when the dialog itself gets the focus.
    void RememberFocus();
    void AwaitWorkers();

    UINT templateId_;
    HWND parent_;
    HWND hwnd_ = nullptr;
    bool ended_ = false;
    int result_ = 0;
    DWORD creationError_ = 0;
    int initialFocus_ = 0;
    HWND lastFocus_ = nullptr;
    std::shared_ptr<WorkerLink> link_;
    std::vector<HANDLE> workers_;
};

} // namespace skin
