// tovctl's reports as JSON or plain lines.
#include "tovctl/report.h"

#include "tovctl/hex.h"

#include <cstdint>

std::string Latin1ToUtf8(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

Report RecordJson(const ApplianceRecord& record) {
    Report j;
    j["hostName"] = Latin1ToUtf8(record.hostName);
    j["ipAddress"] = Latin1ToUtf8(record.ipAddress);
    j["detail"] = Latin1ToUtf8(record.detail);
    return j;
}

void PrintPlain(FILE* out, const Report& report) {
    for (auto& item : report.items()) {
        if (item.key() == "command")
            continue;
        const auto& v = item.value();
        if (v.is_string()) {
            std::string s = v.get<std::string>();
            if (s.find('\n') != std::string::npos)
                std::fprintf(out, "%s:\n%s%s", item.key().c_str(), s.c_str(),
                             s.back() == '\n' ? "" : "\n");
            else
                std::fprintf(out, "%s: %s\n", item.key().c_str(), s.c_str());
        } else if (v.is_number_unsigned()) {
            uint64_t n = v.get<uint64_t>();
            std::fprintf(out, "%s: %s\n", item.key().c_str(),
                         n > 0xFFFF ? Hex32(static_cast<uint32_t>(n)).c_str()
                                    : std::to_string(n).c_str());
        } else {
            std::fprintf(out, "%s: %s\n", item.key().c_str(), v.dump().c_str());
        }
    }
}

void PrintRecordsPlain(FILE* out, const Report& records) {
    for (const auto& r : records)
        std::fprintf(out, "  %s  %s  %s\n", r["hostName"].get<std::string>().c_str(),
                     r["ipAddress"].get<std::string>().c_str(),
                     r["detail"].get<std::string>().c_str());
}

void PrintJson(FILE* out, const Report& report) {
    std::fprintf(out, "%s\n", report.dump().c_str());
}
