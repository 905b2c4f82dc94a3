// tovapplianced: the stand-in for the appliance firmware, run in the foreground.
#include "appliance/faults.h"
#include "appliance/server.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char HELP[] =
    "Usage: tovapplianced [--listen ADDRESS] [--state DIR] [--ready-file PATH] [--name NAME]\n"
    "                     [--fault \"COMMAND MODE [ARGUMENT]\"]...\n"
    "\n"
    "Serves the appliance's command protocol on TCP port 4301 of ADDRESS (default 127.0.0.1):\n"
    "one request per connection, one reply, then the connection is closed.\n"
    "When ADDRESS is one of the network lab's (198.51.100.0/24, 203.0.113.0/24), it also\n"
    "answers discovery (\"dscr\") and reconfiguration (\"ipcf\") on UDP port 4301 of that\n"
    "address's interface, and TCP listens on every address of its namespace. Never elsewhere.\n"
    "\n"
    "  --listen ADDRESS    IPv4 address to listen on (default 127.0.0.1)\n"
    "  --name NAME         host name that discovery reports (default TOV- and the address's\n"
    "                      last two numbers, e.g. TOV-100-20)\n"
    "  --state DIR         state folder, created when missing (default ./appliance-state)\n"
    "  --ready-file PATH   written (with the process id) once the port is listening\n"
    "  --fault LINE        a fault line: COMMAND MODE [ARG], COMMAND a word or *; repeatable\n"
    "  --help              this text\n"
    "\n"
    "Fault modes (also read, one a line, from DIR/faults before every reply):\n"
    "  delay MS        wait MS milliseconds before replying (default 1000)\n"
    "  hold            keep the connection open after replying until the client closes it\n"
    "  drop            close the connection without replying\n"
    "  short N         send only the first N bytes of the reply (default 2)\n"
    "  long N          pad the reply with \"x\" to N bytes (default 5000)\n"
    "  erro CODE       reply \"erro\" with CODE (default 0xB0000001)\n"
    "  garbage N       send N pseudo-random bytes instead (default 16)\n"
    "  reply HEX       send exactly these bytes instead\n"
    "Discovery answers (\"dscr\") only:\n"
    "  many N          answer under N distinct host names NAME-0001... (default 300)\n"
    "  twice           send every answer twice\n"
    "  cased           also answer under the lower-cased host name\n"
    "  value V         give the \"dsrt\" line count V instead of 3 (default 4)\n"
    "  open            leave the third line without its final newline\n"
    "\"ipcf\" addressed to the current address takes the static address, mask and gateway on\n"
    "the interface (ip addr, ip route) and answers \"dsrt\" by broadcast to port 4302; the\n"
    "erro, garbage, reply and drop faults answer instead and change nothing.\n"
    "\n"
    "State folder (text files, fields separated by a tab, LF line ends):\n"
    "  accounts.tsv        name, password, has-password (1 or 0)\n"
    "  shares.tsv          share name, user, third field; each share is the folder shares/NAME\n"
    "  settings            key=value: public (public share name, default Public),\n"
    "                      frst (the \"frst\" status, default 0), capacity (GB, default 500)\n"
    "  backup-status.tsv   \"gub1\" records: used, unit (K/M/G), date (8 characters, a shorter\n"
    "                      one ends in zero bytes), state digit, user name; without it \"gub1\"\n"
    "                      reports each account with a share: the bytes below its share\n"
    "                      folders, and the newest shares/SHARE/*/*/backup-state.txt\n"
    "                      (\"MMDDYYYY<TAB>digit\" CR LF, left by the backup engine)\n"
    "  host                written by \"host\": clock, field2, field3, language\n"
    "  spvt.bin            the data of the latest \"spvt\"\n"
    "  journal             every request frame received, as hex, one a line\n"
    "  udp-journal         every datagram received: FROM:PORT DESTINATION HEX, one a line\n"
    "  address             the address \"ipcf\" gave, once it has\n"
    "  settings hostname=  and detail= override the discovery answer's name and third line\n"
    "\n"
    "Exit status: 0 stopped by SIGTERM or SIGINT, 2 bad usage, 3 address in use, 4 state "
    "folder unusable.\n";

} // namespace

int main(int argc, char** argv) {
    appliance::Options options;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](const char* name) -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "tovapplianced: %s needs a value\n", name);
                return nullptr;
            }
            return argv[++i];
        };
        if (a == "--help" || a == "-h") {
            std::fputs(HELP, stdout);
            return appliance::EXIT_OK;
        }
        bool takesValue = a == "--listen" || a == "--state" || a == "--ready-file" ||
                          a == "--fault" || a == "--name";
        if (!takesValue) {
            std::fprintf(stderr, "tovapplianced: unknown argument \"%s\"\n", a.c_str());
            std::fputs("Try tovapplianced --help\n", stderr);
            return appliance::EXIT_USAGE;
        }
        const char* v = value(a.c_str());
        if (!v)
            return appliance::EXIT_USAGE;
        if (a == "--listen") {
            options.listen = v;
        } else if (a == "--state") {
            options.state = v;
        } else if (a == "--ready-file") {
            options.readyFile = v;
        } else if (a == "--name") {
            options.name = v;
        } else {
            appliance::Fault f;
            std::string error;
            if (!appliance::ParseFault(v, &f, &error)) {
                std::fprintf(stderr, "tovapplianced: %s\n", error.c_str());
                return appliance::EXIT_USAGE;
            }
            options.faults.push_back(f);
        }
    }
    return appliance::Serve(options);
}
