// The message dialog's code table and the texts and buttons it gives each code.
#include "setup/message_table.h"

#include <cstdio>

#include "app/log.h"
#include "setup/screen_results.h"

namespace setup {
namespace {

// One row: an exact code (first == last) or an inclusive range.
struct Row {
    uint32_t first;
    uint32_t last;
    int headingId;
    int messageId;
    CodeLineForm form;
};

constexpr CodeLineForm P = CodeLineForm::Program;
constexpr CodeLineForm S = CodeLineForm::System;

// Codes missing here show the system's text under the caller's heading, in the system form.
constexpr Row ROWS[] = {
    {0, 0, 0, 0, S},
    {1, 3, 0, 60, P},
    {53, 53, 0, 53, S},
    {1219, 1219, 0, 54, S},
    {1326, 1326, 0, 52, S},
    {0x10000001, 0x10000001, 0, 44, P},
    {0x10000002, 0x10000002, 0, 45, P},
    {0x10000003, 0x10000003, 0, 46, P},
    {0x10000004, 0x10000005, 0, STR_UNKNOWN_ERROR, P},
    {0x20000001, 0x20000006, 0, STR_UNKNOWN_ERROR, P},
    {0x40000001, 0x40000004, 0, STR_UNKNOWN_ERROR, P},
    {0x50000001, 0x50000008, 0, STR_UNKNOWN_ERROR, P},
    {0x60000001, 0x60000006, 0, STR_UNKNOWN_ERROR, P},
    {0x70000001, 0x70000005, 0, STR_UNKNOWN_ERROR, P},
    {0x90000001, 0x90000006, 0, STR_UNKNOWN_ERROR, P},
    {0xA0000001, 0xA0000002, 0, 39, P},
    {0xA0000003, 0xA0000003, 0, 40, P},
    {0xA0000004, 0xA0000004, 0, 41, P},
    {0xA0000005, 0xA0000005, 0, 42, P},
    {0xA0000006, 0xA0000006, 0, 43, P},
    {0xA0000007, 0xA0000007, 0, 48, P},
    {0xA0000009, 0xA0000009, 0, 61, P},
    {0xA000000A, 0xA000000A, 0, 14, P},
    {MSG_SYNC_BACKUP, MSG_SYNC_BACKUP, 186, 185, P},
    {MSG_DELETE_HISTORY, MSG_DELETE_HISTORY, 188, 187, P},
    {MSG_STOP_RESTORE, MSG_STOP_RESTORE, 190, 189, P},
    {MSG_MISSED_BACKUP, MSG_MISSED_BACKUP, 214, 215, P},
    {MSG_REPLACE_FILE, MSG_REPLACE_FILE, 0, 191, P},
    {MSG_CLOSE_APPLICATIONS, MSG_CLOSE_APPLICATIONS, 206, 193, P},
    {MSG_SHARE_NOT_ACCESSIBLE, MSG_SHARE_NOT_ACCESSIBLE, 205, 198, P},
    {MSG_WINDOWS_TOO_OLD, MSG_WINDOWS_TOO_OLD, 204, 203, P},
    {MSG_RESTORE_FAILED, MSG_RESTORE_FAILED, 210, 211, P},
    {MSG_ALREADY_OPEN, MSG_ALREADY_OPEN, 212, 213, P},
    {0xB0000001, 0xB0000003, 0, STR_UNKNOWN_ERROR, P},
    {0xC0000001, 0xC0000004, 0, 60, P},
    {0xFF000001, 0xFF00000B, 0, STR_UNKNOWN_ERROR, P},
    {MSG_RECONFIGURE_FAILED, MSG_RECONFIGURE_FAILED, 0, 15, P},
    {0xFFFFFFFF, 0xFFFFFFFF, 0, STR_UNKNOWN_ERROR, P},
};

} // namespace

MessageEntry LookUpMessage(uint32_t code) {
    MessageEntry entry;
    for (const Row& row : ROWS) {
        if (code >= row.first && code <= row.last) {
            entry.headingId = row.headingId;
            entry.messageId = row.messageId;
            entry.form = row.form;
            break;
        }
    }
    entry.question = code >= FIRST_QUESTION_CODE;
    entry.codeLineShown = !entry.question;
    switch ((code >> 24) & 0xF) {
    case 0xA:
        entry.leftLabelId = STR_NO;
        entry.rightLabelId = STR_YES;
        break;
    case 0xB:
        entry.leftLabelId = STR_STOP;
        entry.rightLabelId = STR_REPLACE;
        break;
    case 0xC:
        entry.leftShown = false;
        entry.leftLabelId = 0;
        entry.rightLabelId = STR_OK;
        break;
    default:
        entry.leftLabelId = STR_HELP;
        entry.rightLabelId = STR_OK;
        break;
    }
    return entry;
}

std::string CodeLineValue(uint32_t code, CodeLineForm form) {
    char text[32];
    if (form == CodeLineForm::Program)
        std::snprintf(text, sizeof text, "%02X%02X", static_cast<unsigned>(code >> 24),
                      static_cast<unsigned>(code & 0xFF));
    else
        std::snprintf(text, sizeof text, "A0FF - %d", static_cast<int>(code));
    return text;
}

std::string DeviceHeading(const std::string& format, const std::string& device) {
    std::string heading;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '1') {
            heading += device;
            ++i;
        } else {
            heading += format[i];
        }
    }
    return heading;
}

PreparedMessage PrepareMessage(uint32_t code, const std::string& callerHeading,
                               MessageTexts& texts) {
    const MessageEntry entry = LookUpMessage(code);
    PreparedMessage shown;
    shown.heading = entry.headingId ? texts.String(entry.headingId) : callerHeading;
    if (entry.messageId) {
        shown.message = texts.String(entry.messageId);
    } else {
        shown.message = texts.SystemText(code);
        // The system's texts end in a line break; the entry stays on one line without it.
        std::string logged = shown.message;
        while (!logged.empty() && (logged.back() == '\r' || logged.back() == '\n'))
            logged.pop_back();
        WriteLog(LOG_ERROR, "Error Encountered: %d %s", static_cast<int>(code), logged.c_str());
    }
    shown.codeLineShown = entry.codeLineShown;
    if (shown.codeLineShown)
        shown.codeLine = texts.String(STR_ERROR_CODE) + CodeLineValue(code, entry.form);
    shown.question = entry.question;
    shown.leftShown = entry.leftShown;
    if (entry.leftShown)
        shown.leftLabel = texts.String(entry.leftLabelId);
    shown.rightLabel = texts.String(entry.rightLabelId);
    return shown;
}

ButtonOutcome PressMessageButton(bool question, MessageButton button) {
    ButtonOutcome outcome;
    switch (button) {
    case MessageButton::Right:
        outcome.ends = true;
        outcome.result = question ? RESULT_YES : RESULT_SETUP_FAILED;
        break;
    case MessageButton::Left:
        if (question) {
            outcome.ends = true;
            outcome.result = RESULT_NO;
        } else {
            outcome.openSupport = true;
        }
        break;
    case MessageButton::Close:
        outcome.ends = true;
        outcome.result = RESULT_CLOSE;
        break;
    }
    return outcome;
}

} // namespace setup
