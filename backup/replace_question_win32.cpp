// The replace question's texts and its No and Replace buttons.
#include "backup/replace_question_win32.h"

#include "backup/restore.h"
#include "backup/restore_win32.h"
#include "backup/status_table.h"
#include "res/resource.h"
#include "setup/screen_results.h"
#include "skin/place_controls_win32.h"
#include "skin/resources_win32.h"

namespace backup {

ReplaceQuestion::ReplaceQuestion(HWND parent) : Screen(IDD_REPLACE_FILE, parent) {}

void ReplaceQuestion::SetTexts(const std::string& headingText, const std::string& fileName,
                               const std::string& existingText, const std::string& restoringText) {
    heading = headingText;
    name = fileName;
    existing = existingText;
    restoring = restoringText;
}

bool ReplaceQuestion::OnInitDialog() {
    InitSkin(IDB_BG_MESSAGE);
    skin::PlaceControls(*this, IDD_REPLACE_FILE);
    skin::SetLabelText(*this, IDC_HEADING, heading);
    skin::SetLabelText(*this, IDC_REPLACE_EXISTS,
                       FillPercentOne(skin::LoadString(STR_REPLACE_EXISTS), name));
    skin::SetLabelText(*this, IDC_REPLACE_OLD, existing);
    skin::SetLabelText(*this, IDC_REPLACE_NEW, restoring);
    // keeping the file is where the focus starts: Enter alone never replaces it
    SetFocusTo(IDC_LEFT_BUTTON);
    return false;
}

void ReplaceQuestion::OnEnter(int focusedId) {
    EndDialog(focusedId == IDC_RIGHT_BUTTON ? setup::RESULT_REPLACE : setup::RESULT_KEEP_FILE);
}

bool ReplaceQuestion::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (code != BN_CLICKED)
        return false;
    if (id == IDC_LEFT_BUTTON) {
        EndDialog(setup::RESULT_KEEP_FILE);
        return true;
    }
    if (id == IDC_RIGHT_BUTTON) {
        EndDialog(setup::RESULT_REPLACE);
        return true;
    }
    return false;
}

std::string SizeModifiedText(uint64_t size, uint64_t lastWriteTime) {
    std::string text = FillPercentOne(skin::LoadString(STR_SIZE_MODIFIED), SizeText(size));
    const size_t at = text.find("%2");
    if (at != std::string::npos)
        text.replace(at, 2, ModifiedTextOf(lastWriteTime));
    return text;
}

} // namespace backup
