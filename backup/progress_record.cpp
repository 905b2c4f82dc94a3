// The progress record's byte layout.
#include "backup/progress_record.h"

#include <cstring>

namespace backup {

namespace {

void Put32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

uint32_t Get32(const unsigned char* p) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return v;
}

void PutText(unsigned char* p, const std::string& text) {
    std::memset(p, 0, kProgressTextSize);
    std::memcpy(p, text.data(),
                text.size() < kProgressTextSize ? text.size() : kProgressTextSize - 1);
}

std::string GetText(const unsigned char* p) {
    size_t n = 0;
    while (n < kProgressTextSize && p[n])
        ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

} // namespace

void EncodeProgress(const ProgressRecord& r, unsigned char* out) {
    Put32(out, r.finished);
    Put32(out + 4, static_cast<uint32_t>(r.filesCompleted));
    Put32(out + 8, static_cast<uint32_t>(r.bytesCopied));
    Put32(out + 12, static_cast<uint32_t>(r.bytesCopied >> 32));
    PutText(out + 16, r.folder);
    PutText(out + 276, r.file);
    Put32(out + 536, static_cast<uint32_t>(r.skipped));
    Put32(out + 540, static_cast<uint32_t>(r.state));
    Put32(out + 544, r.run);
}

ProgressRecord DecodeProgress(const unsigned char* in) {
    ProgressRecord r;
    r.finished = Get32(in);
    r.filesCompleted = static_cast<int32_t>(Get32(in + 4));
    r.bytesCopied = Get32(in + 8) | (static_cast<uint64_t>(Get32(in + 12)) << 32);
    r.folder = GetText(in + 16);
    r.file = GetText(in + 276);
    r.skipped = static_cast<int32_t>(Get32(in + 536));
    r.state = static_cast<int32_t>(Get32(in + 540));
    r.run = Get32(in + 544);
    return r;
}

} // namespace backup
