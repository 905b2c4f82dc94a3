// tovctl's command table, the calls into the channel, and its plain and JSON output.
#include "tovctl/report.h"

#include "protocol/channel.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstring>

namespace {

const char USAGE[] =
    "Usage: tovctl [--json] COMMAND ADDRESS [FIELDS...]\n"
    "Runs one appliance command against ADDRESS (TCP port 4301) and prints the reply.\n"
    "\n"
    "  crat NAME PASSWORD        create an account\n"
    "  shar TEXT1 TEXT2 TEXT3    create a share (the set-up sends NAME NAME \"\")\n"
    "  pshr TEXT1 TEXT2 TEXT3    create a public share (the set-up sends guest NAME \"\")\n"
    "  frst                      the first-use status\n"
    "  host TEXT2 TEXT3 TEXT4    send this computer's clock and three texts\n"
    "  lsts                      list the accounts\n"
    "  spvt HEX                  send a block of bytes, given as hex (at most 4082 bytes)\n"
    "  gub1                      the backup status block\n"
    "  gps1                      the public share name\n"
    "  gsp1 NAME                 whether the account has a password (1) or not (2)\n"
    "\n"
    "Exit status: 0 the exchange happened, 1 it failed (transport, or a reply the command\n"
    "rejects where it cannot tell the two apart), 2 bad usage.\n";

struct CommandSpec {
    const char* word;
    size_t fields;
};

const CommandSpec COMMANDS[] = {{"crat", 2}, {"shar", 3}, {"pshr", 3}, {"frst", 0}, {"host", 3},
                                {"lsts", 0}, {"spvt", 1}, {"gub1", 0}, {"gps1", 0}, {"gsp1", 1}};

bool IsTransportCode(uint32_t code) { return code >= CMD_TIMEOUT && code <= CMD_STARTUP_FAILED; }

std::string Hex32(uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", v);
    return text;
}

void PrintPlain(FILE* out, const nlohmann::ordered_json& report) {
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

// The reply texts are single-byte and may hold any byte; JSON strings must be UTF-8, so each
// byte above 0x7F becomes the character of the same number.
std::string Latin1ToUtf8(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace

bool DecodeHex(const std::string& hex, std::string* bytes) {
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    if (hex.size() % 2 != 0)
        return false;
    bytes->clear();
    for (size_t i = 0; i < hex.size(); i += 2) {
        int hi = digit(hex[i]);
        int lo = digit(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        bytes->push_back(static_cast<char>(hi << 4 | lo));
    }
    return true;
}

std::string EncodeHex(const unsigned char* bytes, size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

int RunTovctl(const std::vector<std::string>& args, FILE* out, FILE* err) {
    size_t at = 0;
    bool json = false;
    if (at < args.size() && args[at] == "--json") {
        json = true;
        ++at;
    }
    if (at < args.size() && (args[at] == "--help" || args[at] == "-h")) {
        std::fputs(USAGE, out);
        return TOVCTL_DONE;
    }
    if (args.size() < at + 2) {
        std::fputs(USAGE, err);
        return TOVCTL_USAGE;
    }
    const std::string& word = args[at];
    const std::string& address = args[at + 1];
    std::vector<std::string> fields(args.begin() + static_cast<long>(at) + 2, args.end());
    const CommandSpec* spec = nullptr;
    for (const CommandSpec& c : COMMANDS)
        if (word == c.word)
            spec = &c;
    if (!spec) {
        std::fprintf(err, "tovctl: unknown command \"%s\"\n", word.c_str());
        return TOVCTL_USAGE;
    }
    if (fields.size() != spec->fields) {
        std::fprintf(err, "tovctl: %s takes %zu field(s), not %zu\n", spec->word, spec->fields,
                     fields.size());
        return TOVCTL_USAGE;
    }
    if (ParseIPv4Address(address.c_str()) == 0xFFFFFFFF) {
        std::fprintf(err, "tovctl: \"%s\" is not a dotted IPv4 address\n", address.c_str());
        return TOVCTL_USAGE;
    }
    std::string spvtData;
    if (word == "spvt" && !DecodeHex(fields[0], &spvtData)) {
        std::fprintf(err, "tovctl: spvt takes its data as hex digits\n");
        return TOVCTL_USAGE;
    }

    CommandChannel channel;
    channel.SetTarget(address);
    nlohmann::ordered_json report;
    report["command"] = word;
    bool failed = false;
    if (word == "crat" || word == "shar" || word == "pshr" || word == "frst") {
        uint32_t status = 0;
        uint32_t rc;
        if (word == "crat")
            rc = channel.SendCrat(fields[0], fields[1], status);
        else if (word == "shar")
            rc = channel.SendShar(fields[0], fields[1], fields[2], status);
        else if (word == "pshr")
            rc = channel.SendPshr(fields[0], fields[1], fields[2], status);
        else
            rc = channel.SendFrst(status);
        report["result"] = rc;
        if (rc == CMD_OK)
            report["status"] = status;
        failed = rc != CMD_OK;
    } else if (word == "host") {
        uint32_t rc = channel.SendHost(fields[0], fields[1], fields[2]);
        report["result"] = rc;
        failed = IsTransportCode(rc);
    } else if (word == "lsts") {
        uint32_t status = 0;
        uint32_t count = 0;
        std::string text = channel.SendLsts(status, count);
        report["result"] = status;
        if (status == CMD_OK) {
            report["count"] = count;
            report["text"] = Latin1ToUtf8(text);
        }
        failed = IsTransportCode(status);
    } else if (word == "spvt") {
        uint32_t rc =
            channel.SendSpvt(reinterpret_cast<const uint8_t*>(spvtData.data()), spvtData.size());
        if (rc == SPVT_TOO_LONG)
            report["result"] = -1;
        else
            report["result"] = rc;
        failed = rc == SPVT_TOO_LONG || IsTransportCode(rc);
    } else if (word == "gub1") {
        StatusBlock block;
        uint32_t rc = channel.SendGub1(block);
        report["result"] = rc;
        if (rc == CMD_OK && block.bytes) {
            report["count"] = static_cast<uint32_t>(block.bytes[0] | block.bytes[1] << 8);
            report["block"] = EncodeHex(block.bytes.get(), block.size);
        }
        failed = rc != CMD_OK;
    } else if (word == "gps1") {
        std::string name;
        uint32_t rc = channel.SendGps1(name);
        report["result"] = rc;
        if (rc == CMD_OK)
            report["name"] = Latin1ToUtf8(name);
        failed = rc != CMD_OK;
    } else {
        int answer = channel.SendGsp1(fields[0]);
        report["result"] = answer;
        report["answer"] = answer;
        failed = answer < 0;
    }
    if (channel.LastError() != 0)
        report["lastError"] = channel.LastError();
    if (json)
        std::fprintf(out, "%s\n", report.dump().c_str());
    else
        PrintPlain(out, report);
    return failed ? TOVCTL_TRANSPORT_FAILED : TOVCTL_DONE;
}
