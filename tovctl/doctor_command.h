// tovctl doctor: the reachability doctor as a lab command, its options and its report.
#pragma once

#include "tovctl/commands.h"

#include <string>
#include <vector>

bool CheckDoctor(const Invocation& inv);
int RunDoctor(const Invocation& inv);
// The addresses the doctor probes besides its broadcasts: ADDRESS and the remembered one.
std::vector<std::string> DoctorTargets(const Invocation& inv);
