// tovctl's appliance commands over CommandChannel, each with the report of what came back.
#include "tovctl/appliance_commands.h"

#include "protocol/channel.h"
#include "tovctl/hex.h"
#include "tovctl/report.h"
#include "tovctl/tovctl.h"

#include <cstdint>

namespace {

bool IsTransportCode(uint32_t code) { return code >= CMD_TIMEOUT && code <= CMD_STARTUP_FAILED; }

// A channel aimed at the invocation's appliance, and the report that starts with the command.
struct Exchange {
    explicit Exchange(const Invocation& inv) : inv(inv) {
        channel.SetTarget(inv.address);
        report["command"] = inv.word;
    }

    // Prints the report and gives the exit status.
    int Finish(bool failed) {
        if (channel.LastError() != 0)
            report["lastError"] = channel.LastError();
        if (inv.json)
            PrintJson(inv.out, report);
        else
            PrintPlain(inv.out, report);
        return failed ? TOVCTL_TRANSPORT_FAILED : TOVCTL_DONE;
    }

    // The commands that answer with a status: a reply the command rejects is a failure too.
    int FinishStatus(uint32_t rc, uint32_t status) {
        report["result"] = rc;
        if (rc == CMD_OK)
            report["status"] = status;
        return Finish(rc != CMD_OK);
    }

    const Invocation& inv;
    CommandChannel channel;
    Report report;
};

const std::string& Field(const Invocation& inv, size_t k) { return inv.operands[k]; }

} // namespace

bool CheckSpvt(const Invocation& inv) {
    std::string bytes;
    if (DecodeHex(Field(inv, 0), &bytes))
        return true;
    std::fprintf(inv.err, "tovctl: spvt takes its data as hex digits\n");
    return false;
}

int RunCrat(const Invocation& inv) {
    Exchange x(inv);
    uint32_t status = 0;
    uint32_t rc = x.channel.SendCrat(Field(inv, 0), Field(inv, 1), status);
    return x.FinishStatus(rc, status);
}

int RunShar(const Invocation& inv) {
    Exchange x(inv);
    uint32_t status = 0;
    uint32_t rc = x.channel.SendShar(Field(inv, 0), Field(inv, 1), Field(inv, 2), status);
    return x.FinishStatus(rc, status);
}

int RunPshr(const Invocation& inv) {
    Exchange x(inv);
    uint32_t status = 0;
    uint32_t rc = x.channel.SendPshr(Field(inv, 0), Field(inv, 1), Field(inv, 2), status);
    return x.FinishStatus(rc, status);
}

int RunFrst(const Invocation& inv) {
    Exchange x(inv);
    uint32_t status = 0;
    uint32_t rc = x.channel.SendFrst(status);
    return x.FinishStatus(rc, status);
}

int RunHost(const Invocation& inv) {
    Exchange x(inv);
    uint32_t rc = x.channel.SendHost(Field(inv, 0), Field(inv, 1), Field(inv, 2));
    x.report["result"] = rc;
    return x.Finish(IsTransportCode(rc));
}

int RunLsts(const Invocation& inv) {
    Exchange x(inv);
    uint32_t status = 0;
    uint32_t count = 0;
    std::string text = x.channel.SendLsts(status, count);
    x.report["result"] = status;
    if (status == CMD_OK) {
        x.report["count"] = count;
        x.report["text"] = Latin1ToUtf8(text);
    }
    return x.Finish(IsTransportCode(status));
}

int RunSpvt(const Invocation& inv) {
    Exchange x(inv);
    std::string data;
    DecodeHex(Field(inv, 0), &data);
    uint32_t rc = x.channel.SendSpvt(reinterpret_cast<const uint8_t*>(data.data()), data.size());
    if (rc == SPVT_TOO_LONG)
        x.report["result"] = -1;
    else
        x.report["result"] = rc;
    return x.Finish(rc == SPVT_TOO_LONG || IsTransportCode(rc));
}

int RunGub1(const Invocation& inv) {
    Exchange x(inv);
    StatusBlock block;
    uint32_t rc = x.channel.SendGub1(block);
    x.report["result"] = rc;
    if (rc == CMD_OK && block.bytes) {
        x.report["count"] = static_cast<uint32_t>(block.bytes[0] | block.bytes[1] << 8);
        x.report["block"] = EncodeHex(block.bytes.get(), block.size);
    }
    return x.Finish(rc != CMD_OK);
}

int RunGps1(const Invocation& inv) {
    Exchange x(inv);
    std::string name;
    uint32_t rc = x.channel.SendGps1(name);
    x.report["result"] = rc;
    if (rc == CMD_OK)
        x.report["name"] = Latin1ToUtf8(name);
    return x.Finish(rc != CMD_OK);
}

int RunGsp1(const Invocation& inv) {
    Exchange x(inv);
    int answer = x.channel.SendGsp1(Field(inv, 0));
    x.report["result"] = answer;
    x.report["answer"] = answer;
    return x.Finish(answer < 0);
}
