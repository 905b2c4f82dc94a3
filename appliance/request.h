// Reads an appliance request from the bytes of a connection, independently of the client's code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace appliance {

struct Request {
    std::string word;
    std::vector<std::string> fields; // numeric fields are kept as their raw 4 bytes
};

enum class ParseOutcome { NeedMore, Complete, Invalid };

// Tries to read one request from the start of data; on Complete *used counts its bytes.
ParseOutcome ParseRequest(const uint8_t* data, size_t size, Request* request, size_t* used);

uint32_t ReadLE32(const std::string& four);
std::string LE32(uint32_t value);

} // namespace appliance
