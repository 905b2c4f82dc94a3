// The Backup Progress screen (608): polls the engine's progress record every 250 ms and shows the
// counts, the current folder and file, and at the end the completion view.
#pragma once

#include <functional>
#include <string>

#include "backup/progress_channel.h"
#include "backup/progress_screen.h"
#include "skin/screen_win32.h"

namespace backup {

class BackupProgressScreen : public skin::Screen, private ProgressView {
public:
    using CommandSender = std::function<void(const char*)>;
    // Told after each update from the record (false) and after the completion view (true).
    using Shown = std::function<void(bool complete)>;

    // The channel and the sender default to the process's channel and the engine link.
    BackupProgressScreen(const std::string& hostName, const std::string& shareRoot,
                         const std::string& driveLetter, ProgressChannel* channel = nullptr,
                         CommandSender send = nullptr, Shown shown = nullptr);

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnTimer(UINT_PTR id) override;
    void OnDestroy() override;

private:
    bool Stopping() const override { return ticker_.Stopping(); }
    void Update(const ProgressRecord& record) override;
    void ShowCompletion();
    void Button();

    std::string hostName_;
    std::string shareRoot_;
    std::string driveLetter_;
    ProgressChannel* channel_;
    CommandSender send_;
    Shown shown_;
    ProgressTicker ticker_;
    bool timer_ = false;
};

} // namespace backup
