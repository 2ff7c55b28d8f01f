#pragma once

#include <optional>

#include "dvEdit.h"

// The numeric edit: its number lives only in its text, formatted with FormatStr
// (the locale's money format "%m" by default: $1,234.50 and ($12.00) in the
// United States). It is drawn right-aligned while it is not the active control.
//
// - Typing: a trigger character opens the calculator; "C" or "c" empties the
//   text; otherwise only digits, "-", "," and "." are typed (anywhere, any
//   number of times: the text is not checked per key).
// - A plain right click opens the calculator too (dvPopups).
// - Enter, focus changes and loading normalise the text: it is read tolerantly
//   (currency symbol, thousands separators, blanks and "$" dropped, "(" read
//   as "-") and formatted again; unreadable text becomes the formatted zero.
//
// Value is the USER property (QDataWidgetMapper, item delegates bind it), with
// valueChanged(); a model's NULL shows as the formatted zero. Reformatting that
// keeps the number ("1234.5" shown as "$1,234.50") emits textChanged() only.
class TdvValue : public TdvEdit
{
    Q_OBJECT
    Q_PROPERTY(QString FormatStr READ FormatStr WRITE setFormatStr)
    Q_PROPERTY(double Value READ GetFValue WRITE SetValueProperty NOTIFY valueChanged
                   USER true DESIGNABLE false STORED false)
    Q_PROPERTY(QString Trigger READ Trigger WRITE setTrigger)

public:
    explicit TdvValue(QWidget *parent = nullptr);

    // A dvt::Format pattern with one number argument.
    const QString &FormatStr() const { return m_formatStr; }
    void SetFormatStr(const QString &pattern) { m_formatStr = pattern; }

    // The characters that open the calculator ("?"); empty for none.
    const QString &Trigger() const { return m_trigger; }
    void SetTrigger(const QString &trigger) { m_trigger = trigger; }

    // The setters Qt Designer and uic call.
    DVT_QT_SETTER(FormatStr, const QString &)
    DVT_QT_SETTER(Trigger, const QString &)

    // Shows the value formatted with FormatStr. A pattern that does not fit the
    // argument (the integer form with "%m", which wants a floating one) raises
    // dvt::EConvertError and leaves the text.
    void SetValue(int value);
    void SetValue(double value);
    // Normalises the text: reads it tolerantly (0 when it is no number) and shows
    // it formatted: "1 234.5", "$1234.5" and "1,234.50" all show as $1,234.50.
    void SetValue(const QString &text);

    // The number in the text; 0 when it is no number.
    double GetFValue() const;
    void SetFValue(double value);

    // The number, or std::nullopt when the text is no number (empty, say).
    std::optional<double> value() const;
    // Shows the value formatted with FormatStr and answers true; a FormatStr
    // that does not fit a number leaves the text and answers false, with the
    // reason in *error when it is given. Never raises.
    bool setValue(double value, QString *error = nullptr);

    // The number as a statement needs it: shortest form, no thousands separators,
    // no quotes; "0" when the text is no number.
    QString GetSQL() const override;

    // The amount in words (dvNumToWords).
    QString GetWords(bool withCurrency) const;

    // True when the text, without currency symbol, thousands separators and
    // blanks, is one well-formed number; otherwise the negation of NotNull.
    // OnValidation is not consulted.
    bool Valid() const override;

    // The contract: the literal is GetSQL(), bare; a loaded text is read as
    // dvStrToFloat reads it; clearing shows the formatted zero.
    bool isValid() const override { return OwnAndCommonValid(); }
    std::optional<QString> sqlLiteral(const QString &table) const override;
    void loadText(const QString &text) override;
    void clearValue() override;

Q_SIGNALS:
    // The number of the text (GetFValue()) changed: typed, set or cleared.
    void valueChanged(double value);

protected:
    void KeyPress(QChar &key) override;
    void Normalise() override;
    bool OpenPopup() override;

private:
    void SetValueProperty(double value) { setValue(value); }

    QString m_formatStr;
    QString m_trigger;
};
