#pragma once
// The toolkit's one exception type: it marks a programming error. The
// message is written to standard error when the exception is made.

#include <exception>
#include <string>

namespace ko {

class exception : public std::exception {
public:
    explicit exception(const std::string& message);
    const char* what() const noexcept override;

private:
    std::string message;
};

} // namespace ko
