#pragma once
// Small text helpers shared by every subsystem.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The whole text must be a signed 32-bit decimal number: an optional '-' and digits, nothing else
// (no blanks, no '+', no trailing characters, no overflow).
std::optional<int32_t> ParseInt32(std::string_view text);

// Nearest integer, exact halves to the even neighbour.
int64_t RoundEven(double value);

// Exactly 8 uppercase hexadecimal digits.
std::string Hex8(uint32_t value);
