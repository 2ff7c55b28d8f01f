#include "dvMemo.h"

#include <QFocusEvent>

#include "dvSQL.h"
#include "dvtFocusMarking.h"
#include "dvtFormat.h"

TdvMemo::TdvMemo(QWidget *parent) : QPlainTextEdit(parent), dvt::TKeyHandler(this)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // On a data-entry form Tab leaves the memo, as it leaves every other control.
    setTabChangesFocus(true);
    dvt::LoadOnFirstShow(this);
}

std::optional<QString> TdvMemo::sqlLiteral(const QString &) const
{
    return dvSQLString(toPlainText());
}

bool TdvMemo::Valid() const
{
    return !m_notNull || !dvt::Trim(toPlainText()).isEmpty();
}

void TdvMemo::Loaded()
{
    if (!dvt::IsDesigning(this))
        clear();
}

void TdvMemo::focusInEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusInEvent(event);
    if (dvt::IsRealFocusChange(event))
        m_focusHighlight.enter(this, m_highlight);
}

void TdvMemo::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    if (dvt::IsRealFocusChange(event))
        m_focusHighlight.exit(this);
}

void TdvMemo::keyPressEvent(QKeyEvent *event)
{
    RouteKeyEvent(event, [this](QKeyEvent *e) { QPlainTextEdit::keyPressEvent(e); });
}

void TdvMemo::KeyDown(quint16 &key, dvt::TShiftState shift)
{
    // Only Esc: Enter always breaks the line, whatever the control panel says.
    if (key == dvt::vk::Escape)
        dvt::HandleContractKeys(key, false, m_closeOnEsc);
    TKeyHandler::KeyDown(key, shift);
}
