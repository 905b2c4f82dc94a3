// tovctl's usage text, made from its command table so that it names every command.
#pragma once

#include <string>

std::string UsageText();
