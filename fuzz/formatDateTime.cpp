// FormatDateTime: the date-time as the double of the first 8 bytes, then the
// pattern (UTF-8), with the default format settings.

#include <cmath>

#include "dvtDateTime.h"
#include "dvtFormatSettings.h"
#include "dvtFuzz.h"

using namespace Qt::StringLiterals;

namespace dvt::fuzz {

int fuzzFormatDateTime(const uint8_t *data, size_t size)
{
    FormatSettings() = TFormatSettings();
    Input input(data, size);
    const TDateTime value = input.Float();
    const QString pattern = QString::fromUtf8(input.RestBytes());
    const auto fail = [&](const QString &what) {
        throw Violation(
            u"FormatDateTime('%1', %2): %3"_s.arg(pattern, QString::number(value, 'g', 17), what));
    };

    // A value that cannot be taken apart fails for every pattern that shows it.
    int year = 0;
    int month = 0;
    int day = 0;
    bool valid = true;
    try {
        DecodeDate(value, year, month, day);
    } catch (const EConvertError &) {
        valid = false;
    }

    try {
        FormatDateTime(pattern, value);
    } catch (const EConvertError &) { // the one documented failure
    }
    if (!valid)
        return 0;

    // Quoted text is copied as it stands.
    QString literal = pattern;
    literal.remove(u'"');
    if (FormatDateTime(u'"' + literal + u'"', value) != literal)
        fail(u"quoted text changes"_s);

    // Written to the millisecond, the value reads back as written.
    const QString written = FormatDateTime(u"ddddd hh:nn:ss.zzz"_s, value);
    TDateTime read = 0;
    if (!TryStrToDateTime(written, read)
        || FormatDateTime(u"ddddd hh:nn:ss.zzz"_s, read) != written)
        fail(u"'%1' does not read back"_s.arg(written));
    return 0;
}

} // namespace dvt::fuzz
