// tovctl's command line: options, the command and its operands, checks, the lab guard, the run.
#include "tovctl/commands.h"
#include "tovctl/lab_guard.h"
#include "tovctl/tovctl.h"
#include "tovctl/usage.h"

#include "protocol/sockets.h"

int RunTovctl(const std::vector<std::string>& args, FILE* out, FILE* err) {
    Invocation inv;
    inv.out = out;
    inv.err = err;
    size_t at = 0;
    if (at < args.size() && args[at] == "--json") {
        inv.json = true;
        ++at;
    }
    if (at < args.size() && (args[at] == "--help" || args[at] == "-h")) {
        std::fputs(UsageText().c_str(), out);
        return TOVCTL_DONE;
    }
    const TovctlCommand* command = at < args.size() ? FindCommand(args[at]) : nullptr;
    if (!command && args.size() < at + 2) {
        std::fputs(UsageText().c_str(), err);
        return TOVCTL_USAGE;
    }
    if (!command) {
        std::fprintf(err, "tovctl: unknown command \"%s\"\n", args[at].c_str());
        return TOVCTL_USAGE;
    }
    inv.word = command->word;
    size_t first = at + 1;
    if (!command->lab) {
        if (args.size() < at + 2) {
            std::fputs(UsageText().c_str(), err);
            return TOVCTL_USAGE;
        }
        inv.address = args[at + 1];
        first = at + 2;
    }
    inv.operands.assign(args.begin() + static_cast<long>(first), args.end());
    if (inv.operands.size() < command->operands ||
        inv.operands.size() > command->operands + command->optionalOperands) {
        if (command->lab)
            std::fprintf(err, "tovctl: wrong number of operands for %s (see --help)\n",
                         command->word);
        else
            std::fprintf(err, "tovctl: %s takes %zu field(s), not %zu\n", command->word,
                         command->operands, inv.operands.size());
        return TOVCTL_USAGE;
    }
    if (!command->lab && ParseIPv4Address(inv.address.c_str()) == 0xFFFFFFFF) {
        std::fprintf(err, "tovctl: \"%s\" is not a dotted IPv4 address\n", inv.address.c_str());
        return TOVCTL_USAGE;
    }
    if (command->check && !command->check(inv))
        return TOVCTL_USAGE;
    if (command->lab) {
        // where a command's echoes and connections go; every lab command broadcasts too
        std::vector<std::string> targets;
        if (command->targets)
            targets = command->targets(inv);
        std::string why;
        if (!InsideNetworkLab(targets, &why)) {
            std::fprintf(err,
                         "tovctl: REFUSED: %s runs only inside the network lab's client namespace "
                         "(lab/net/exec-client): %s\n",
                         command->word, why.c_str());
            return TOVCTL_REFUSED;
        }
    }
    return command->run(inv);
}
