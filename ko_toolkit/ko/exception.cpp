#include "ko/exception.h"

#include <iostream>

namespace ko {

exception::exception(const std::string& message) : message(message)
{
    std::cerr << this->message << std::endl;
    std::cerr.flush();
}

const char* exception::what() const noexcept
{
    return message.c_str();
}

} // namespace ko
