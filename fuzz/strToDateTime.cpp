// StrToDate, StrToTime and StrToDateTime over the input as UTF-8 text, with the
// default format settings.

#include <cmath>

#include "dvtDateTime.h"
#include "dvtFormatSettings.h"
#include "dvtFuzz.h"

using namespace Qt::StringLiterals;

namespace dvt::fuzz {

namespace {

// What a value read is written as, to the millisecond, is read back as the same
// value: the parsers and FormatDateTime agree on every value they produce.
void checkReadsBack(const QString &text, TDateTime value, const QString &pattern,
                    TDateTime (*read)(const QString &))
{
    const QString written = FormatDateTime(pattern, value);
    TDateTime again = 0;
    try {
        again = read(written);
    } catch (const EConvertError &) {
        throw Violation(u"'%1' read from '%2' is written as '%3', which does not read back"_s.arg(
            QString::number(value, 'g', 17), text, written));
    }
    if (again != value)
        throw Violation(u"'%1' read from '%2' reads back from '%3' as %4"_s.arg(
            QString::number(value, 'g', 17), text, written, QString::number(again, 'g', 17)));
}

} // namespace

int fuzzStrToDateTime(const uint8_t *data, size_t size)
{
    FormatSettings() = TFormatSettings();
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    const std::optional<TDateTime> date =
        convertedAlike<TDateTime>(text, TryStrToDate, StrToDate, "StrToDate");
    if (date) {
        if (*date != std::floor(*date))
            throw Violation(u"StrToDate('%1') has a time of day"_s.arg(text));
        checkReadsBack(text, *date, u"ddddd"_s, StrToDate);
    }

    const std::optional<TDateTime> time =
        convertedAlike<TDateTime>(text, TryStrToTime, StrToTime, "StrToTime");
    if (time) {
        if (*time < 0 || *time >= 1)
            throw Violation(u"StrToTime('%1') is no time of day"_s.arg(text));
        checkReadsBack(text, *time, u"hh:nn:ss.zzz"_s, StrToTime);
    }

    const std::optional<TDateTime> dateTime =
        convertedAlike<TDateTime>(text, TryStrToDateTime, StrToDateTime, "StrToDateTime");
    if (dateTime)
        checkReadsBack(text, *dateTime, u"ddddd hh:nn:ss.zzz"_s, StrToDateTime);
    // A date alone is a date and time at midnight.
    if (date && dateTime != date)
        throw Violation(u"StrToDateTime('%1') differs from StrToDate"_s.arg(text));
    return 0;
}

} // namespace dvt::fuzz
