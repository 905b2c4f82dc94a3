// The message dialog's texts on Windows: the language's string table and the system's messages.
#pragma once

#include "setup/message_table.h"

namespace setup {

class WindowsMessageTexts : public MessageTexts {
public:
    std::string String(int id) override;
    std::string SystemText(uint32_t code) override;
};

} // namespace setup
