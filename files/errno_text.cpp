#include "files/errno_text.h"

#include <memory>
#include <system_error>
#include <type_traits>

#include <locale.h>
#include <string.h>

std::string ErrnoText(int error)
{
    struct TLocaleDeleter {
        void operator()(locale_t locale) const { ::freelocale(locale); }
    };
    static const std::unique_ptr<std::remove_pointer_t<locale_t>, TLocaleDeleter> cLocale(
        ::newlocale(LC_ALL_MASK, "C", locale_t{}));
    if (cLocale)
        return ::strerror_l(error, cLocale.get());
    return std::generic_category().message(error);
}
