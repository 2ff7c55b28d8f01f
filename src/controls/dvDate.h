#pragma once

#include <QDate>

#include <optional>

#include "dvEdit.h"
#include "dvtDateTime.h"

// The date edit: its date lives only in its text, formatted with FormatStr (the
// locale's short date format at construction) and read back with the locale's
// short date parser, so FormatStr must keep the locale's order of day, month and
// year for the getters to work.
//
// - Typing: a trigger character opens the calendar; otherwise only digits, "/"
//   and the locale's date separator are typed. The keypad's "+" and the main
//   keyboard's "+" (Shift and "=") move the date one day on, the keypad's "-"
//   and the main keyboard's "-" one day back.
// - A plain right click opens the calendar too (dvPopups).
// - Enter, focus changes and loading normalise the text (SetDate of the text).
//
// Weekdays run from 1 (Sunday) to 7 (Saturday); weeks from Sunday to Saturday.
// Getters of a text that is no date answer their fallbacks (year 0, month, day
// and weekday 1, empty texts); only GetDateTime() raises.
//
// Date is the USER property (QDataWidgetMapper, item delegates bind it), with
// dateChanged(); an invalid QDate stands for "no date", and a model's NULL
// empties the control.
class TdvDate : public TdvEdit
{
    Q_OBJECT
    Q_PROPERTY(QDate Date READ date WRITE setDate NOTIFY dateChanged
                   USER true DESIGNABLE false STORED false)
    Q_PROPERTY(bool DefaultNow READ DefaultNow WRITE setDefaultNow)
    Q_PROPERTY(QString FormatStr READ FormatStr WRITE setFormatStr)
    Q_PROPERTY(QString Trigger READ Trigger WRITE setTrigger)

public:
    explicit TdvDate(QWidget *parent = nullptr);

    // Today's date replaces the loaded text, and any normalisation of a text that
    // is no date.
    bool DefaultNow() const { return m_defaultNow; }
    void SetDefaultNow(bool on) { m_defaultNow = on; }

    // A dvt::FormatDateTime pattern ("/" is the locale's date separator).
    const QString &FormatStr() const { return m_formatStr; }
    void SetFormatStr(const QString &pattern) { m_formatStr = pattern; }

    // The characters that open the calendar ("?"); empty for none.
    const QString &Trigger() const { return m_trigger; }
    void SetTrigger(const QString &trigger) { m_trigger = trigger; }

    // The setters Qt Designer and uic call.
    DVT_QT_SETTER(DefaultNow, bool)
    DVT_QT_SETTER(FormatStr, const QString &)
    DVT_QT_SETTER(Trigger, const QString &)

    // Shows the date (its time of day is ignored). False, with the text left,
    // only for a day outside the years 1 to 9999 or a broken FormatStr (an
    // unterminated quote).
    bool SetDate(dvt::TDateTime date);
    // Shows the date when the three make one (years 1 to 9999); otherwise false,
    // and the text stays.
    bool SetDate(int year, int month, int day);
    // Reads a typed date and shows it formatted. The text keeps only digits,
    // "/", the locale's date separator and blanks, and is read first by the
    // locale's short date parser (two numbers are month and day of the current
    // year, in the locale's order; a two-digit year follows the century
    // window), then year first ("1999/12/31"). When neither reading gives a
    // date the result is false, and the text becomes today's date with
    // DefaultNow, else stays.
    bool SetDate(const QString &text);

    // The date in the text; raises dvt::EConvertError when the text is no date.
    dvt::TDateTime GetDateTime() const;

    // The date in the text; an invalid QDate when the text is no date.
    QDate date() const;
    // Shows the date, or empties the control for an invalid QDate. False, with
    // the text left, as SetDate(year, month, day) answers it. Never raises.
    bool setDate(QDate date);

    // The date as a statement literal, double quotes included ("01/31/1970",
    // month first, the locale's separator), or the bare word null.
    QString GetSQL() const override;
    // "yyyy/mm/dd", or ten blanks.
    QString GetYMD() const;
    void Today();

    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetDayOfWeek() const;
    // The locale's long date form, or empty.
    QString GetWords() const;
    // The locale's long names of GetMonth() and GetDayOfWeek().
    QString GetMonthWords() const;
    QString GetWeekWords() const;

    // Whole days from the other date to this one; 0 when either is no date.
    int GetInterval(const TdvDate &other) const;
    // Dates compare as year × 10000 + month × 100 + day, a text that is no date
    // as 0: an empty date edit is smaller than any dated one.
    bool Greater(const TdvDate &other) const;
    bool Equal(const TdvDate &other) const;
    bool Smaller(const TdvDate &other) const;

    // Calendar arithmetic: months (and years, as twelve months) first, the day
    // limited to the length of the target month, then days (and weeks, as seven
    // days) across month and year ends: 31 January 2000 + 1 month is 29 February
    // 2000, + 1 month + 1 day is 1 March. Nothing changes when the text is no date
    // or when the result would leave the years 1 to 9999.
    void Adjust(int days, int months = 0, int years = 0, int weeks = 0);

    // Each first normalises the text and does nothing when it is no date.
    void SetBeginOfMonth();
    void SetEndOfMonth();
    void SetBeginOfYear();
    void SetEndOfYear();
    void SetBeginOfWeek();
    void SetEndOfWeek();

    // True when the text reads as a date, otherwise the negation of NotNull.
    // OnValidation is not consulted.
    bool Valid() const override;

    // The contract: the literal is GetSQL(); a loaded text the date cannot take
    // empties the control.
    bool isValid() const override { return OwnAndCommonValid(); }
    std::optional<QString> sqlLiteral(const QString &) const override { return GetSQL(); }
    void loadText(const QString &text) override
    {
        if (!SetDate(text))
            clear();
    }

    // Also, at run time with DefaultNow, puts today's date in.
    void Loaded() override;

Q_SIGNALS:
    // The date of the text changed: typed, set, moved or cleared (invalid QDate).
    void dateChanged(QDate date);

protected:
    void KeyDown(quint16 &key, dvt::TShiftState shift) override;
    void KeyPress(QChar &key) override;
    void Normalise() override;
    bool OpenPopup() override;

private:
    struct YMD
    {
        int year, month, day;
    };

    // The date in the text by the locale's short date parser.
    bool ReadDate(dvt::TDateTime &date) const;
    static YMD Decode(dvt::TDateTime date);
    // Its year, month and day; 0, 1 and 1 when the text is no date.
    YMD DecodeText() const;
    // year × 10000 + month × 100 + day, or 0.
    int DayNumber() const;
    // Normalises the text and hands over its date, for the moving operations.
    std::optional<dvt::TDateTime> NormalisedDate();

    bool m_defaultNow = false;
    QString m_formatStr;
    QString m_trigger;
};
