#include "dvValue.h"

#include "dvPopups.h"
#include "dvStrings.h"
#include "dvStrings_p.h"
#include "dvWords.h"
#include "dvtException.h"
#include "dvtFormat.h"

TdvValue::TdvValue(QWidget *parent)
    : TdvEdit(parent), m_formatStr(QStringLiteral("%m")), m_trigger(QStringLiteral("?"))
{
    SetAlignment(dvt::taRightJustify);
    NotifyValueChanges(&TdvValue::GetFValue, &TdvValue::valueChanged);
}

void TdvValue::SetValue(int value)
{
    ReplaceText(dvt::Format(m_formatStr, {value}));
}

void TdvValue::SetValue(double value)
{
    ReplaceText(dvt::Format(m_formatStr, {value}));
}

void TdvValue::SetValue(const QString &text)
{
    SetValue(dvStrToFloat(text));
}

double TdvValue::GetFValue() const
{
    return dvStrToFloat(text());
}

void TdvValue::SetFValue(double value)
{
    SetValue(value);
}

std::optional<double> TdvValue::value() const
{
    double value = 0;
    if (!dvt::TryStrToFloat(dvt::detail::cleanNumber(text()), value))
        return std::nullopt;
    return value;
}

bool TdvValue::setValue(double value, QString *error)
{
    try {
        SetValue(value);
        return true;
    } catch (const dvt::EConvertError &e) {
        if (error)
            *error = e.Message();
        return false;
    }
}

std::optional<QString> TdvValue::sqlLiteral(const QString &) const
{
    return GetSQL();
}

void TdvValue::loadText(const QString &text)
{
    setValue(dvStrToFloat(text));
}

void TdvValue::clearValue()
{
    setValue(0);
}

QString TdvValue::GetSQL() const
{
    return dvt::FloatToStr(dvStrToFloat(text()));
}

QString TdvValue::GetWords(bool withCurrency) const
{
    return dvNumToWords(GetFValue(), withCurrency);
}

bool TdvValue::Valid() const
{
    double value = 0;
    return dvt::TryStrToFloat(dvt::detail::cleanNumber(text()), value) || !NotNull();
}

void TdvValue::KeyPress(QChar &key)
{
    if (!HandleTrigger(key, m_trigger) && !IsCommandKey()) {
        if (key == u'C' || key == u'c') {
            key = QChar();
            clear();
        } else {
            FilterCharacter(key, u"0123456789-,.");
        }
    }
    TdvEdit::KeyPress(key);
}

void TdvValue::Normalise()
{
    SetValue(text());
}

bool TdvValue::OpenPopup()
{
    dvPopups::OpenCalculator(this);
    return true;
}
