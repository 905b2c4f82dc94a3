// Which bytes begin a two-byte character in the system's code page, and the path cuts made with it.
#pragma once

#include <bitset>
#include <cstddef>
#include <string>

namespace backup {

// In the multibyte code pages (932, 936, 950 and their like) the second byte of a character may
// be any of 0x40 to 0xFE, the backslash 0x5C among them (ソ is 0x83 0x5C in 932), so a path is
// cut by character: a byte after a lead byte is never a separator. No lead bytes: a single-byte
// code page, where every byte is a character.
class LeadBytes {
public:
    LeadBytes() = default;
    // Marks first..last as lead bytes.
    void Mark(unsigned char first, unsigned char last);
    bool IsLead(unsigned char byte) const { return lead_[byte]; }

    // Where the character that starts at i ends (a lead byte as the last byte stands alone).
    size_t CharEnd(const std::string& text, size_t i) const;
    // Position of the n-th backslash character (counting from 1), or -1 when there are fewer.
    int NthBackslash(const std::string& text, int n) const;
    // Whether the last character is a backslash (not merely the last byte).
    bool EndsInBackslash(const std::string& text) const;
    // The first place at or after from where part begins on a character of text, or npos.
    size_t Find(const std::string& text, const std::string& part, size_t from = 0) const;
    // text without the characters c (an ASCII byte).
    std::string Without(const std::string& text, char c) const;

private:
    std::bitset<256> lead_;
};

} // namespace backup
