#include "dvEdit.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include "dvSQL.h"
#include "dvStrings.h"
#include "dvtException.h"
#include "dvtFocusMarking.h"
#include "dvtFormat.h"

TdvEdit::TdvEdit(QWidget *parent)
    : QLineEdit(parent), dvt::TKeyHandler(this), m_textMargin(CalcTextMargin())
{
    dvt::LoadOnFirstShow(this);
    // The form's active control changes without any event to this control when
    // another control of an inactive form is given the focus; the form learns it
    // when it is activated again.
    connect(qApp, &QApplication::focusChanged, this, [this] { ExitIfNoLongerActive(); });
}

void TdvEdit::SetAlignment(dvt::TAlignment alignment)
{
    if (m_activeControl || alignment == m_alignment)
        return;
    m_alignment = alignment;
    update();
}

QString TdvEdit::GetSQL() const
{
    const QString sql = dvStrTran(text(), QStringLiteral("\""), QString());
    return dvt::AutoTrimTextActive(m_autoTrimText) ? dvt::Trim(sql) : sql;
}

bool TdvEdit::Valid() const
{
    bool valid = !(m_notNull && dvt::Trim(text()).isEmpty());
    // The handlers take the sender as a control they may change.
    auto *self = const_cast<TdvEdit *>(this);
    if (OnValidation)
        OnValidation(self, text(), valid);
    Q_EMIT self->validating(text(), &valid);
    return valid;
}

bool TdvEdit::isValid() const
{
    return Valid();
}

bool TdvEdit::OwnAndCommonValid() const
{
    // The common test runs whatever the own one said, so OnValidation is asked
    // even when the text is no number, date or time.
    const bool own = Valid();
    const bool common = TdvEdit::Valid();
    return own && common;
}

std::optional<QString> TdvEdit::sqlLiteral(const QString &) const
{
    return dvSQLString(text());
}

void TdvEdit::loadText(const QString &text)
{
    setText(text);
}

void TdvEdit::clearValue()
{
    clear();
}

QString TdvEdit::keptValue() const
{
    return text();
}

void TdvEdit::restoreKeptValue(const QString &text)
{
    setText(text);
}

int TdvEdit::CalcTextMargin() const
{
    const int applicationHeight = QFontMetrics(QApplication::font()).height();
    return qMin(applicationHeight, fontMetrics().height()) / 4;
}

void TdvEdit::Loaded()
{
    const bool designing = dvt::IsDesigning(this);
    if (!designing && !m_clearedOnce) {
        m_clearedOnce = true;
        setText(QString());
    }
    if (m_keepValue)
        restoreKeptValue(dvt::ReadKeptValue(this));
    if (!designing)
        NormaliseText();
}

void TdvEdit::AfterEnter()
{
    m_focusHighlight.enter(this, m_highlight);
}

void TdvEdit::BeforeExit()
{
    m_focusHighlight.exit(this);
    if (m_keepValue)
        dvt::WriteKeptValue(this, keptValue());
}

void TdvEdit::CMEnter()
{
    m_savedAlignment = m_alignment;
    SetAlignment(dvt::taLeftJustify);
    m_activeControl = true;
}

void TdvEdit::CMExit()
{
    m_activeControl = false;
    SetAlignment(m_savedAlignment);
}

void TdvEdit::KeyDown(quint16 &key, dvt::TShiftState shift)
{
    if (key == dvt::vk::Return)
        NormaliseText();
    dvt::HandleContractKeys(key, m_enterAsTab, m_closeOnEsc);
    TKeyHandler::KeyDown(key, shift);
}

bool TdvEdit::HandleTrigger(QChar &key, const QString &trigger)
{
    if (m_commandKey || key.isNull() || !trigger.contains(key))
        return false;
    key = QChar();
    OpenPopup();
    return true;
}

void TdvEdit::FilterCharacter(QChar &key, QStringView accepted) const
{
    if (!m_commandKey && key.category() != QChar::Other_Control && !accepted.contains(key))
        key = QChar();
}

void TdvEdit::ReplaceText(const QString &newText)
{
    if (newText == text())
        return;
    const bool wholeSelected = hasSelectedText() && selectedText() == text();
    setText(newText);
    if (wholeSelected)
        selectAll();
}

void TdvEdit::NormaliseText()
{
    try {
        Normalise();
    } catch (const dvt::EConvertError &) {
        // A pattern that does not fit its value: the text stays as it was.
    }
}

void TdvEdit::ExitIfNoLongerActive()
{
    if (m_activeControl && window()->focusWidget() != this)
        CMExit();
}

void TdvEdit::keyPressEvent(QKeyEvent *event)
{
    // Ctrl with Alt is AltGr on some keyboards, which types characters.
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    m_commandKey = modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier);
    RouteKeyEvent(event, [this](QKeyEvent *e) { QLineEdit::keyPressEvent(e); });
}

void TdvEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (!m_activeControl)
        CMEnter();
    if (!dvt::IsRealFocusChange(event))
        return;
    AfterEnter();
    NormaliseText();
}

void TdvEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (dvt::IsRealFocusChange(event)) {
        BeforeExit();
        NormaliseText();
    }
    // The form's focus widget is already the control that takes the focus; it
    // is still this one when another window takes it.
    ExitIfNoLongerActive();
}

void TdvEdit::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    m_popupByClick = event->button() == Qt::RightButton && event->buttons() == Qt::RightButton
                     && event->modifiers() == Qt::NoModifier && OpenPopup();
}

void TdvEdit::contextMenuEvent(QContextMenuEvent *event)
{
    // The right click that opened the pop-up shows no menu; Ctrl with the right
    // click, or the menu key, still shows the editing menu.
    if (m_popupByClick && event->reason() == QContextMenuEvent::Mouse) {
        m_popupByClick = false;
        event->accept();
        return;
    }
    QLineEdit::contextMenuEvent(event);
}

void TdvEdit::paintEvent(QPaintEvent *event)
{
    const QString shown = displayText();
    if (m_alignment == dvt::taLeftJustify || shown.isEmpty()) {
        QLineEdit::paintEvent(event);
        return;
    }

    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    // The panel fills the background with the control's colour and draws the frame.
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);

    const QRect r = style()
                        ->subElementRect(QStyle::SE_LineEditContents, &panel, this)
                        .marginsRemoved(textMargins());
    const QFontMetrics metrics = fontMetrics();
    const int width = metrics.horizontalAdvance(shown);
    const int margin = hasFrame() ? m_textMargin - 1 : 0;
    const int right = r.left() + r.width();
    const int x = m_alignment == dvt::taRightJustify ? right - width - margin
                                                     : (r.left() + right - width) / 2;
    // Vertically where the line edit puts its line, so that the text does not
    // jump when the control becomes active.
    const int y = r.top() + (r.height() - metrics.height() + 1) / 2;

    painter.setClipRect(r);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(x, y + metrics.ascent(), shown);
}
