#include "dvTime.h"

#include <cmath>

#include "dvStrings.h"
#include "dvtException.h"
#include "dvtFormat.h"
#include "dvtFormatSettings.h"

using namespace Qt::StringLiterals;

namespace {

// Quotient and remainder rounded toward minus infinity, so that a negative
// amount borrows from the next larger unit as the clock does.
qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}

qint64 floorMod(qint64 a, qint64 b)
{
    return a - floorDiv(a, b) * b;
}

// The characters a typed time may hold, blanks aside.
QString timeCharacters()
{
    return u"0123456789:ampmAMPM"_s + dvt::FormatSettings().TimeSeparator;
}

} // namespace

TdvTime::TdvTime(QWidget *parent)
    : TdvEdit(parent), m_formatStr(dvt::FormatSettings().ShortTimeFormat)
{
    NotifyValueChanges(&TdvTime::time, &TdvTime::timeChanged);
}

bool TdvTime::ShowTime(dvt::TDateTime time)
{
    try {
        ReplaceText(dvt::FormatDateTime(m_formatStr, time));
    } catch (const dvt::EConvertError &) {
        return false; // a broken FormatStr (an unterminated quote)
    }
    return true;
}

bool TdvTime::SetTime(int hours, int minutes, int seconds)
{
    dvt::TDateTime time = 0;
    return dvt::TryEncodeTime(hours, minutes, seconds, 0, time) && ShowTime(time);
}

bool TdvTime::SetTime(const QString &text)
{
    const QString kept = timeCharacters() + u' ';
    QString cleaned;
    for (const QChar c : text) {
        if (kept.contains(c))
            cleaned += c;
    }
    dvt::TDateTime time = 0;
    if (dvt::TryStrToTime(cleaned, time))
        return ShowTime(time);
    if (m_defaultNow)
        Actual();
    return false;
}

bool TdvTime::SetTime(double packed)
{
    if (!SetTime(0, 0, 0))
        return false;
    Adjust(packed);
    return true;
}

void TdvTime::Actual()
{
    ShowTime(dvt::Time());
}

bool TdvTime::ReadTime(dvt::TDateTime &time) const
{
    return dvt::TryStrToTime(text(), time);
}

TdvTime::HMS TdvTime::DecodeText() const
{
    HMS hms{0, 0, 0};
    dvt::TDateTime time = 0;
    int msec = 0;
    if (ReadTime(time))
        dvt::DecodeTime(time, hms.hour, hms.min, hms.sec, msec);
    return hms;
}

QTime TdvTime::time() const
{
    dvt::TDateTime time = 0;
    if (!ReadTime(time))
        return {};
    int hour = 0, min = 0, sec = 0, msec = 0;
    dvt::DecodeTime(time, hour, min, sec, msec);
    return QTime(hour, min, sec);
}

bool TdvTime::setTime(QTime time)
{
    if (!time.isValid()) {
        clear();
        return true;
    }
    return SetTime(time.hour(), time.minute(), time.second());
}

QString TdvTime::GetSQL() const
{
    dvt::TDateTime time = 0;
    return ReadTime(time) ? dvt::FormatDateTime(u"hh:nn:ss"_s, time) : QString();
}

int TdvTime::GetHour() const
{
    return DecodeText().hour;
}

int TdvTime::GetMin() const
{
    return DecodeText().min;
}

int TdvTime::GetSec() const
{
    return DecodeText().sec;
}

double TdvTime::GetDecimal() const
{
    const HMS hms = DecodeText();
    return hms.hour + hms.min / 60.0 + hms.sec / 6000.0;
}

bool TdvTime::Equal(const TdvTime &other) const
{
    return !text().isEmpty() && GetDecimal() == other.GetDecimal();
}

bool TdvTime::Greater(const TdvTime &other) const
{
    return text().isEmpty() || GetDecimal() > other.GetDecimal();
}

bool TdvTime::Smaller(const TdvTime &other) const
{
    return text().isEmpty() || GetDecimal() < other.GetDecimal();
}

double TdvTime::GetInterval(const TdvTime &other) const
{
    // nearbyint rounds in the default mode, to nearest with halves to even.
    return text().isEmpty() ? 0.0 : std::nearbyint(GetDecimal() - other.GetDecimal());
}

void TdvTime::Adjust(int hours, int minutes, int seconds)
{
    const HMS now = DecodeText();
    const qint64 totalSeconds = qint64(now.sec) + seconds;
    const qint64 totalMinutes = qint64(now.min) + minutes + floorDiv(totalSeconds, 60);
    const qint64 totalHours = qint64(now.hour) + hours + floorDiv(totalMinutes, 60);
    SetTime(int(floorMod(totalHours, 24)), int(floorMod(totalMinutes, 60)),
            int(floorMod(totalSeconds, 60)));
}

void TdvTime::Adjust(double packed)
{
    const QString field = dvt::Format(u"%9.4f"_s, {packed});
    Adjust(dvStrToInt(field.mid(0, 4)), dvStrToInt(field.mid(5, 2)), dvStrToInt(field.mid(7, 2)));
}

bool TdvTime::Valid() const
{
    // Reading the text normalises it (and may put the current time in), as typing
    // Enter would: the test is a step of the edit, not a mere look.
    return const_cast<TdvTime *>(this)->SetTime(text()) || !NotNull();
}

void TdvTime::KeyPress(QChar &key)
{
    FilterCharacter(key, timeCharacters());
    TdvEdit::KeyPress(key);
}

void TdvTime::Normalise()
{
    SetTime(text());
}
