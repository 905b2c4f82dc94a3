// Conversions from registry data to the values the program works with.
#include "app/settings_rules.h"

namespace AppSettings {

std::string TextFromBytes(const std::vector<unsigned char>& data) {
    std::string text;
    for (unsigned char c : data) {
        if (c == 0)
            break;
        text += static_cast<char>(c);
    }
    return text;
}

std::string TrimWhite(const std::string& text) {
    static const char kWhite[] = " \t\r\n\v\f";
    const size_t first = text.find_first_not_of(kWhite);
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(kWhite);
    return text.substr(first, last - first + 1);
}

bool FlagFromBytes(const std::vector<unsigned char>& data, bool wholeDword) {
    const size_t count = wholeDword ? 4 : 1;
    for (size_t i = 0; i < count && i < data.size(); ++i) {
        if (data[i] != 0)
            return true;
    }
    return false;
}

FlagReading ReadFlagFrom(bool exists, bool read, const std::vector<unsigned char>& data,
                         bool wholeDword) {
    if (!exists)
        return {true, true};
    if (!read)
        return {true, false};
    return {FlagFromBytes(data, wholeDword), false};
}

int FirstByteCode(const std::vector<unsigned char>& data) { return data.empty() ? 0 : data[0]; }

std::string BackupFolderFromBuffer(bool fitted, const std::vector<unsigned char>& data) {
    if (!fitted || data.size() > BACKUP_FOLDER_BUFFER)
        return std::string();
    std::string text = TextFromBytes(data);
    if (text.size() >= BACKUP_FOLDER_BUFFER)
        return std::string();
    return text;
}

} // namespace AppSettings
