#pragma once
// Text helpers for tests.
#include <string>
#include <vector>

namespace testing_support {

// The lines of a CR LF text; the part after the last CR LF is the last line (empty when the
// text ends in CR LF).
inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

} // namespace testing_support
