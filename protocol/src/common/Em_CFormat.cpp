#include "Em_CFormat.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <locale.h>

namespace Brevan2011 {
namespace BVParse {

namespace {

locale_t C_Locale() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return loc;
}

bool C_Format_V(std::string* out, std::size_t limit, const char* format, va_list args) {
    out->clear();
    std::string buf(limit + 1, '\0');
    const locale_t loc = C_Locale();
    const locale_t old =
        loc != static_cast<locale_t>(0) ? uselocale(loc) : static_cast<locale_t>(0);
    const int n = std::vsnprintf(&buf[0], buf.size(), format, args);
    if (old != static_cast<locale_t>(0)) {
        uselocale(old);
    }
    if (n < 0 || static_cast<std::size_t>(n) > limit) {
        return false;
    }
    buf.resize(static_cast<std::size_t>(n));
    *out = std::move(buf);
    return true;
}

}  // namespace

bool C_Format(std::string* out, std::size_t limit, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const bool ok = C_Format_V(out, limit, format, args);
    va_end(args);
    return ok;
}

std::string C_Text(const char* format, ...) {
    std::string text;
    va_list args;
    va_start(args, format);
    C_Format_V(&text, kCommandTextLimit, format, args);
    va_end(args);
    return text;
}

}  // namespace BVParse
}  // namespace Brevan2011
