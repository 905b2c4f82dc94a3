// tovctl's lab commands: discovery, echo probes, reconfiguration and the adapter tables, which
// run only inside the network lab (the caller checks it first).
#pragma once

#include "tovctl/commands.h"

bool CheckDiscover(const Invocation& inv);
bool CheckReconfigure(const Invocation& inv);

int RunDiscover(const Invocation& inv);
int RunProbe(const Invocation& inv);
int RunReconfigure(const Invocation& inv);
int RunAdapters(const Invocation& inv);
