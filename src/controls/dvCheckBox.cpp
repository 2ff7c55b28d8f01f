#include "dvCheckBox.h"

#include "dvStrings.h"

TdvCheckBox::TdvCheckBox(QWidget *parent) : TCheckableControl(parent) {}

TdvCheckBox::TdvCheckBox(const QString &text, QWidget *parent) : TCheckableControl(parent)
{
    setText(text);
}

QString TdvCheckBox::GetSQL() const
{
    return dvIf(isChecked(), QStringLiteral("Y"), QStringLiteral("N"));
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
