#pragma once

#include <QTime>

#include "dvEdit.h"
#include "dvtDateTime.h"

// The time-of-day edit: its time lives only in its text, formatted with
// FormatStr (the locale's short time format at construction) and read back with
// the locale's time parser (hours and minutes, optional seconds, an optional AM
// or PM marker). It has no pop-up.
//
// - Typing: only digits, ":", the locale's time separator and the letters of AM
//   and PM are typed.
// - Enter, focus changes and loading normalise the text (SetTime of the text).
//
// No operation raises: a text that is no time gives 0, the empty text or false.
//
// Time is the USER property (QDataWidgetMapper, item delegates bind it), with
// timeChanged(); an invalid QTime stands for "no time", and a model's NULL
// empties the control.
class TdvTime : public TdvEdit
{
    Q_OBJECT
    Q_PROPERTY(QTime Time READ time WRITE setTime NOTIFY timeChanged
                   USER true DESIGNABLE false STORED false)
    Q_PROPERTY(bool DefaultNow READ DefaultNow WRITE setDefaultNow)
    Q_PROPERTY(QString FormatStr READ FormatStr WRITE setFormatStr)

public:
    explicit TdvTime(QWidget *parent = nullptr);

    // The current time replaces any text that is no time at each normalisation.
    bool DefaultNow() const { return m_defaultNow; }
    void SetDefaultNow(bool on) { m_defaultNow = on; }

    // A dvt::FormatDateTime pattern ("hh", "nn", "ss", ":", "AMPM").
    const QString &FormatStr() const { return m_formatStr; }
    void SetFormatStr(const QString &pattern) { m_formatStr = pattern; }

    // The setters Qt Designer and uic call.
    DVT_QT_SETTER(DefaultNow, bool)
    DVT_QT_SETTER(FormatStr, const QString &)

    // Shows the time when the three make one (0-23, 0-59, 0-59); otherwise false,
    // and the text stays (as it does for a broken FormatStr).
    bool SetTime(int hours, int minutes, int seconds);
    // Reads the text, keeping only digits, the separators, blanks and the letters
    // a, m and p, and shows the time formatted. When it is no time the result is
    // false, and the text becomes the current time with DefaultNow, else stays.
    bool SetTime(const QString &text);
    // Midnight adjusted by a packed hours.MMSS value: 1.3015 shows 01:30:15.
    // True unless FormatStr is broken.
    bool SetTime(double packed);
    // Shows the current time.
    void Actual();

    // The time in the text, to the second; an invalid QTime when it is no time.
    QTime time() const;
    // Shows the time (its milliseconds dropped), or empties the control for an
    // invalid QTime. False, with the text left, only for a broken FormatStr.
    bool setTime(QTime time);

    // "hh:nn:ss" (24-hour clock, the locale's separator) without quotes; empty
    // when the text is no time.
    QString GetSQL() const override;
    int GetHour() const;
    int GetMin() const;
    int GetSec() const;
    // hours + minutes / 60 + seconds / 6000: an ordering key rather than a
    // length of time, since a second weighs 1/6000 hour.
    double GetDecimal() const;

    // Based on GetDecimal(); a control with an empty text is equal to none and
    // both greater and smaller than any (the other's text is not tested).
    bool Equal(const TdvTime &other) const;
    bool Greater(const TdvTime &other) const;
    bool Smaller(const TdvTime &other) const;
    // Whole hours from the other time to this one, halves rounded to the even
    // number (10:30 against 08:00 is 2); 0 when this text is empty.
    double GetInterval(const TdvTime &other) const;

    // Clock arithmetic that wraps at midnight: 23:59:30 + 45 s is 00:00:15. A
    // text that is no time counts as midnight.
    void Adjust(int hours, int minutes, int seconds);
    // The same with a packed hours.MMSS value, written with four decimals in nine
    // characters: the first four are the hours, then after the decimal separator
    // two for the minutes and two for the seconds. The sign belongs to the hours
    // only: -2.45 adds -2 hours and +45 minutes. Values of 10000 hours or more,
    // or -1000 or less, do not fit those places and give no useful result.
    void Adjust(double packed);

    // SetTime() of the text (which normalises it, and may put the current time
    // in with DefaultNow); true when it succeeds, otherwise the negation of
    // NotNull. OnValidation is not consulted.
    bool Valid() const override;

    // The contract: the literal is GetSQL() in double quotes ("" for a text that
    // is no time); a loaded text the time cannot take empties the control.
    bool isValid() const override { return OwnAndCommonValid(); }
    std::optional<QString> sqlLiteral(const QString &) const override
    {
        return u'"' + GetSQL() + u'"';
    }
    void loadText(const QString &text) override
    {
        if (!SetTime(text))
            clear();
    }

Q_SIGNALS:
    // The time of the text changed: typed, set, adjusted or cleared (invalid QTime).
    void timeChanged(QTime time);

protected:
    void KeyPress(QChar &key) override;
    void Normalise() override;

private:
    // The time in the text by the locale's time parser.
    bool ReadTime(dvt::TDateTime &time) const;
    struct HMS
    {
        int hour, min, sec;
    };
    // Its hours, minutes and seconds; all 0 when the text is no time.
    HMS DecodeText() const;
    bool ShowTime(dvt::TDateTime time);

    bool m_defaultNow = false;
    QString m_formatStr;
};
