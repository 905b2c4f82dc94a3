// tovctl's command table: each command's word, operands, usage line and the function that runs it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// One command line, parsed.
struct Invocation {
    bool json = false;
    std::string word;
    // The appliance an appliance command talks to; empty for a lab command.
    std::string address;
    // An appliance command's fields after ADDRESS, or a lab command's operands.
    std::vector<std::string> operands;
    FILE* out = stdout;
    FILE* err = stderr;
};

struct TovctlCommand {
    const char* word;
    // Lab commands send discovery, broadcasts or ICMP: they take no ADDRESS and run only inside
    // the network lab.
    bool lab;
    size_t operands;
    const char* synopsis; // the command line after "tovctl", as the usage text shows it
    const char* summary;
    // Checks what the count cannot; prints why to inv.err and returns false. May be null.
    bool (*check)(const Invocation& inv);
    // Runs the command, prints its report and returns the exit status.
    int (*run)(const Invocation& inv);
    // Operands it may take beyond `operands` (options among them).
    size_t optionalOperands = 0;
    // A lab command's addresses besides its broadcasts (echo and TCP targets), which the lab
    // guard checks too. May be null.
    std::vector<std::string> (*targets)(const Invocation& inv) = nullptr;
};

const std::vector<TovctlCommand>& TovctlCommands();
// Null when no command has this word.
const TovctlCommand* FindCommand(const std::string& word);
