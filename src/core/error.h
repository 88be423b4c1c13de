#pragma once
// The one error type that handlers let escape to the top-level error report.
#include <stdexcept>
#include <string>

namespace zibbles {

class AppError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Fills the single "%s" of a message pattern, e.g. "Cannot create file %s".
std::string formatMessage(const std::string &pattern, const std::string &arg);

} // namespace zibbles
