#include "arena/validate/process_locale.h"

#include <clocale>
#include <locale>

namespace arena::validate {

ProcessLocale currentLocale()
{
    const char* c = std::setlocale(LC_ALL, nullptr);
    return {c ? c : "", std::locale().name()};
}

void useNamedLocale()
{
    if (!std::setlocale(LC_ALL, "C.UTF-8")) {
        std::setlocale(LC_ALL, "C");
    }
}

std::optional<std::string> localeChange(const ProcessLocale& before)
{
    const ProcessLocale now = currentLocale();
    if (now == before) {
        return std::nullopt;
    }
    const bool c = now.c != before.c;
    std::string reason = c ? "the process locale" : "the global C++ locale";
    reason += " changed from \"";
    reason += c ? before.c : before.cpp;
    reason += "\" to \"";
    reason += c ? now.c : now.cpp;
    reason += '"';
    return reason;
}

} // namespace arena::validate
