// The storage and backup status view (603): every user's space used, last backup and state, the
// totals and free space of one appliance, and a user's backup log on a double-click.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "backup/status_table.h"
#include "protocol/channel.h"
#include "skin/screen_win32.h"
#include "skin/scrollbar_win32.h"

namespace backup {

// The query's answer, posted by the worker with a letter holding the block.
constexpr UINT WM_STATUS_ANSWER = WM_APP + 0x70;

class StatusViewScreen : public skin::Screen {
public:
    // heading: the appliance name, " (", its address and ")".
    explicit StatusViewScreen(const std::string& heading);
    ~StatusViewScreen() override;

    // Keeps the heading and takes the appliance's address from it.
    void SetHeading(const std::string& text);

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnTimer(UINT_PTR id) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnDestroy() override;

    // Made on the screen's thread, then used only by the worker; tests shorten its waits.
    virtual std::shared_ptr<CommandChannel> MakeChannel();
    // The common application-data folder + "\Kelvox\TOV\", or empty.
    virtual std::string LogBaseFolder();
    // The system-wide busy cursor while the query runs, and the system's cursors again.
    virtual void SetBusyCursor();
    virtual void RestoreCursors();
    // After every drawing of a page (tests wait for it).
    virtual void PageDrawn() {}

    HANDLE ViewerProcess() const { return viewer; }

private:
    void StartQuery();
    void TakeAnswer(LPARAM lParam);
    void DrawPage(bool keep);
    void SetCell(int row, int column, const std::string& text, bool shown);
    void SetIcon(int row, int iconId);
    void Scroll(int code);
    void OpenLog(int x, int y);
    void ShowInformation(int stringId, const std::string& user);
    void EndViewer();
    void RemoveCopy();
    std::string String(int id) const;

    std::string heading;
    std::string address;
    std::string logBase;
    StatusBlock block;
    StatusList list;
    bool haveList = false;
    int first = 0;
    bool queryStarted = false;
    bool cursorBusy = false;
    HANDLE viewer = nullptr;
    std::string copyName;
    bool scrollTimer = false;
    skin::CXScrollBar scroll;
    HICON icons[3] = {};
};

} // namespace backup
