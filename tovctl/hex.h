// Hex texts of tovctl: "spvt" data in, "gub1" blocks and 32-bit codes out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Hex text to bytes; false when the text is not an even run of hex digits.
bool DecodeHex(const std::string& hex, std::string* bytes);
// Lower-case hex, two digits a byte.
std::string EncodeHex(const unsigned char* bytes, size_t size);
// "0x" and eight upper-case digits, as codes are written in the log and the docs.
std::string Hex32(uint32_t value);
