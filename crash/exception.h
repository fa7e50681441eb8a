#pragma once
// The program's base exception class: every failure that is not a window-system or registry
// failure raises one of these, and it ends in the crash reporter.
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
  public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};
