// The message dialog's code table: what a 32-bit code shows, which buttons it has, what they do.
#pragma once

#include <cstdint>
#include <string>

namespace setup {

// String table numbers the message dialog uses itself.
constexpr int STR_DEVICE_HEADING = 9; // "Shared Storage device: %1"
constexpr int STR_UNKNOWN_ERROR = 47; // names the support page
constexpr int STR_ERROR_CODE = 38;    // "Error code: "
constexpr int STR_OK = 37;
constexpr int STR_HELP = 50;
constexpr int STR_NO = 194;
constexpr int STR_YES = 195;
constexpr int STR_STOP = 196;
constexpr int STR_REPLACE = 197;

// Codes the program raises itself.
constexpr uint32_t MSG_SYNC_BACKUP = 0xAA000010;
constexpr uint32_t MSG_DELETE_HISTORY = 0xAA000011;
constexpr uint32_t MSG_STOP_RESTORE = 0xAA000012;
constexpr uint32_t MSG_MISSED_BACKUP = 0xAA000013;
constexpr uint32_t MSG_REPLACE_FILE = 0xAB000013;
constexpr uint32_t MSG_CLOSE_APPLICATIONS = 0xAC000014;
constexpr uint32_t MSG_SHARE_NOT_ACCESSIBLE = 0xAC000015;
constexpr uint32_t MSG_WINDOWS_TOO_OLD = 0xAC000016;
constexpr uint32_t MSG_RESTORE_FAILED = 0xAC000017;
constexpr uint32_t MSG_ALREADY_OPEN = 0xAC000018;
constexpr uint32_t MSG_RECONFIGURE_FAILED = 0xFF00000C;

// From this code up the dialog asks (or notifies): no code line, results 128 and 129.
constexpr uint32_t FIRST_QUESTION_CODE = 0xAA000000;

enum class CodeLineForm {
    Program, // top byte and lowest byte in hexadecimal: "A007"
    System,  // signed decimal after "A0FF - "
};

// One code looked up in the table.
struct MessageEntry {
    int headingId = 0; // replaces the caller's heading; 0 keeps it
    int messageId = 0; // the message's string; 0 means the system's text for the code
    CodeLineForm form = CodeLineForm::System;
    bool question = false;      // code >= FIRST_QUESTION_CODE
    bool codeLineShown = true;  // false from FIRST_QUESTION_CODE up
    bool leftShown = true;      // false for the notices (digit C)
    int leftLabelId = STR_HELP; // by bits 24 to 27
    int rightLabelId = STR_OK;
};

MessageEntry LookUpMessage(uint32_t code);

// The text after "Error code: " in the given form.
std::string CodeLineValue(uint32_t code, CodeLineForm form);

// Heading string 9 with every "%1" replaced by the device name.
std::string DeviceHeading(const std::string& format, const std::string& device);

// Where the dialog takes its texts from: the language's string table and the system's messages.
class MessageTexts {
public:
    virtual ~MessageTexts() = default;
    virtual std::string String(int id) = 0;
    // The system's message text for the code, default language; empty when it has none.
    virtual std::string SystemText(uint32_t code) = 0;
};

// Everything the dialog shows, ready for its controls.
struct PreparedMessage {
    std::string heading;
    std::string message;
    std::string codeLine; // empty when hidden
    bool codeLineShown = false;
    bool question = false;
    bool leftShown = true;
    std::string leftLabel;
    std::string rightLabel;
};

// Prepares the dialog for a code under the caller's heading; logs "Error Encountered: %d %s"
// when the message is the system's text.
PreparedMessage PrepareMessage(uint32_t code, const std::string& callerHeading,
                               MessageTexts& texts);

enum class MessageButton { Left, Right, Close };

struct ButtonOutcome {
    bool ends = false; // the dialog ends with result
    int result = 0;
    bool openSupport = false; // Help outside question mode: the support page, the dialog stays
};

ButtonOutcome PressMessageButton(bool question, MessageButton button);

// Enter presses the left button when it has the focus, else the right one.
inline MessageButton EnterButton(bool leftFocused) {
    return leftFocused ? MessageButton::Left : MessageButton::Right;
}

} // namespace setup
