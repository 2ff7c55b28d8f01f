#include "dvComboBox.h"

#include <QFocusEvent>
#include <QStyleOptionComboBox>

#include "dvQuery.h"
#include "dvStrings.h"
#include "dvtColumnType_p.h"
#include "dvtControl.h"
#include "dvtDatabase.h"
#include "dvtFocusMarking.h"
#include "dvtFormat.h"

namespace {

// Whether the connection that the list's statement would run on is open.
bool ListConnectionOpen()
{
    const TdvQuery query;
    const dvt::TDatabase *database = dvt::TDatabase::Find(query.DatabaseName());
    return database && database->Connected();
}

} // namespace

TdvComboBox::TdvComboBox(QWidget *parent) : QComboBox(parent), dvt::TKeyHandler(this)
{
    dvt::LoadOnFirstShow(this);
}

void TdvComboBox::Reload()
{
    if (m_select.isEmpty())
        return;
    TdvQuery query(this);
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

std::optional<QString> TdvComboBox::sqlLiteral(const QString &table) const
{
    TdvQuery query;
    return dvt::IsCharacterColumn(query, table, objectName()) ? u'"' + currentText() + u'"'
                                                              : QString::number(currentIndex());
}

void TdvComboBox::loadText(const QString &text)
{
    Reload();
    setCurrentIndex(-1);
    const QString wanted = dvt::Trim(text).toUpper();
    for (int item = 0; item < count(); ++item) {
        if (dvt::Trim(itemText(item)).toUpper() == wanted) {
            setCurrentIndex(item);
            return;
        }
    }
    // Out of range leaves the box without a choice.
    setCurrentIndex(dvStrToInt(text));
}

void TdvComboBox::clearValue()
{
    setCurrentIndex(0);
    Reload();
}

void TdvComboBox::restoreKeptValue(const QString &text)
{
    setCurrentIndex(dvStrToInt(text));
}

void TdvComboBox::Loaded()
{
    // A form being designed shows the rows of an open connection but never
    // opens one for them.
    if (!dvt::IsDesigning(this) || ListConnectionOpen())
        Reload();
    if (currentIndex() == -1)
        setCurrentIndex(0);
    if (m_keepValue && !dvt::IsDesigning(this))
        restoreKeptValue(dvt::ReadKeptValue(this));
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
        dvt::WriteKeptValue(this, keptValue());
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
