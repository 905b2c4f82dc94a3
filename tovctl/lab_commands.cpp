// tovctl's lab commands over CommandChannel's discovery members and the echo probe.
#include "tovctl/lab_commands.h"

#include "protocol/channel.h"
#include "protocol/discovery_rules.h"
#include "protocol/echo_probe.h"
#include "tovctl/hex.h"
#include "tovctl/report.h"
#include "tovctl/tovctl.h"

#include <cstdint>

namespace {

const std::string& Operand(const Invocation& inv) { return inv.operands[0]; }

Report Start(const Invocation& inv) {
    Report report;
    report["command"] = inv.word;
    return report;
}

int Finish(const Invocation& inv, const Report& report, int status) {
    if (inv.json)
        PrintJson(inv.out, report);
    return status;
}

} // namespace

bool CheckDiscover(const Invocation& inv) {
    if (Operand(inv) == "1" || Operand(inv) == "2")
        return true;
    std::fprintf(inv.err, "tovctl: discover takes the mode 1 or 2\n");
    return false;
}

bool CheckReconfigure(const Invocation& inv) {
    if (ParseIPv4Address(Operand(inv).c_str()) != 0xFFFFFFFF)
        return true;
    std::fprintf(inv.err, "tovctl: \"%s\" is not a dotted IPv4 address\n", Operand(inv).c_str());
    return false;
}

int RunAdapters(const Invocation& inv) {
    Report report = Start(inv);
    CommandChannel channel;
    size_t count = channel.LoadAdapters();
    report["count"] = count;
    Report list = Report::array();
    for (size_t k = 0; k < count; ++k) {
        Report a;
        a["address"] = channel.Adapter(k).address;
        a["mask"] = channel.Adapter(k).mask;
        a["gateway"] = channel.Gateway(k);
        list.push_back(a);
    }
    report["adapters"] = list;
    if (!inv.json) {
        std::fprintf(inv.out, "count: %zu\n", count);
        for (const auto& a : list)
            std::fprintf(inv.out, "  %s  %s  %s\n", a["address"].get<std::string>().c_str(),
                         a["mask"].get<std::string>().c_str(),
                         a["gateway"].get<std::string>().c_str());
    }
    return Finish(inv, report, TOVCTL_DONE);
}

int RunProbe(const Invocation& inv) {
    Report report = Start(inv);
    uint32_t error = 0;
    int result = PROBE_FAILED;
    if (SocketsStart(&error)) {
        EchoProbe probe;
        result = probe.Probe(Operand(inv).c_str());
        SocketsRelease();
    }
    report["address"] = Operand(inv);
    report["result"] = result;
    if (!inv.json)
        std::fprintf(inv.out, "result: %d\n", result);
    return Finish(inv, report, result == PROBE_FAILED ? TOVCTL_TRANSPORT_FAILED : TOVCTL_DONE);
}

int RunDiscover(const Invocation& inv) {
    Report report = Start(inv);
    CommandChannel channel;
    uint32_t mode = Operand(inv) == "1" ? SCAN_UNICAST : SCAN_BROADCAST;
    uint32_t result = channel.Discover(mode);
    report["mode"] = mode;
    report["result"] = result;
    report["count"] = channel.RecordCount();
    Report records = Report::array();
    for (uint32_t i = 0; i < channel.RecordCount(); ++i)
        records.push_back(RecordJson(channel.Record(i)));
    report["records"] = records;
    if (channel.LastError() != 0)
        report["lastError"] = channel.LastError();
    if (!inv.json) {
        std::fprintf(inv.out, "result: %s\ncount: %u\n", Hex32(result).c_str(),
                     channel.RecordCount());
        PrintRecordsPlain(inv.out, records);
    }
    // A complete unicast scan ends with the time-out of its last silence.
    bool done = result == CMD_OK || result == CMD_TIMEOUT;
    return Finish(inv, report, done ? TOVCTL_DONE : TOVCTL_TRANSPORT_FAILED);
}

int RunReconfigure(const Invocation& inv) {
    Report report = Start(inv);
    CommandChannel channel;
    channel.SetTarget(Operand(inv));
    uint32_t result = channel.ReconfigureAppliance();
    report["address"] = Operand(inv);
    report["result"] = result;
    report["freeAddress"] = channel.FreeAddress();
    // The answer is parsed into the first free slot, without being counted.
    if (result == CMD_OK && channel.RecordCount() < RECORD_SLOTS &&
        !channel.Record(channel.RecordCount()).ipAddress.empty())
        report["record"] = RecordJson(channel.Record(channel.RecordCount()));
    if (channel.LastError() != 0)
        report["lastError"] = channel.LastError();
    if (!inv.json) {
        std::fprintf(inv.out, "result: %s\nfreeAddress: %s\n", Hex32(result).c_str(),
                     channel.FreeAddress().c_str());
        if (report.contains("record"))
            PrintRecordsPlain(inv.out, Report::array({report["record"]}));
        if (channel.LastError() != 0)
            std::fprintf(inv.out, "lastError: %s\n", Hex32(channel.LastError()).c_str());
    }
    return Finish(inv, report, result == CMD_OK ? TOVCTL_DONE : TOVCTL_TRANSPORT_FAILED);
}
