// The request reader: a header of word, space, little-endian field count and newline, then fields.
#include "appliance/request.h"

namespace appliance {

namespace {

constexpr size_t HEADER = 10;
constexpr uint32_t MOST_FIELDS = 16;
constexpr size_t LONGEST_BLOB = 4082;

enum class FieldKind { Text, Number };

// What the layout of each known command says its fields are; others are read as text.
std::vector<FieldKind> KindsFor(const std::string& word, uint32_t count) {
    std::vector<FieldKind> kinds(count, FieldKind::Text);
    if ((word == "dscr" || word == "spvt") && count >= 1)
        kinds[0] = FieldKind::Number;
    return kinds;
}

bool IsWordByte(uint8_t b) { return (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9'); }

} // namespace

uint32_t ReadLE32(const std::string& four) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4 && i < four.size(); ++i)
        v |= static_cast<uint32_t>(static_cast<uint8_t>(four[i])) << (8 * i);
    return v;
}

std::string LE32(uint32_t value) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return s;
}

ParseOutcome ParseRequest(const uint8_t* data, size_t size, Request* request, size_t* used) {
    for (size_t i = 0; i < 4 && i < size; ++i)
        if (!IsWordByte(data[i]))
            return ParseOutcome::Invalid;
    if (size > 4 && data[4] != ' ')
        return ParseOutcome::Invalid;
    if (size > 9 && data[9] != '\n')
        return ParseOutcome::Invalid;
    if (size < HEADER)
        return ParseOutcome::NeedMore;
    std::string word(reinterpret_cast<const char*>(data), 4);
    uint32_t count = ReadLE32(std::string(reinterpret_cast<const char*>(data) + 5, 4));
    if (count > MOST_FIELDS)
        return ParseOutcome::Invalid;
    std::vector<FieldKind> kinds = KindsFor(word, count);
    Request r;
    r.word = word;
    size_t at = HEADER;
    for (uint32_t k = 0; k < count; ++k) {
        if (kinds[k] == FieldKind::Number) {
            if (size < at + 5)
                return ParseOutcome::NeedMore;
            if (data[at + 4] != '\n')
                return ParseOutcome::Invalid;
            r.fields.emplace_back(reinterpret_cast<const char*>(data) + at, 4);
            at += 5;
            // The "spvt" length announces a block of raw bytes that may hold newlines itself.
            if (word == "spvt" && k == 0 && count == 2) {
                uint32_t n = ReadLE32(r.fields.back());
                if (n > LONGEST_BLOB)
                    return ParseOutcome::Invalid;
                if (size < at + n + 1)
                    return ParseOutcome::NeedMore;
                if (data[at + n] != '\n')
                    return ParseOutcome::Invalid;
                r.fields.emplace_back(reinterpret_cast<const char*>(data) + at, n);
                at += n + 1;
                ++k;
            }
            continue;
        }
        size_t end = at;
        while (end < size && data[end] != '\n')
            ++end;
        if (end == size)
            return ParseOutcome::NeedMore;
        r.fields.emplace_back(reinterpret_cast<const char*>(data) + at, end - at);
        at = end + 1;
    }
    *request = std::move(r);
    *used = at;
    return ParseOutcome::Complete;
}

} // namespace appliance
