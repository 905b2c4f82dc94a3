// The reachability doctor's reasoning: the order of its measurements and the sentences it makes
// of them.
#include "tovctl/doctor.h"

#include "protocol/discovery_rules.h"

#include <cctype>
#include <cstdio>

namespace doctor {

namespace {

bool HasAddress(const Adapter& a) { return !a.address.empty() && a.address != "0.0.0.0"; }

// The subnet test of reachability: only adapters that have an address count (the Locate
// screen's own test lets an adapter without one match every address).
bool InSubnetOf(const Adapter& a, const std::string& address) {
    if (!HasAddress(a))
        return false;
    int own[4], mask[4], other[4];
    ReadOctets(a.address.c_str(), own);
    ReadOctets(a.mask.c_str(), mask);
    ReadOctets(address.c_str(), other);
    for (int k = 0; k < 4; ++k)
        if ((own[k] & mask[k]) != (other[k] & mask[k]))
            return false;
    return true;
}

std::string SubnetText(const Adapter& a) {
    int own[4], mask[4];
    ReadOctets(a.address.c_str(), own);
    ReadOctets(a.mask.c_str(), mask);
    char text[64];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d/%s", own[0] & mask[0], own[1] & mask[1],
                  own[2] & mask[2], own[3] & mask[3], a.mask.c_str());
    return text;
}

std::string Plural(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string DriveName(const Appliance& a) { return a.hostName + " at " + a.ipAddress; }

std::string Capitalized(std::string text) {
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

// What TCP port 4301 did, as the middle of a sentence about subject.
std::string TcpClause(const std::string& subject, const TcpCheck& tcp) {
    switch (tcp.state) {
    case Tcp::Answering:
        return subject + " answers on TCP port 4301";
    case Tcp::NotAppliance:
        return subject + " takes connections on TCP port 4301 but does not answer as a drive does";
    case Tcp::Refused:
        return subject + " refuses connections on TCP port 4301 (nothing listens there)";
    case Tcp::Silent:
        return subject + " takes the connection on TCP port 4301 but sent no answer within " +
               std::to_string(kTcpAnswerSeconds) + " seconds";
    case Tcp::Unreachable:
        break;
    }
    if (subject == "it")
        return "no connection could be made to its TCP port 4301";
    return "no connection could be made to TCP port 4301 of " + subject;
}

// What to do about a TCP port that does not answer, knowing what the echo probe did.
std::string TcpAdvice(const TcpCheck& tcp, int echo) {
    switch (tcp.state) {
    case Tcp::Answering:
        return "";
    case Tcp::NotAppliance:
        return " Another device may have this address.";
    case Tcp::Refused:
        return " The drive's command service is not running: switch the drive off and on again. "
               "If the address belongs to another device, find the drive with a scan.";
    case Tcp::Silent:
        return " The drive is busy or has hung: wait a minute, or switch it off and on again. A "
               "firewall that takes connections without passing them on looks the same.";
    case Tcp::Unreachable:
        break;
    }
    if (echo == kEchoAnswered)
        return " Something answers the echo probe there, so a firewall (on this computer or on "
               "the way) blocks TCP port 4301, or the address belongs to another device.";
    return " Nothing answers the echo probe there either: the drive is off, unplugged, or has "
           "another address now.";
}

std::string EchoClause(int echo) {
    if (echo == kEchoAnswered)
        return "it answers the echo probe";
    if (echo == kEchoNoAnswer)
        return "it does not answer the echo probe";
    return "the echo probe could not be sent";
}

class Doctor {
public:
    Doctor(Measurements& measure, const Request& request) : m_(measure), r_(request) {}

    Diagnosis Run() {
        Adapters();
        if (!d_.scanned)
            return d_;
        Scans();
        Drives();
        Address();
        Remembered();
        Fixes();
        NothingFound();
        Verdict();
        return d_;
    }

private:
    void Add(const char* id, Severity severity, const std::string& text) {
        d_.findings.push_back({id, severity, text});
    }

    std::vector<const Adapter*> Addressed() const {
        std::vector<const Adapter*> out;
        for (const Adapter& a : d_.adapters)
            if (HasAddress(a))
                out.push_back(&a);
        return out;
    }

    bool Local(const std::string& address) const {
        for (const Adapter& a : d_.adapters)
            if (InSubnetOf(a, address))
                return true;
        return false;
    }

    std::string OwnSubnets() const {
        std::string text;
        for (const Adapter* a : Addressed())
            text += (text.empty() ? "" : ", ") + SubnetText(*a);
        return text;
    }

    void Adapters() {
        d_.adapters = m_.Adapters();
        const std::vector<const Adapter*> own = Addressed();
        const size_t bare = d_.adapters.size() - own.size();
        if (own.empty()) {
            Add("no-ipv4-adapter", Severity::Problem,
                "This computer has no network adapter with an IPv4 address" +
                    std::string(bare
                                    ? " (" + Plural(bare, "adapter has", "adapters have") + " none)"
                                    : "") +
                    ", so it cannot look for a drive. Connect the network cable (or join the "
                    "wireless network), wait until the adapter has an address, and run the "
                    "doctor again.");
            return;
        }
        d_.scanned = true;
        std::string list;
        for (const Adapter* a : own)
            list += (list.empty() ? "" : ", ") + a->address + " (mask " + a->mask + ")";
        const std::string without = bare ? "; " + Plural(bare, "adapter has", "adapters have") +
                                               " no address and takes no part"
                                         : "";
        if (own.size() == 1)
            Add("adapters", Severity::Info,
                "This computer's adapter " + list + " is the one the scans use" + without + ".");
        else
            Add("several-adapters", Severity::Info,
                "This computer has " + std::to_string(own.size()) +
                    " adapters with an address: " + list + without +
                    ". The unicast scan asks only the first one's subnet (" + SubnetText(*own[0]) +
                    "): a drive in another adapter's subnet is found only by the broadcast scan, "
                    "and a reconfiguration gives a drive an address in the last subnet that has "
                    "a free one.");
        for (const Adapter* a : own)
            if (IsSelfAssigned(a->address))
                Add("self-assigned-address", Severity::Problem,
                    "The adapter " + a->address +
                        " has a self-assigned address (169.254.x.x): it found no DHCP server "
                        "(usually the router) on its network. A drive is reachable through it "
                        "only if the drive gave itself such an address too. Check the cable to "
                        "the router and that the router is on, then renew the address (or "
                        "restart this computer).");
    }

    static std::string FoundList(const Scan& scan) {
        if (scan.found.empty())
            return "found no drive";
        std::string list;
        for (const Appliance& a : scan.found)
            list += (list.empty() ? "" : ", ") + DriveName(a);
        return "found " + Plural(scan.found.size(), "drive", "drives") + ": " + list;
    }

    void Scans() {
        d_.unicast = m_.Discover(SCAN_UNICAST);
        d_.broadcast = m_.Discover(SCAN_BROADCAST);
        const Adapter& first = *Addressed()[0];
        Add("unicast-scan", Severity::Info,
            "The unicast scan (to " +
                DirectedBroadcastText(first.address.c_str(), first.mask.c_str()) +
                ", the subnet of " + first.address + ") " + FoundList(d_.unicast) + ".");
        Add("broadcast-scan", Severity::Info,
            "The broadcast scan (to 255.255.255.255, answers on UDP port 4302) " +
                FoundList(d_.broadcast) + ".");
        for (const Appliance& a : d_.unicast.found)
            Take(a, true);
        for (const Appliance& a : d_.broadcast.found)
            Take(a, false);
    }

    void Take(const Appliance& a, bool unicast) {
        for (Drive& d : d_.drives)
            if (d.appliance.hostName == a.hostName) {
                (unicast ? d.unicast : d.broadcast) = true;
                return;
            }
        Drive d;
        d.appliance = a;
        (unicast ? d.unicast : d.broadcast) = true;
        d.localSubnet = Local(a.ipAddress);
        d_.drives.push_back(d);
    }

    // A drive this computer cannot reach without a reconfiguration.
    static bool Foreign(const Drive& d) { return !d.localSubnet; }

    std::string Reachable() const {
        for (const Drive& d : d_.drives)
            if (d.localSubnet && d.unicast)
                return d.appliance.hostName;
        return "";
    }

    void SearchFree() {
        if (d_.searchedFree)
            return;
        d_.searchedFree = true;
        d_.free = m_.FindFree();
    }

    std::string FreeSentence(bool first) {
        SearchFree();
        const int k = d_.free.adapter;
        if (k < 0 || static_cast<size_t>(k) >= d_.adapters.size())
            return " A reconfiguration would fail: no free address was found (every address from "
                   ".250 down to .2 of this computer's subnets answered the echo probe).";
        const Adapter& a = d_.adapters[static_cast<size_t>(k)];
        const std::string address =
            first ? d_.free.address + " (the highest address of that subnet that no echo answered)"
                  : "that its own search finds after " + d_.free.address;
        return " A reconfiguration, as the Locate screen does it, would send it \"ipcf\" with the "
               "static address " +
               address + ", mask " + a.mask + " and gateway " + a.gateway + ", then scan again." +
               (r_.fix ? "" : " \"tovctl doctor --fix\" does it now.");
    }

    void DriveFinding(const std::string& name, const Check& c) {
        if (c.tcp.state == Tcp::Answering)
            Add("drive-answering", Severity::Info,
                TcpClause(name, c.tcp) + ": this computer can use it.");
        else
            Add("drive-not-answering", Severity::Problem,
                name + " answers the scans. " + Capitalized(TcpClause("it", c.tcp)) + "." +
                    TcpAdvice(c.tcp, c.echo));
    }

    void Drives() {
        const std::string reachable = Reachable();
        bool firstForeign = true;
        size_t checks = 0;
        for (Drive& d : d_.drives) {
            const std::string name = DriveName(d.appliance);
            if (Foreign(d)) {
                Add("foreign-subnet", Severity::Problem,
                    name + " answers the " + (d.unicast ? "unicast" : "broadcast") +
                        " scan but lies outside this computer's subnets (" + OwnSubnets() +
                        "), so this computer cannot reach it." + FreeSentence(firstForeign));
                firstForeign = false;
            } else if (!d.unicast) {
                Add("other-adapter-subnet", Severity::Info,
                    name + " answers the broadcast scan only: it lies in the subnet of another of "
                           "this computer's adapters than the first, which the unicast scan asks.");
            }
            if (!d.unicast && !reachable.empty())
                Add("hidden-by-unicast", Severity::Problem,
                    "The Locate screen scans by broadcast only when the unicast scan finds "
                    "nothing: while " +
                        reachable + " answers, it neither lists " + d.appliance.hostName +
                        " nor reconfigures it.");
            if (d.localSubnet && checks < kCheckedDrives) {
                ++checks;
                d.checked = true;
                d.check = Look(d.appliance.ipAddress);
                DriveFinding(name, d.check);
            }
        }
    }

    Check Look(const std::string& address) {
        Check c;
        c.address = address;
        c.echo = m_.Echo(address);
        c.tcp = m_.CheckTcp(address);
        return c;
    }

    const Drive* DriveAt(const std::string& address) const {
        for (const Drive& d : d_.drives)
            if (d.appliance.ipAddress == address)
                return &d;
        return nullptr;
    }

    void Address() {
        if (r_.address.empty())
            return;
        const Drive* drive = DriveAt(r_.address);
        if (drive && !drive->localSubnet)
            return; // said with the drive, and with its fix
        if (drive && !drive->checked) {
            // beyond the drives checked by themselves
            d_.checkedAddress = true;
            d_.address = Look(r_.address);
            DriveFinding(DriveName(drive->appliance), d_.address);
            return;
        }
        if (drive) {
            d_.checkedAddress = true;
            d_.address = drive->check;
            return; // said with the drive
        }
        d_.checkedAddress = true;
        d_.address = Look(r_.address);
        const Check& c = d_.address;
        const std::string where =
            Local(r_.address) ? ""
                              : " It lies outside this computer's subnets (" + OwnSubnets() +
                                    "); only a router could pass the connection on.";
        if (c.tcp.state == Tcp::Answering)
            Add("address-not-scanned", Severity::Problem,
                TcpClause("The drive at " + r_.address, c.tcp) +
                    ", but neither scan found it: a firewall on this computer blocks the scans "
                    "(UDP port 4301 out, UDP port 4302 in), or the drive is behind a router." +
                    where);
        else
            Add("address-not-answering", Severity::Problem,
                "Neither scan found a drive at " + r_.address + ", " + EchoClause(c.echo) +
                    ", and " + TcpClause("it", c.tcp) + "." + TcpAdvice(c.tcp, c.echo) + where);
    }

    void Remembered() {
        if (r_.remembered.empty())
            return;
        d_.checkedRemembered = true;
        const Drive* drive = DriveAt(r_.remembered);
        if (drive && drive->checked) {
            d_.remembered = drive->check;
        } else if (!r_.address.empty() && r_.address == r_.remembered && d_.checkedAddress) {
            d_.remembered = d_.address;
        } else {
            d_.remembered = Look(r_.remembered);
        }
        const Check& c = d_.remembered;
        const std::string label =
            "the remembered drive address " + r_.remembered + " (\"CurrentIP\")";
        const bool echo = c.echo == kEchoAnswered;
        const bool tcp = c.tcp.state == Tcp::Answering;
        if (echo && tcp) {
            Add("remembered-answers", Severity::Info,
                "The remembered drive address " + r_.remembered +
                    " (\"CurrentIP\") answers the echo probe and on TCP port 4301: the program "
                    "goes straight to that drive when it starts.");
        } else if (echo) {
            Add("remembered-taken", Severity::Problem,
                "Something answers the echo probe at " + label + ", but " + TcpClause("it", c.tcp) +
                    ". When it starts, the program takes that answer for the drive, skips the "
                    "Locate screen and then cannot reach it: another device may have this "
                    "address now." +
                    TcpAdvice(c.tcp, c.echo));
        } else if (tcp) {
            Add("remembered-no-echo", Severity::Problem,
                "The drive at " + label +
                    " answers on TCP port 4301 but not the echo probe. The program asks that "
                    "probe when it starts, so it scans every time instead of going straight to "
                    "the drive: a firewall on the way drops echo requests.");
        } else {
            Add("remembered-gone", Severity::Problem,
                "The remembered drive address " + r_.remembered +
                    " (\"CurrentIP\") no longer answers: " + EchoClause(c.echo) + ", and " +
                    TcpClause("it", c.tcp) +
                    ". When it starts, the program opens the Locate screen and scans." + Moved());
        }
    }

    // Where the remembered drive answers now, by its remembered name.
    std::string Moved() const {
        if (r_.rememberedName.empty())
            return "";
        for (const Drive& d : d_.drives)
            if (SameNameIgnoringCase(d.appliance.hostName, r_.rememberedName) &&
                d.appliance.ipAddress != r_.remembered)
                return " The remembered drive " + r_.rememberedName + " (\"CurrentHostName\") " +
                       "now answers at " + d.appliance.ipAddress +
                       ": choosing it on the Locate screen remembers its new address.";
        return " No scan found a drive named " + r_.rememberedName + " (\"CurrentHostName\").";
    }

    void Fixes() {
        if (!r_.fix)
            return;
        std::vector<const Drive*> todo;
        for (const Drive& d : d_.drives)
            if (Foreign(d) && (r_.address.empty() || d.appliance.ipAddress == r_.address))
                todo.push_back(&d);
        if (todo.empty()) {
            Add("nothing-to-fix", Severity::Info,
                "No drive needs a reconfiguration: --fix changed nothing.");
            return;
        }
        for (const Drive* d : todo) {
            Fix f;
            f.hostName = d->appliance.hostName;
            f.from = d->appliance.ipAddress;
            f.outcome = m_.Reconfigure(f.from);
            d_.fixes.push_back(f);
        }
        bool any = false;
        for (const Fix& f : d_.fixes)
            any = any || f.outcome.result == 0;
        Scan rescan;
        if (any) {
            m_.Settle();
            rescan = m_.Discover(SCAN_UNICAST);
        }
        for (Fix& f : d_.fixes) {
            const std::string name = f.hostName + " at " + f.from;
            if (f.outcome.result != 0) {
                Add("fix-failed", Severity::Problem,
                    "Reconfiguring " + name + " failed: " + FixFailure(f.outcome) + ".");
                continue;
            }
            for (const Appliance& a : rescan.found)
                f.rescanFound = f.rescanFound ||
                                (a.hostName == f.hostName && a.ipAddress == f.outcome.newAddress);
            if (f.rescanFound) {
                f.checked = true;
                f.tcp = m_.CheckTcp(f.outcome.newAddress);
            }
            if (f.rescanFound && f.tcp.state == Tcp::Answering)
                Add("fixed", Severity::Info,
                    name + " was given the address " + f.outcome.newAddress +
                        " and now answers there on TCP port 4301: this computer can use it.");
            else
                Add("fix-unconfirmed", Severity::Problem,
                    name + " was sent the address " + f.outcome.newAddress + ", but " +
                        (f.rescanFound ? TcpClause("it", f.tcp)
                                       : std::string("the unicast scan after it did not find "
                                                     "the drive there")) +
                        ". Wait a minute and run the doctor again.");
        }
    }

    static std::string FixFailure(const FixResult& f) {
        if (f.result == CMD_NO_ADAPTER)
            return "no free address was found in this computer's subnets";
        if (f.result == CMD_SOCKET_ERROR)
            return "the request could not be sent (socket error " + std::to_string(f.lastError) +
                   ")";
        if (f.result == 1)
            return "the drive answered with the error " + Hex(f.lastError);
        return "the result was " + Hex(f.result);
    }

    void NothingFound() {
        if (!d_.drives.empty())
            return;
        if (d_.checkedAddress && d_.address.tcp.state == Tcp::Answering)
            return;
        Add("nothing-found", Severity::Problem,
            "Neither scan found a drive. The likeliest causes come first:");
        Add("advice-cabling", Severity::Advice,
            "Cabling: check that the drive's network cable is plugged in at both ends (the drive "
            "and the router or switch) and that the lights beside both sockets are on; try "
            "another cable or another socket of the router.");
        Add("advice-power", Severity::Advice,
            "Power: check that the drive is switched on and its power light is steady; after "
            "switching it on, wait two minutes before scanning again.");
        Add("advice-firewall", Severity::Advice,
            "Firewall: a firewall or anti-virus program on this computer may block the scans. "
            "Allow UDP port 4301 out, UDP port 4302 in and TCP port 4301 out for tovManager.exe, "
            "or switch it off for a moment and scan again.");
    }

    void Verdict() {
        bool reachable = false;
        for (const Drive& d : d_.drives)
            reachable = reachable || (d.checked && d.check.tcp.state == Tcp::Answering);
        bool fixed = false;
        bool addressFixed = false;
        for (const Fix& f : d_.fixes)
            if (f.checked && f.tcp.state == Tcp::Answering) {
                fixed = true;
                addressFixed = addressFixed || f.from == r_.address;
            }
        if (r_.address.empty())
            d_.healthy = reachable || fixed;
        else
            d_.healthy =
                addressFixed || (d_.checkedAddress && d_.address.tcp.state == Tcp::Answering);
    }

    Measurements& m_;
    const Request& r_;
    Diagnosis d_;
};

} // namespace

Diagnosis Diagnose(Measurements& measure, const Request& request) {
    return Doctor(measure, request).Run();
}

const char* TcpName(Tcp state) {
    switch (state) {
    case Tcp::Answering:
        return "answering";
    case Tcp::NotAppliance:
        return "not-a-drive";
    case Tcp::Refused:
        return "refused";
    case Tcp::Silent:
        return "silent";
    case Tcp::Unreachable:
        break;
    }
    return "unreachable";
}

const char* SeverityName(Severity severity) {
    switch (severity) {
    case Severity::Info:
        return "info";
    case Severity::Problem:
        return "problem";
    case Severity::Advice:
        break;
    }
    return "advice";
}

bool IsSelfAssigned(const std::string& address) { return address.compare(0, 8, "169.254.") == 0; }

} // namespace doctor
