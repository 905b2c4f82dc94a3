// The table of tovctl's commands, in the order its usage text lists them.
#include "tovctl/commands.h"

#include "tovctl/appliance_commands.h"
#include "tovctl/doctor_command.h"
#include "tovctl/lab_commands.h"
#include "tovctl/status_command.h"

namespace {

std::vector<std::string> OperandTargets(const Invocation& inv) { return inv.operands; }

} // namespace

const std::vector<TovctlCommand>& TovctlCommands() {
    static const std::vector<TovctlCommand> table = {
        {"crat", false, 2, "crat ADDRESS NAME PASSWORD", "create an account", nullptr, RunCrat},
        {"shar", false, 3, "shar ADDRESS TEXT1 TEXT2 TEXT3",
         "create a share (the set-up sends NAME NAME \"\")", nullptr, RunShar},
        {"pshr", false, 3, "pshr ADDRESS TEXT1 TEXT2 TEXT3",
         "create a public share (the set-up sends guest NAME \"\")", nullptr, RunPshr},
        {"frst", false, 0, "frst ADDRESS", "the first-use status", nullptr, RunFrst},
        {"host", false, 3, "host ADDRESS TEXT2 TEXT3 TEXT4",
         "send this computer's clock and three texts", nullptr, RunHost},
        {"lsts", false, 0, "lsts ADDRESS", "list the accounts", nullptr, RunLsts},
        {"spvt", false, 1, "spvt ADDRESS HEX",
         "send a block of bytes, given as hex (at most 4082 bytes)", CheckSpvt, RunSpvt},
        {"gub1", false, 0, "gub1 ADDRESS", "the backup status block", nullptr, RunGub1},
        {"status", false, 0, "status ADDRESS",
         "the status view's table: users, space, last backup, totals", nullptr, RunStatus},
        {"gps1", false, 0, "gps1 ADDRESS", "the public share name", nullptr, RunGps1},
        {"gsp1", false, 1, "gsp1 ADDRESS NAME", "whether the account has a password (1) or not (2)",
         nullptr, RunGsp1},
        {"discover", true, 1, "discover 1|2",
         "scan this computer's first subnet (1) or by broadcast (2)", CheckDiscover, RunDiscover},
        {"probe", true, 1, "probe ADDRESS", "one echo probe: 0 no answer, 1 answered, 2 failed",
         nullptr, RunProbe, 0, OperandTargets},
        {"reconfigure", true, 1, "reconfigure ADDRESS",
         "give the appliance at ADDRESS a free address of this subnet", CheckReconfigure,
         RunReconfigure, 0, OperandTargets},
        {"adapters", true, 0, "adapters", "the adapter and gateway tables discovery loads", nullptr,
         RunAdapters},
        {"doctor", true, 0, "doctor [ADDRESS] [--fix] [--remembered ADDRESS]",
         "why no drive (or not the one at ADDRESS) is found, and what to do", CheckDoctor,
         RunDoctor, 4, DoctorTargets},
    };
    return table;
}

const TovctlCommand* FindCommand(const std::string& word) {
    for (const TovctlCommand& c : TovctlCommands())
        if (word == c.word)
            return &c;
    return nullptr;
}
