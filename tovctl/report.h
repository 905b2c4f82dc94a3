// What a tovctl command prints: one report, as JSON or as plain "key: value" lines.
#pragma once

#include "protocol/channel.h"

#include <nlohmann/json.hpp>

#include <string>

using Report = nlohmann::ordered_json;

// The reply texts are single-byte and may hold any byte; JSON strings must be UTF-8, so each
// byte above 0x7F becomes the character of the same number.
std::string Latin1ToUtf8(const std::string& text);

// hostName, ipAddress and detail of one appliance.
Report RecordJson(const ApplianceRecord& record);

// Every key but "command" as "key: value"; numbers above 0xFFFF in hex, texts with line breaks
// on lines of their own.
void PrintPlain(FILE* out, const Report& report);
// One line per appliance: host name, address, detail.
void PrintRecordsPlain(FILE* out, const Report& records);
// The report as one line of JSON.
void PrintJson(FILE* out, const Report& report);
