#include "dvComboBox.h"

#include <QFocusEvent>
#include <QStyleOptionComboBox>

#include "dvQuery.h"
#include "dvStrings.h"
#include "dvtControl.h"
#include "dvtFocusMarking.h"

TdvComboBox::TdvComboBox(QWidget *parent) : QComboBox(parent), dvt::TKeyHandler(this) {}

void TdvComboBox::Reload()
{
    if (m_select.isEmpty())
        return;
    TdvQuery query(this);
    query.SetUnidirectional(true);
    if (!query.Select(m_select))
        return;
    clear();
    for (; !query.Eof(); query.Next())
        addItem(query.AsString(0));
}

QString TdvComboBox::GetSQL() const
{
    return dvStrTran(itemText(currentIndex()), QStringLiteral("\""), QString());
}

void TdvComboBox::Loaded()
{
    Reload();
    if (currentIndex() == -1)
        setCurrentIndex(0);
    if (m_keepValue && !dvt::IsDesigning(this))
        setCurrentIndex(dvStrToInt(dvt::ReadKeptValue(this)));
}

void TdvComboBox::focusInEvent(QFocusEvent *event)
{
    QComboBox::focusInEvent(event);
    if (dvt::IsRealFocusChange(event))
        m_focusHighlight.enter(this, m_highlight);
}

void TdvComboBox::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    if (!dvt::IsRealFocusChange(event))
        return;
    m_focusHighlight.exit(this);
    if (m_keepValue)
        dvt::WriteKeptValue(this, QString::number(currentIndex()));
}

void TdvComboBox::keyPressEvent(QKeyEvent *event)
{
    RouteKeyEvent(event, [this](QKeyEvent *e) { QComboBox::keyPressEvent(e); });
}

void TdvComboBox::initStyleOption(QStyleOptionComboBox *option) const
{
    QComboBox::initStyleOption(option);
    if (!isEditable() && dvt::Color(this) != dvt::clWindow)
        option->palette.setBrush(QPalette::Button, option->palette.brush(QPalette::Base));
}

void TdvComboBox::KeyDown(quint16 &key, dvt::TShiftState shift)
{
    dvt::HandleContractKeys(key, m_enterAsTab, m_closeOnEsc);
    TKeyHandler::KeyDown(key, shift);
}
