// tovctl: runs one appliance command from the command line and prints what came back.
#include "tovctl/tovctl.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunTovctl(args, stdout, stderr);
}
