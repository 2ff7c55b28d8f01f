#include "dvSQL.h"

#include "dvStrings.h"
#include "dvtException.h"
#include "dvtFormat.h"

using namespace Qt::StringLiterals;

namespace {

const QString &quote()
{
    static const QString q = u"\""_s;
    return q;
}

QString quoted(const QString &text)
{
    return quote() + text + quote();
}

const QString &nullDate()
{
    static const QString text = u"null"_s;
    return text;
}

const QString &blankTime()
{
    static const QString text = quoted(dvSpace(8));
    return text;
}

// The value formatted with the pattern, quoted; the fallback when the value lies
// outside the calendar that the formatting knows.
QString quotedDateTime(const QString &pattern, dvt::TDateTime value, const QString &fallback)
{
    try {
        return quoted(dvt::FormatDateTime(pattern, value));
    } catch (const dvt::EConvertError &) {
        return fallback;
    }
}

QString dateLiteral(dvt::TDateTime value)
{
    return quotedDateTime(u"mm/dd/yyyy"_s, value, nullDate());
}

QString timeLiteral(dvt::TDateTime value)
{
    return quotedDateTime(u"hh:nn:ss"_s, value, blankTime());
}

} // namespace

QString dvSQLString(const QString &text)
{
    return quoted(dvStrTran(text, quote(), QString()));
}

QString dvSQLBoolean(const QString &text)
{
    const QString upper = dvt::UpperCase(text);
    return dvSQLBoolean(!(upper == u"NO"_s || upper == u"N"_s));
}

QString dvSQLBoolean(bool value)
{
    return quoted(dvIf(value, u"Y"_s, u"N"_s));
}

QString dvSQLFloat(double value)
{
    return dvt::FloatToStr(value);
}

QString dvSQLDate(const QString &text)
{
    dvt::TDateTime date = 0;
    return dvt::TryStrToDate(text, date) ? dateLiteral(date) : nullDate();
}

QString dvSQLDate(dvt::TDateTime value)
{
    return dateLiteral(value);
}

QString dvSQLTime(const QString &text)
{
    dvt::TDateTime time = 0;
    return dvt::TryStrToTime(text, time) ? timeLiteral(time) : blankTime();
}

QString dvSQLTime(dvt::TDateTime value)
{
    return timeLiteral(value);
}

QString dvSQLInteger(int value)
{
    return dvt::IntToStr(value);
}
