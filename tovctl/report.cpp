// tovctl's command table, the calls into the channel, and its plain and JSON output.
#include "tovctl/report.h"

#include "protocol/adapters.h"
#include "protocol/channel.h"
#include "protocol/discovery_rules.h"
#include "protocol/echo_probe.h"

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
    "\n"
    "In the network lab's client namespace only (they refuse anywhere else):\n"
    "  discover 1|2              scan this computer's first subnet (1) or by broadcast (2)\n"
    "  probe ADDRESS             one echo probe: 0 no answer, 1 answered, 2 failed\n"
    "  reconfigure ADDRESS       give the appliance at ADDRESS a free address of this subnet\n"
    "  adapters                  the adapter and gateway tables discovery loads\n"
    "\n"
    "Exit status: 0 the exchange happened, 1 it failed (transport, or a reply the command\n"
    "rejects where it cannot tell the two apart), 2 bad usage, 3 a lab command refused.\n";

struct CommandShape {
    const char* word;
    size_t fields;
};

const CommandShape COMMANDS[] = {{"crat", 2}, {"shar", 3}, {"pshr", 3}, {"frst", 0}, {"host", 3},
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

nlohmann::ordered_json RecordJson(const ApplianceRecord& r) {
    nlohmann::ordered_json j;
    j["hostName"] = Latin1ToUtf8(r.hostName);
    j["ipAddress"] = Latin1ToUtf8(r.ipAddress);
    j["detail"] = Latin1ToUtf8(r.detail);
    return j;
}

void PrintRecordsPlain(FILE* out, const nlohmann::ordered_json& records) {
    for (const auto& r : records)
        std::fprintf(out, "  %s  %s  %s\n", r["hostName"].get<std::string>().c_str(),
                     r["ipAddress"].get<std::string>().c_str(),
                     r["detail"].get<std::string>().c_str());
}

// discover, probe, reconfigure and adapters; -1 when args name none of them.
int RunLabCommand(const std::vector<std::string>& args, size_t at, bool json, FILE* out,
                  FILE* err) {
    const std::string& word = args[at];
    size_t operands = args.size() - at - 1;
    bool known = (word == "discover" && operands == 1) || (word == "probe" && operands == 1) ||
                 (word == "reconfigure" && operands == 1) || (word == "adapters" && operands == 0);
    if (word != "discover" && word != "probe" && word != "reconfigure" && word != "adapters")
        return -1;
    if (!known) {
        std::fprintf(err, "tovctl: wrong number of operands for %s (see --help)\n", word.c_str());
        return TOVCTL_USAGE;
    }
    const std::string operand = operands ? args[at + 1] : std::string();
    if (word == "discover" && operand != "1" && operand != "2") {
        std::fprintf(err, "tovctl: discover takes the mode 1 or 2\n");
        return TOVCTL_USAGE;
    }
    if (word == "reconfigure" && ParseIPv4Address(operand.c_str()) == 0xFFFFFFFF) {
        std::fprintf(err, "tovctl: \"%s\" is not a dotted IPv4 address\n", operand.c_str());
        return TOVCTL_USAGE;
    }
    std::string why;
    if (!InsideNetworkLab(&why)) {
        std::fprintf(err,
                     "tovctl: REFUSED: %s runs only inside the network lab's client namespace "
                     "(lab/net/exec-client): %s\n",
                     word.c_str(), why.c_str());
        return TOVCTL_REFUSED;
    }

    nlohmann::ordered_json report;
    report["command"] = word;
    int status = TOVCTL_DONE;
    if (word == "adapters") {
        CommandChannel channel;
        size_t count = channel.LoadAdapters();
        report["count"] = count;
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (size_t k = 0; k < count; ++k) {
            nlohmann::ordered_json a;
            a["address"] = channel.Adapter(k).address;
            a["mask"] = channel.Adapter(k).mask;
            a["gateway"] = channel.Gateway(k);
            list.push_back(a);
        }
        report["adapters"] = list;
        if (!json) {
            std::fprintf(out, "count: %zu\n", count);
            for (const auto& a : list)
                std::fprintf(out, "  %s  %s  %s\n", a["address"].get<std::string>().c_str(),
                             a["mask"].get<std::string>().c_str(),
                             a["gateway"].get<std::string>().c_str());
        }
    } else if (word == "probe") {
        uint32_t error = 0;
        int result = PROBE_FAILED;
        if (SocketsStart(&error)) {
            EchoProbe probe;
            result = probe.Probe(operand.c_str());
            SocketsRelease();
        }
        report["address"] = operand;
        report["result"] = result;
        if (!json)
            std::fprintf(out, "result: %d\n", result);
        status = result == PROBE_FAILED ? TOVCTL_TRANSPORT_FAILED : TOVCTL_DONE;
    } else if (word == "discover") {
        CommandChannel channel;
        uint32_t mode = operand == "1" ? SCAN_UNICAST : SCAN_BROADCAST;
        uint32_t result = channel.Discover(mode);
        report["mode"] = mode;
        report["result"] = result;
        report["count"] = channel.RecordCount();
        nlohmann::ordered_json records = nlohmann::ordered_json::array();
        for (uint32_t i = 0; i < channel.RecordCount(); ++i)
            records.push_back(RecordJson(channel.Record(i)));
        report["records"] = records;
        if (channel.LastError() != 0)
            report["lastError"] = channel.LastError();
        if (!json) {
            std::fprintf(out, "result: %s\ncount: %u\n", Hex32(result).c_str(),
                         channel.RecordCount());
            PrintRecordsPlain(out, records);
        }
        // A complete unicast scan ends with the time-out of its last silence.
        status = result == CMD_OK || result == CMD_TIMEOUT ? TOVCTL_DONE : TOVCTL_TRANSPORT_FAILED;
    } else {
        CommandChannel channel;
        channel.SetTarget(operand);
        uint32_t result = channel.ReconfigureAppliance();
        report["address"] = operand;
        report["result"] = result;
        report["freeAddress"] = channel.FreeAddress();
        // The answer is parsed into the first free slot, without being counted.
        if (result == CMD_OK && channel.RecordCount() < RECORD_SLOTS &&
            !channel.Record(channel.RecordCount()).ipAddress.empty())
            report["record"] = RecordJson(channel.Record(channel.RecordCount()));
        if (channel.LastError() != 0)
            report["lastError"] = channel.LastError();
        if (!json) {
            std::fprintf(out, "result: %s\nfreeAddress: %s\n", Hex32(result).c_str(),
                         channel.FreeAddress().c_str());
            if (report.contains("record"))
                PrintRecordsPlain(out, nlohmann::ordered_json::array({report["record"]}));
            if (channel.LastError() != 0)
                std::fprintf(out, "lastError: %s\n", Hex32(channel.LastError()).c_str());
        }
        status = result == CMD_OK ? TOVCTL_DONE : TOVCTL_TRANSPORT_FAILED;
    }
    if (json)
        std::fprintf(out, "%s\n", report.dump().c_str());
    return status;
}

} // namespace

