#include "config/environment.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

bool EqualIgnoringCase(const char* a, const char* b, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

const char* FindEnvironmentValue(const char* name)
{
    // A name holding "=" could only match by accident inside an entry's value.
    if (!name || !*name || std::strchr(name, '='))
        return nullptr;
    if (const char* exact = std::getenv(name))
        return exact;
    size_t n = std::strlen(name);
    for (char** entry = EnvironmentBlock(); entry && *entry; ++entry) {
        // Windows keeps per-drive folders as "=C:=C:\..."; their names begin with "=".
        const char* equals = std::strchr(*entry + (**entry == '=' ? 1 : 0), '=');
        if (equals && size_t(equals - *entry) == n && EqualIgnoringCase(*entry, name, n))
            return equals + 1;
    }
    return nullptr;
}
