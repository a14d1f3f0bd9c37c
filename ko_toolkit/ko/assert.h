#pragma once
// The toolkit's assertion: a failed check throws a std::string of the form
//   assert "<condition>" failed at <file>:<line> in <function>\n
// KO_ASSERT_LOG is for places where throwing would end the process from
// inside Qt (paint and event handlers): it writes the same text to the log
// as a critical message and yields false, so the caller can skip its work.

#include <string>

namespace ko {

std::string assertion_text(const char* condition, const char* file, int line, const char* function);
void log_assertion(const char* condition, const char* file, int line, const char* function);

} // namespace ko

#define KO_ASSERT(condition)                                                                  \
    do {                                                                                      \
        if (!(condition))                                                                     \
            throw ::ko::assertion_text(#condition, __FILE__, __LINE__, __PRETTY_FUNCTION__);  \
    } while (false)

#define KO_ASSERT_LOG(condition)                                                              \
    ((condition) ? true                                                                       \
                 : (::ko::log_assertion(#condition, __FILE__, __LINE__, __PRETTY_FUNCTION__), \
                    false))
