// Parses fault lines and turns them into what a connection sends.
#include "appliance/faults.h"

#include "appliance/request.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace appliance {

namespace {

bool HexToBytes(const std::string& hex, std::string* out) {
    if (hex.size() % 2 != 0)
        return false;
    out->clear();
    for (size_t i = 0; i < hex.size(); i += 2) {
        char* end = nullptr;
        std::string pair = hex.substr(i, 2);
        long v = std::strtol(pair.c_str(), &end, 16);
        if (*end != '\0')
            return false;
        out->push_back(static_cast<char>(v));
    }
    return true;
}

} // namespace

bool ParseFault(const std::string& line, Fault* fault, std::string* error) {
    std::istringstream in(line);
    std::string command, mode, argument;
    in >> command >> mode >> argument;
    if (command.empty() || mode.empty()) {
        *error = "a fault needs a command and a mode";
        return false;
    }
    Fault f;
    f.command = command;
    bool hasNumber = !argument.empty();
    uint64_t number = hasNumber ? std::strtoull(argument.c_str(), nullptr, 0) : 0;
    if (mode == "delay") {
        f.mode = FaultMode::Delay;
        f.number = hasNumber ? number : 1000;
    } else if (mode == "hold") {
        f.mode = FaultMode::Hold;
    } else if (mode == "drop") {
        f.mode = FaultMode::Drop;
    } else if (mode == "short") {
        f.mode = FaultMode::Short;
        f.number = hasNumber ? number : 2;
    } else if (mode == "long") {
        f.mode = FaultMode::Long;
        f.number = hasNumber ? number : 5000;
    } else if (mode == "erro") {
        f.mode = FaultMode::Erro;
        f.number = hasNumber ? number : 0xB0000001;
    } else if (mode == "garbage") {
        f.mode = FaultMode::Garbage;
        f.number = hasNumber ? number : 16;
    } else if (mode == "reply") {
        f.mode = FaultMode::Reply;
        if (!HexToBytes(argument, &f.bytes)) {
            *error = "the reply mode takes its bytes as hex";
            return false;
        }
    } else if (mode == "many") {
        f.mode = FaultMode::Many;
        f.number = hasNumber ? number : 300;
    } else if (mode == "twice") {
        f.mode = FaultMode::Twice;
    } else if (mode == "cased") {
        f.mode = FaultMode::Cased;
    } else if (mode == "value") {
        f.mode = FaultMode::Value;
        f.number = hasNumber ? number : 4;
    } else if (mode == "open") {
        f.mode = FaultMode::Open;
    } else {
        *error = "unknown fault mode \"" + mode + "\"";
        return false;
    }
    *fault = f;
    return true;
}

std::vector<Fault> LoadFaultFile(const std::string& path) {
    std::vector<Fault> faults;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        Fault f;
        std::string error;
        if (ParseFault(line, &f, &error))
            faults.push_back(f);
    }
    return faults;
}

Plan MakePlan(const std::vector<Fault>& faults, const std::string& command, std::string reply) {
    Plan plan;
    plan.reply = std::move(reply);
    uint32_t noise = 0x2545F491;
    for (const Fault& f : faults) {
        if (f.command != "*" && f.command != command)
            continue;
        switch (f.mode) {
        case FaultMode::Delay:
            plan.delayMs = f.number;
            break;
        case FaultMode::Hold:
            plan.hold = true;
            break;
        case FaultMode::Drop:
            plan.drop = true;
            break;
        case FaultMode::Short:
            if (plan.reply.size() > f.number)
                plan.reply.resize(static_cast<size_t>(f.number));
            plan.replaced = true;
            break;
        case FaultMode::Long:
            // Filler that no parser mistakes for a line end or a string end.
            if (plan.reply.size() < f.number)
                plan.reply.resize(static_cast<size_t>(f.number), 'x');
            plan.replaced = true;
            break;
        case FaultMode::Erro:
            plan.reply = "erro " + LE32(static_cast<uint32_t>(f.number)) + "\n";
            plan.replaced = true;
            break;
        case FaultMode::Garbage:
            plan.replaced = true;
            plan.reply.clear();
            for (uint64_t i = 0; i < f.number; ++i) {
                noise ^= noise << 13;
                noise ^= noise >> 17;
                noise ^= noise << 5;
                plan.reply.push_back(static_cast<char>(noise & 0xFF));
            }
            break;
        case FaultMode::Reply:
            plan.reply = f.bytes;
            plan.replaced = true;
            break;
        case FaultMode::Many:
            plan.many = f.number;
            break;
        case FaultMode::Twice:
            plan.twice = true;
            break;
        case FaultMode::Cased:
            plan.cased = true;
            break;
        case FaultMode::Value:
            plan.hasValue = true;
            plan.value = static_cast<uint32_t>(f.number);
            break;
        case FaultMode::Open:
            plan.open = true;
            break;
        }
    }
    return plan;
}

} // namespace appliance
