// tovctl status: every user's space, last backup and state in the status view's order, then the
// totals and the free space, as text or as JSON fields.
#include "tovctl/status_command.h"

#include "backup/status_table.h"
#include "protocol/channel.h"
#include "tovctl/report.h"
#include "tovctl/tovctl.h"

namespace {

// The status view's English texts, for a tool without the string table.
const char* StateWord(char state) {
    switch (backup::StateStringId(state)) {
    case backup::STR_STATUS_COMPLETE:
        return "Complete";
    case backup::STR_STATUS_INCOMPLETE:
        return "Incomplete";
    case backup::STR_STATUS_FAILED:
        return "Failed";
    default:
        return "";
    }
}

const char kFreeSpace[] = "%1 GBs free space";
const char kNotFound[] = "Backup status not found.";
const char kNoUser[] = "No defined user";

void PrintRow(FILE* out, const std::string& name, const std::string& space, const std::string& date,
              const std::string& status) {
    std::fprintf(out, "%-34s %-11s %-12s %s\n", name.c_str(), space.c_str(), date.c_str(),
                 status.c_str());
}

} // namespace

int RunStatus(const Invocation& inv) {
    FILE* out = inv.out;
    CommandChannel channel;
    channel.SetTarget(inv.address);
    StatusBlock block;
    const uint32_t result = channel.SendGub1(block);
    backup::StatusList list;
    const bool found = backup::ReadStatusBlock(block.bytes.get(), block.size, &list);
    backup::SortByName(list.users);
    const backup::StatusTotals totals = backup::ComputeTotals(list);
    const std::string freeText =
        totals.freeShown ? backup::FillPercentOne(kFreeSpace, totals.freeNumber) : "";

    if (inv.json) {
        Report report;
        report["command"] = "status";
        report["address"] = inv.address;
        report["result"] = result;
        report["found"] = found;
        if (found) {
            report["capacity"] = list.capacity;
            Report users = Report::array();
            for (const backup::UserStatus& u : list.users) {
                const std::string date = backup::DateText(u);
                Report user;
                user["name"] = Latin1ToUtf8(u.name);
                user["used"] = u.used;
                user["unit"] = u.unit ? std::string(1, u.unit) : std::string();
                user["space"] = backup::SpaceText(u);
                user["date"] = date;
                user["state"] = u.state ? std::string(1, u.state) : std::string();
                user["status"] = date.empty() ? "" : StateWord(u.state);
                users.push_back(user);
            }
            report["users"] = users;
            Report t;
            t["megabytes"] = totals.megabytes;
            t["kilobytes"] = totals.kilobytes;
            t["used"] = totals.used;
            if (totals.freeShown) {
                t["freeGigabytes"] = totals.freeGigabytes;
                t["free"] = freeText;
                t["low"] = totals.low;
            }
            report["totals"] = t;
        }
        if (channel.LastError() != 0)
            report["lastError"] = channel.LastError();
        PrintJson(out, report);
    } else if (!found) {
        if (result != CMD_OK)
            std::fprintf(out, "result: 0x%08X\n", result);
        std::fprintf(out, "%s\n", kNotFound);
    } else {
        PrintRow(out, "User(s)", "Space Used", "Last Backup", "Backup Status");
        if (list.users.empty())
            PrintRow(out, kNoUser, "", "", "");
        for (const backup::UserStatus& u : list.users) {
            const std::string date = backup::DateText(u);
            PrintRow(out, u.name, backup::SpaceText(u), date,
                     date.empty() ? "" : StateWord(u.state));
        }
        if (totals.shown)
            PrintRow(out, "", totals.used, freeText, "");
    }
    return result == CMD_OK ? TOVCTL_DONE : TOVCTL_TRANSPORT_FAILED;
}
