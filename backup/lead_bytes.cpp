// Which bytes begin a two-byte character in the system's code page, and the path cuts made with it.
#include "backup/lead_bytes.h"

namespace backup {

void LeadBytes::Mark(unsigned char first, unsigned char last) {
    for (unsigned b = first; b <= last; ++b)
        lead_.set(b);
}

size_t LeadBytes::CharEnd(const std::string& text, size_t i) const {
    if (IsLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size())
        return i + 2;
    return i + 1;
}

int LeadBytes::NthBackslash(const std::string& text, int n) const {
    for (size_t i = 0; i < text.size(); i = CharEnd(text, i)) {
        if (text[i] == '\\' && --n == 0)
            return static_cast<int>(i);
    }
    return -1;
}

bool LeadBytes::EndsInBackslash(const std::string& text) const {
    size_t last = std::string::npos;
    for (size_t i = 0; i < text.size(); i = CharEnd(text, i))
        last = i;
    return last != std::string::npos && last + 1 == text.size() && text[last] == '\\';
}

size_t LeadBytes::Find(const std::string& text, const std::string& part, size_t from) const {
    if (part.size() > text.size())
        return std::string::npos;
    // Walking from the start is the only way to know where the characters begin.
    for (size_t i = 0; i + part.size() <= text.size(); i = CharEnd(text, i)) {
        if (i >= from && text.compare(i, part.size(), part) == 0)
            return i;
    }
    return std::string::npos;
}

std::string LeadBytes::Without(const std::string& text, char c) const {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        size_t end = CharEnd(text, i);
        if (end != i + 1 || text[i] != c)
            out.append(text, i, end - i);
        i = end;
    }
    return out;
}

} // namespace backup
