// tovctl's appliance commands: one command of the protocol over TCP to ADDRESS, and its reply.
#pragma once

#include "tovctl/commands.h"

bool CheckSpvt(const Invocation& inv);

int RunCrat(const Invocation& inv);
int RunShar(const Invocation& inv);
int RunPshr(const Invocation& inv);
int RunFrst(const Invocation& inv);
int RunHost(const Invocation& inv);
int RunLsts(const Invocation& inv);
int RunSpvt(const Invocation& inv);
int RunGub1(const Invocation& inv);
int RunGps1(const Invocation& inv);
int RunGsp1(const Invocation& inv);
