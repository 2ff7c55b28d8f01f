// dvStrToFloat and dvStrToInt over the input as UTF-8 text.

#include <cmath>

#include "dvStrings.h"
#include "dvtFormat.h"
#include "dvtFuzz.h"

using namespace Qt::StringLiterals;

namespace dvt::fuzz {

int fuzzDvStrToNumber(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    // Tolerant reading fails silently: nothing may escape.
    const double tolerant = dvStrToFloat(text);
    const int tolerantInteger = dvStrToInt(text);
    if (!std::isfinite(tolerant))
        throw Violation(u"dvStrToFloat('%1') is not finite"_s.arg(text));
    // What the strict conversion reads, the tolerant one reads alike: the
    // cleaning removes nothing a strict number may hold but surrounding blanks.
    double strict = 0;
    if (TryStrToFloat(text, strict) && tolerant != strict)
        throw Violation(
            u"dvStrToFloat('%1') is %2, StrToFloat %3"_s.arg(text).arg(tolerant).arg(strict));
    int strictInteger = 0;
    if (!text.contains(u'$') && TryStrToInt(text, strictInteger)
        && tolerantInteger != strictInteger)
        throw Violation(u"dvStrToInt('%1') is %2, StrToInt %3"_s.arg(text)
                            .arg(tolerantInteger)
                            .arg(strictInteger));
    return 0;
}

} // namespace dvt::fuzz
