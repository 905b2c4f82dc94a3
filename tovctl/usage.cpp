// tovctl's usage text: the command lines of the table, the options and the exit statuses.
#include "tovctl/usage.h"

#include "tovctl/commands.h"

#include <algorithm>

namespace {

void AppendCommands(std::string* text, bool lab) {
    for (const TovctlCommand& c : TovctlCommands()) {
        if (c.lab != lab)
            continue;
        std::string line = "  ";
        line += c.synopsis;
        // a long command line gets its summary on the next line
        if (line.size() > 32)
            line += "\n";
        line.resize(line.back() == '\n' ? line.size() + 34 : 34, ' ');
        *text += line + c.summary + "\n";
    }
}

} // namespace

std::string UsageText() {
    std::string text =
        "Usage: tovctl [--json] COMMAND ADDRESS [FIELDS...]\n"
        "       tovctl [--json] LAB-COMMAND [OPERAND]\n"
        "       tovctl --help\n"
        "Runs one appliance command against ADDRESS (TCP port 4301) and prints the reply as\n"
        "\"key: value\" lines, or with --json as one line of JSON.\n"
        "\n";
    AppendCommands(&text, false);
    text += "\n"
            "In the network lab's client namespace only (they refuse anywhere else):\n";
    AppendCommands(&text, true);
    text += "\n"
            "Exit status:\n"
            "  0  the exchange happened (the reply's status is in the report)\n"
            "  1  it failed: a transport failure (time-out, socket error), for crat, shar,\n"
            "     pshr, frst, gub1, gps1 and gsp1 also a reply the command rejects, spvt data\n"
            "     over 4082 bytes, a probe that failed (2), a discover or reconfigure whose\n"
            "     result is not 0 (a unicast discover also ends well with 0xC0000001), a\n"
            "     doctor that found no drive this computer can use (or none at ADDRESS)\n"
            "  2  bad usage (unknown command, wrong number of fields, not an address)\n"
            "  3  a lab command refused outside the network lab\n";
    return text;
}
