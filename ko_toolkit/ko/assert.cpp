#include "ko/assert.h"

#include <QtGlobal>

namespace ko {

std::string assertion_text(const char* condition, const char* file, int line, const char* function)
{
    std::string text = "assert \"";
    text += condition;
    text += "\" failed at ";
    text += file;
    text += ':';
    text += std::to_string(line);
    text += " in ";
    text += function;
    text += '\n';
    return text;
}

void log_assertion(const char* condition, const char* file, int line, const char* function)
{
    const std::string text = assertion_text(condition, file, line, function);
    qCritical("%s", text.c_str());
}

} // namespace ko
