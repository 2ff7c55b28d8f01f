#include "dvDate.h"

#include "dvPopups.h"
#include "dvStrings.h"
#include "dvtException.h"
#include "dvtFormatSettings.h"

using namespace Qt::StringLiterals;

namespace {

constexpr QChar typedSeparator = u'/';

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

TdvDate::TdvDate(QWidget *parent)
    : TdvEdit(parent), m_formatStr(dvt::FormatSettings().ShortDateFormat), m_trigger(u"?"_s)
{
    NotifyValueChanges(&TdvDate::date, &TdvDate::dateChanged);
}

bool TdvDate::SetDate(dvt::TDateTime date)
{
    // Days outside the years 1 to 9999 have no text that reads back.
    if (!(date >= dvt::EncodeDate(1, 1, 1) && date < dvt::EncodeDate(9999, 12, 31) + 1))
        return false;
    try {
        ReplaceText(dvt::FormatDateTime(m_formatStr, date));
    } catch (const dvt::EConvertError &) {
        return false; // a broken FormatStr (an unterminated quote)
    }
    return true;
}

bool TdvDate::SetDate(int year, int month, int day)
{
    dvt::TDateTime date = 0;
    return dvt::TryEncodeDate(year, month, day, date) && SetDate(date);
}

bool TdvDate::SetDate(const QString &text)
{
    // "/" stands for the locale's separator, as in FormatStr.
    const QChar separator = dvt::FormatSettings().DateSeparator;
    QString cleaned;
    for (const QChar c : text) {
        if (isAsciiDigit(c) || c == u' ' || c == separator)
            cleaned += c;
        else if (c == typedSeparator)
            cleaned += separator;
    }

    dvt::TDateTime date = 0;
    if (dvt::TryStrToDate(cleaned, date))
        return SetDate(date);
    const auto item = [&](int n) { return dvStrToInt(dvStringItem(cleaned, n, separator)); };
    if (SetDate(item(1), item(2), item(3)))
        return true;
    if (m_defaultNow)
        Today();
    return false;
}

bool TdvDate::ReadDate(dvt::TDateTime &date) const
{
    return dvt::TryStrToDate(text(), date);
}

dvt::TDateTime TdvDate::GetDateTime() const
{
    return dvt::StrToDate(text());
}

QDate TdvDate::date() const
{
    dvt::TDateTime date = 0;
    if (!ReadDate(date))
        return {};
    const YMD ymd = Decode(date);
    return QDate(ymd.year, ymd.month, ymd.day);
}

bool TdvDate::setDate(QDate date)
{
    if (!date.isValid()) {
        clear();
        return true;
    }
    return SetDate(date.year(), date.month(), date.day());
}

QString TdvDate::GetSQL() const
{
    dvt::TDateTime date = 0;
    if (!ReadDate(date))
        return u"null"_s;
    return u'"' + dvt::FormatDateTime(u"mm/dd/yyyy"_s, date) + u'"';
}

QString TdvDate::GetYMD() const
{
    dvt::TDateTime date = 0;
    return ReadDate(date) ? dvt::FormatDateTime(u"yyyy/mm/dd"_s, date) : QString(10, u' ');
}

void TdvDate::Today()
{
    SetDate(dvt::Date());
}

TdvDate::YMD TdvDate::Decode(dvt::TDateTime date)
{
    YMD ymd{};
    dvt::DecodeDate(date, ymd.year, ymd.month, ymd.day);
    return ymd;
}

TdvDate::YMD TdvDate::DecodeText() const
{
    dvt::TDateTime date = 0;
    return ReadDate(date) ? Decode(date) : YMD{0, 1, 1};
}

int TdvDate::GetYear() const
{
    return DecodeText().year;
}

int TdvDate::GetMonth() const
{
    return DecodeText().month;
}

int TdvDate::GetDay() const
{
    return DecodeText().day;
}

int TdvDate::GetDayOfWeek() const
{
    dvt::TDateTime date = 0;
    return ReadDate(date) ? dvt::DayOfWeek(date) : 1;
}

QString TdvDate::GetWords() const
{
    dvt::TDateTime date = 0;
    return ReadDate(date) ? dvt::FormatDateTime(dvt::FormatSettings().LongDateFormat, date)
                          : QString();
}

QString TdvDate::GetMonthWords() const
{
    return dvt::FormatSettings().LongMonthNames.at(std::size_t(GetMonth() - 1));
}

QString TdvDate::GetWeekWords() const
{
    return dvt::FormatSettings().LongDayNames.at(std::size_t(GetDayOfWeek() - 1));
}

int TdvDate::GetInterval(const TdvDate &other) const
{
    dvt::TDateTime mine = 0;
    dvt::TDateTime theirs = 0;
    if (!ReadDate(mine) || !other.ReadDate(theirs))
        return 0;
    return int(mine - theirs);
}

int TdvDate::DayNumber() const
{
    const YMD ymd = DecodeText();
    return ymd.year == 0 ? 0 : ymd.year * 10000 + ymd.month * 100 + ymd.day;
}

bool TdvDate::Greater(const TdvDate &other) const
{
    return DayNumber() > other.DayNumber();
}

bool TdvDate::Equal(const TdvDate &other) const
{
    return DayNumber() == other.DayNumber();
}

bool TdvDate::Smaller(const TdvDate &other) const
{
    return DayNumber() < other.DayNumber();
}

void TdvDate::Adjust(int days, int months, int years, int weeks)
{
    dvt::TDateTime date = 0;
    if (!ReadDate(date))
        return;
    const YMD ymd = Decode(date);

    // Months counted from January of year 0, so that the year is a plain quotient.
    const qint64 monthIndex = qint64(ymd.year) * 12 + (ymd.month - 1) + months + qint64(years) * 12;
    if (monthIndex < 12 || monthIndex > qint64(9999) * 12 + 11)
        return;
    const int newYear = int(monthIndex / 12);
    const int newMonth = int(monthIndex % 12) + 1;
    const int newDay = qMin(ymd.day, dvt::DaysInMonth(newYear, newMonth));
    SetDate(dvt::EncodeDate(newYear, newMonth, newDay) + double(days) + 7.0 * double(weeks));
}

std::optional<dvt::TDateTime> TdvDate::NormalisedDate()
{
    dvt::TDateTime date = 0;
    if (SetDate(text()) && ReadDate(date))
        return date;
    return std::nullopt;
}

void TdvDate::SetBeginOfMonth()
{
    if (const auto date = NormalisedDate()) {
        const YMD ymd = Decode(*date);
        SetDate(ymd.year, ymd.month, 1);
    }
}

void TdvDate::SetEndOfMonth()
{
    if (const auto date = NormalisedDate()) {
        const YMD ymd = Decode(*date);
        SetDate(ymd.year, ymd.month, dvt::DaysInMonth(ymd.year, ymd.month));
    }
}

void TdvDate::SetBeginOfYear()
{
    if (const auto date = NormalisedDate())
        SetDate(Decode(*date).year, 1, 1);
}

void TdvDate::SetEndOfYear()
{
    if (const auto date = NormalisedDate())
        SetDate(Decode(*date).year, 12, 31);
}

void TdvDate::SetBeginOfWeek()
{
    if (const auto date = NormalisedDate())
        SetDate(*date - (dvt::DayOfWeek(*date) - 1));
}

void TdvDate::SetEndOfWeek()
{
    if (const auto date = NormalisedDate())
        SetDate(*date + (7 - dvt::DayOfWeek(*date)));
}

bool TdvDate::Valid() const
{
    dvt::TDateTime date = 0;
    return ReadDate(date) || !NotNull();
}

void TdvDate::Loaded()
{
    TdvEdit::Loaded();
    if (m_defaultNow && !dvt::IsDesigning(this))
        Today();
}

void TdvDate::KeyDown(quint16 &key, dvt::TShiftState shift)
{
    TdvEdit::KeyDown(key, shift);
    const bool shifted = shift.testFlag(dvt::ssShift);
    if (key == dvt::vk::Add || (key == dvt::vk::OemPlus && shifted))
        Adjust(1);
    else if (key == dvt::vk::Subtract || (key == dvt::vk::OemMinus && !shifted))
        Adjust(-1);
}

void TdvDate::KeyPress(QChar &key)
{
    if (!HandleTrigger(key, m_trigger)) {
        QString accepted = u"0123456789"_s;
        accepted += typedSeparator;
        accepted += dvt::FormatSettings().DateSeparator;
        FilterCharacter(key, accepted);
    }
    TdvEdit::KeyPress(key);
}

void TdvDate::Normalise()
{
    SetDate(text());
}

bool TdvDate::OpenPopup()
{
    dvPopups::OpenCalendar(this);
    return true;
}
