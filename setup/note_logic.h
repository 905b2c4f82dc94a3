// The no-password note's decisions: whether it shows, what "host" says, where Manage leads.
#pragma once

#include <cstdint>
#include <string>

#include "protocol/channel.h"

namespace setup {

constexpr int STR_NOTE_TEXT = 24;
constexpr int STR_MANAGE = 26;
constexpr int STR_NEXT = 3;

// The two commands the note sends; the command channel speaks them, tests fake them.
class NoteChannel {
public:
    virtual ~NoteChannel() = default;
    virtual uint32_t SendFrst(uint32_t& status) = 0;
    // "host" with the clock first; the transport's code, else the appliance's status.
    virtual uint32_t SendHost(const std::string& text2, const std::string& text3,
                              const std::string& text4) = 0;
};

// The note's commands over a command channel aimed at the appliance.
class CommandNoteChannel : public NoteChannel {
public:
    explicit CommandNoteChannel(CommandChannel& channel) : channel(channel) {}
    uint32_t SendFrst(uint32_t& status) override { return channel.SendFrst(status); }
    uint32_t SendHost(const std::string& text2, const std::string& text3,
                      const std::string& text4) override {
        return channel.SendHost(text2, text3, text4);
    }

private:
    CommandChannel& channel;
};

enum class NoteAction {
    Skip,        // end at once with 102: the appliance has a password, or could not tell
    ShowMessage, // "host" failed: the message dialog, then end with 101
    Show,        // show the note and wait
};

struct NoteOpening {
    NoteAction action = NoteAction::Show;
    uint32_t code = 0;  // for ShowMessage: what "host" returned
    std::string device; // for ShowMessage: name "(" address ")"
};

// The note's opening steps for the appliance; the channel is already aimed at address.
NoteOpening OpenNote(NoteChannel& channel, const std::string& hostName, const std::string& address,
                     const std::string& languageName);

// The language code "host" carries: the first two letters of the language name, lower-cased;
// "en" for an empty name (no "Language" value: the program's own English screens).
std::string LanguageCode(const std::string& languageName);

// The appliance's own set-up pages, as Manage opens them.
std::string ManageAddress(const std::string& address);

// Enter presses Manage when it has the focus, Next otherwise.
enum class NoteButton { Manage, Next };
inline NoteButton NoteEnterButton(bool manageFocused) {
    return manageFocused ? NoteButton::Manage : NoteButton::Next;
}

} // namespace setup