bool InsideNetworkLab(std::string* why) {
    AdapterEntry adapters[ADAPTER_SLOTS];
    char gateways[ADAPTER_SLOTS][ADAPTER_TEXT_SIZE];
    size_t count = LoadAdapterTables(adapters, gateways);
    for (size_t k = 0; k < count; ++k) {
        const char* a = adapters[k].address;
        if (std::strcmp(a, "0.0.0.0") == 0)
            continue;
        if (std::strncmp(a, "198.51.100.", 11) != 0 && std::strncmp(a, "203.0.113.", 10) != 0) {
            *why = std::string("this computer has the adapter address ") + a;
            return false;
        }
    }
    return true;
}

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
    if (at < args.size()) {
        int lab = RunLabCommand(args, at, json, out, err);
        if (lab >= 0)
            return lab;
    }
    if (args.size() < at + 2) {
        std::fputs(USAGE, err);
        return TOVCTL_USAGE;
    }
    const std::string& word = args[at];
    const std::string& address = args[at + 1];
    std::vector<std::string> fields(args.begin() + static_cast<long>(at) + 2, args.end());
    const CommandShape* shape = nullptr;
    for (const CommandShape& c : COMMANDS)
        if (word == c.word)
            shape = &c;
    if (!shape) {
        std::fprintf(err, "tovctl: unknown command \"%s\"\n", word.c_str());
        return TOVCTL_USAGE;
    }
    if (fields.size() != shape->fields) {
        std::fprintf(err, "tovctl: %s takes %zu field(s), not %zu\n", shape->word, shape->fields,
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
