// tovctl doctor [ADDRESS] [--fix] [--remembered ADDRESS]: the reachability doctor's findings as
// sentences or, with --json, as fields.
#include "tovctl/doctor_command.h"

#include "protocol/sockets.h"
#include "tovctl/doctor.h"
#include "tovctl/doctor_measure.h"
#include "tovctl/report.h"
#include "tovctl/tovctl.h"

namespace {

struct DoctorOptions {
    doctor::Request request;
    std::string error; // why the operands are wrong; empty when they are fine
};

bool IsAddress(const std::string& text) {
    return ParseIPv4Address(text.c_str()) != 0xFFFFFFFF && text != "255.255.255.255";
}

DoctorOptions ParseOptions(const Invocation& inv) {
    DoctorOptions o;
    const std::vector<std::string>& ops = inv.operands;
    bool remembered = false;
    for (size_t i = 0; i < ops.size() && o.error.empty(); ++i) {
        if (ops[i] == "--fix") {
            o.request.fix = true;
        } else if (ops[i] == "--remembered") {
            if (i + 1 >= ops.size() || !IsAddress(ops[i + 1]))
                o.error = "--remembered takes a dotted IPv4 address";
            else
                o.request.remembered = ops[++i];
            remembered = true;
        } else if (!IsAddress(ops[i])) {
            o.error = "\"" + ops[i] + "\" is not a dotted IPv4 address";
        } else if (!o.request.address.empty()) {
            o.error = "doctor takes one ADDRESS";
        } else {
            o.request.address = ops[i];
        }
    }
    // without --remembered, the drive this computer's program remembers, where it keeps one
    if (!remembered)
        doctor::RememberedAppliance(&o.request.remembered, &o.request.rememberedName);
    return o;
}

Report ApplianceJson(const doctor::Appliance& a) {
    Report j;
    j["hostName"] = Latin1ToUtf8(a.hostName);
    j["ipAddress"] = Latin1ToUtf8(a.ipAddress);
    j["detail"] = Latin1ToUtf8(a.detail);
    return j;
}

Report ScanJson(const doctor::Scan& scan) {
    Report j;
    j["result"] = scan.result;
    Report found = Report::array();
    for (const doctor::Appliance& a : scan.found)
        found.push_back(ApplianceJson(a));
    j["found"] = found;
    return j;
}

Report TcpJson(const doctor::TcpCheck& tcp) {
    Report j;
    j["state"] = doctor::TcpName(tcp.state);
    j["result"] = tcp.result;
    if (tcp.lastError != 0)
        j["lastError"] = tcp.lastError;
    return j;
}

Report CheckJson(const doctor::Check& c) {
    Report j;
    j["address"] = c.address;
    j["echo"] = c.echo;
    j["tcp"] = TcpJson(c.tcp);
    return j;
}

Report DiagnosisJson(const doctor::Diagnosis& d) {
    Report j;
    j["command"] = "doctor";
    j["healthy"] = d.healthy;
    Report adapters = Report::array();
    for (const doctor::Adapter& a : d.adapters)
        adapters.push_back({{"address", a.address}, {"mask", a.mask}, {"gateway", a.gateway}});
    j["adapters"] = adapters;
    if (d.scanned) {
        j["unicast"] = ScanJson(d.unicast);
        j["broadcast"] = ScanJson(d.broadcast);
    }
    Report drives = Report::array();
    for (const doctor::Drive& drive : d.drives) {
        Report x = ApplianceJson(drive.appliance);
        x["unicast"] = drive.unicast;
        x["broadcast"] = drive.broadcast;
        x["localSubnet"] = drive.localSubnet;
        if (drive.checked) {
            x["echo"] = drive.check.echo;
            x["tcp"] = TcpJson(drive.check.tcp);
        }
        drives.push_back(x);
    }
    j["drives"] = drives;
    if (d.searchedFree) {
        Report free;
        free["address"] = d.free.address;
        free["adapter"] = d.free.adapter;
        if (d.free.adapter >= 0 && static_cast<size_t>(d.free.adapter) < d.adapters.size()) {
            free["mask"] = d.adapters[static_cast<size_t>(d.free.adapter)].mask;
            free["gateway"] = d.adapters[static_cast<size_t>(d.free.adapter)].gateway;
        }
        j["freeAddress"] = free;
    }
    if (d.checkedAddress)
        j["address"] = CheckJson(d.address);
    if (d.checkedRemembered)
        j["remembered"] = CheckJson(d.remembered);
    if (!d.fixes.empty()) {
        Report fixes = Report::array();
        for (const doctor::Fix& f : d.fixes) {
            Report x;
            x["hostName"] = Latin1ToUtf8(f.hostName);
            x["from"] = f.from;
            x["result"] = f.outcome.result;
            x["newAddress"] = f.outcome.newAddress;
            if (f.outcome.lastError != 0)
                x["lastError"] = f.outcome.lastError;
            x["rescanFound"] = f.rescanFound;
            if (f.checked)
                x["tcp"] = TcpJson(f.tcp);
            fixes.push_back(x);
        }
        j["fixes"] = fixes;
    }
    Report findings = Report::array();
    for (const doctor::Finding& f : d.findings)
        findings.push_back({{"finding", f.id},
                            {"severity", doctor::SeverityName(f.severity)},
                            {"text", Latin1ToUtf8(f.text)}});
    j["findings"] = findings;
    return j;
}

// One finding as a paragraph: its mark, then the text wrapped under it.
void PrintParagraph(FILE* out, const std::string& mark, const std::string& text) {
    const size_t width = 79;
    std::string line = mark;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(' ', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(at, end - at);
        if (line.size() > mark.size() && line.size() + 1 + word.size() > width) {
            std::fprintf(out, "%s\n", line.c_str());
            line = std::string(mark.size(), ' ');
        } else if (line.size() > mark.size()) {
            line += ' ';
        }
        line += word;
        at = end + 1;
    }
    std::fprintf(out, "%s\n", line.c_str());
}

void PrintDiagnosis(FILE* out, const doctor::Diagnosis& d) {
    int advice = 0;
    for (const doctor::Finding& f : d.findings) {
        if (f.severity == doctor::Severity::Advice)
            PrintParagraph(out, "   " + std::to_string(++advice) + ". ", f.text);
        else
            PrintParagraph(out, f.severity == doctor::Severity::Problem ? "!  " : "   ", f.text);
    }
    std::fprintf(out, "%s\n",
                 d.healthy ? "Result: this computer can use the drive."
                           : "Result: this computer has no drive it can use yet.");
}

} // namespace

bool CheckDoctor(const Invocation& inv) {
    DoctorOptions o = ParseOptions(inv);
    if (o.error.empty())
        return true;
    std::fprintf(inv.err, "tovctl: %s\n", o.error.c_str());
    return false;
}

std::vector<std::string> DoctorTargets(const Invocation& inv) {
    DoctorOptions o = ParseOptions(inv);
    std::vector<std::string> targets;
    for (const std::string& t : {o.request.address, o.request.remembered})
        if (!t.empty())
            targets.push_back(t);
    return targets;
}

int RunDoctor(const Invocation& inv) {
    DoctorOptions o = ParseOptions(inv);
    doctor::NetworkMeasurements measure;
    const doctor::Diagnosis d = doctor::Diagnose(measure, o.request);
    if (inv.json)
        PrintJson(inv.out, DiagnosisJson(d));
    else
        PrintDiagnosis(inv.out, d);
    return d.healthy ? TOVCTL_DONE : TOVCTL_TRANSPORT_FAILED;
}
