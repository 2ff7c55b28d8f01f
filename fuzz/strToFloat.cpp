// StrToFloat and StrToInt over the input as UTF-8 text; FloatToStr over the
// double of its first 8 bytes.

#include <cmath>
#include <limits>

#include "dvtFormat.h"
#include "dvtFuzz.h"

using namespace Qt::StringLiterals;

namespace dvt::fuzz {

namespace {

// The largest magnitude whose 15 significant digits do not round past the range
// of a double: beyond it FloatToStr writes a text no double reads back.
constexpr double LargestWritten = 1.79769313486231e308;

// FloatToStr writes 15 significant digits, so the text read back and written
// again must be the same text.
void checkWrittenReadsBack(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > LargestWritten)
        return;
    const QString written = FloatToStr(value);
    const std::optional<double> read =
        convertedAlike<double>(written, TryStrToFloat, StrToFloat, "StrToFloat");
    if (!read || FloatToStr(*read) != written)
        throw Violation(
            u"FloatToStr of %1 gives '%2', which does not read back"_s.arg(value).arg(written));
}

} // namespace

int fuzzStrToFloat(const uint8_t *data, size_t size)
{
    Input input(data, size);
    checkWrittenReadsBack(input.Float());

    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<double> value =
        convertedAlike<double>(text, TryStrToFloat, StrToFloat, "StrToFloat");
    if (value) {
        if (!std::isfinite(*value))
            throw Violation(u"StrToFloat('%1') is not finite"_s.arg(text));
        checkWrittenReadsBack(*value);
    }

    const std::optional<int> integer = convertedAlike<int>(text, TryStrToInt, StrToInt, "StrToInt");
    if (integer) {
        if (StrToInt(IntToStr(*integer)) != *integer)
            throw Violation(u"IntToStr(StrToInt('%1')) does not read back"_s.arg(text));
        // A decimal integer is also a floating-point number of the same value.
        const bool hexadecimal = text.contains(u'$') || text.contains(u'x', Qt::CaseInsensitive);
        if (!hexadecimal && value != double(*integer))
            throw Violation(u"StrToInt and StrToFloat disagree on '%1'"_s.arg(text));
    }
    return 0;
}

} // namespace dvt::fuzz
