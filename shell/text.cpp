#include "shell/text.h"

#include <charconv>
#include <cmath>

std::optional<int32_t> ParseInt32(std::string_view text) {
    int32_t value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || text.empty())
        return std::nullopt;
    return value;
}

int64_t RoundEven(double value) {
    // The default floating-point environment rounds to nearest, ties to even.
    return static_cast<int64_t>(std::nearbyint(value));
}

std::string Hex8(uint32_t value) {
    static const char Digits[] = "0123456789ABCDEF";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4)
        text[i] = Digits[value & 15];
    return text;
}
