// tovctl status: the table the status view shows, from the same "gub1" block and code.
#pragma once

#include "tovctl/commands.h"

int RunStatus(const Invocation& inv);
