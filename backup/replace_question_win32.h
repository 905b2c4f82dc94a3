// The replace question (641): an existing file and the version that would replace it.
#pragma once

#include <string>

#include "skin/screen_win32.h"

namespace backup {

// Ends with 126 (No), 127 (Replace) or 100 (closed).
class ReplaceQuestion : public skin::Screen {
public:
    explicit ReplaceQuestion(HWND parent = nullptr);

    // heading: the top line; name: the file's name; existing and restoring: each file's
    // "Size: ...\nModified: ..." text.
    void SetTexts(const std::string& heading, const std::string& name, const std::string& existing,
                  const std::string& restoring);

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    std::string heading, name, existing, restoring;
};

// "Size: %1\nModified: %2" of string 208 filled with a size and a last-write time.
std::string SizeModifiedText(uint64_t size, uint64_t lastWriteTime);

} // namespace backup
