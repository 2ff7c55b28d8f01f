#include "dvCheckBox.h"

#include "dvSQL.h"
#include "dvStrings.h"

TdvCheckBox::TdvCheckBox(QWidget *parent) : TCheckableControl(this, parent) {}

TdvCheckBox::TdvCheckBox(const QString &text, QWidget *parent) : TCheckableControl(this, parent)
{
    setText(text);
}

QString TdvCheckBox::GetSQL() const
{
    return dvIf(isChecked(), QStringLiteral("Y"), QStringLiteral("N"));
}

std::optional<QString> TdvCheckBox::sqlLiteral(const QString &) const
{
    return dvSQLBoolean(isChecked());
}

void TdvCheckBox::loadText(const QString &text)
{
    setChecked(text.toUpper().contains(u'Y'));
}

void TdvCheckBox::KeyDown(quint16 &key, dvt::TShiftState shift)
{
    dvt::HandleContractKeys(key, EnterAsTab(), CloseOnEsc());
    switch (key) {
    case 'Y':
        key = 0;
        setChecked(true);
        break;
    case 'N':
        key = 0;
        setChecked(false);
        break;
    case dvt::vk::Space:
        // Consumed, so Qt's own Space handling (a click on release) stays out.
        key = 0;
        setChecked(!isChecked());
        break;
    }
    TKeyHandler::KeyDown(key, shift);
}
