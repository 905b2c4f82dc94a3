// Names of the screens' controls for screen readers.
#include "skin/names.h"

namespace skin {
namespace {

// Lines joined by single blanks, without blanks at either end.
std::string OneLine(const std::string& text) {
    std::string out;
    bool blank = false;
    for (char c : text) {
        if (c == '\r' || c == '\n' || c == ' ' || c == '\t') {
            blank = true;
            continue;
        }
        if (blank && !out.empty())
            out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

} // namespace

std::string ButtonNameFromLabel(const std::string& labelText, bool labelNoPrefix) {
    const std::string line = OneLine(labelText);
    if (!labelNoPrefix)
        return line;
    std::string out;
    for (char c : line) {
        out += c;
        if (c == '&')
            out += '&';
    }
    return out;
}

std::string SpokenName(const std::string& text, bool noPrefix) {
    const std::string line = OneLine(text);
    if (noPrefix)
        return line;
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '&') {
            out += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == '&') {
            out += '&';
            ++i;
        }
        // a single "&" marks the next letter as the shortcut and is not said
    }
    return out;
}

} // namespace skin
