#include "dvButton.h"

#include <QFocusEvent>

#include "dvControlPanel.h"
#include "dvEdit.h"
#include "dvMessages.h"
#include "dvtContract.h"

namespace {

// Lookup key edits live in a higher layer; their class is known by name here.
bool failsValidation(QObject *component)
{
    const auto *edit = qobject_cast<TdvEdit *>(component);
    return edit && !component->inherits("TdvKey") && !edit->isValid();
}

} // namespace

TdvButton::TdvButton(QWidget *parent) : QPushButton(parent), dvt::TKeyHandler(this)
{
    setAutoDefault(true);
    m_focusBold.save(this);
    dvt::LoadOnFirstShow(this);
}

TdvButton::TdvButton(const QString &text, QWidget *parent) : TdvButton(parent)
{
    setText(text);
}

bool TdvButton::Validation()
{
    const QList<QObject *> components = dvt::Components(dvt::Owner(this));
    for (QObject *component : components) {
        if (!failsValidation(component))
            continue;
        auto *control = static_cast<QWidget *>(component);
        Q_EMIT validationFailed(control);
        // A hidden control keeps no pending focus either: Qt would hand it the
        // focus later, when it is shown.
        if (control->isVisible() && control->isEnabled())
            control->setFocus(Qt::OtherFocusReason);
        return false;
    }
    return true;
}

bool TdvButton::Confirmation()
{
    return dvConfirmMsg(QStringLiteral("Are you sure?"), true);
}

void TdvButton::Loaded()
{
    if (!dvt::IsDesigning(this))
        m_focusBold.save(this);
}

void TdvButton::nextCheckState()
{
    ReleaseSignals();
    bool ok = !m_validate || Validation();
    if (ok && m_confirm)
        ok = Confirmation();
    if (!ok) {
        WithholdSignals();
        return;
    }
    QPushButton::nextCheckState();
}

void TdvButton::WithholdSignals()
{
    m_withholding = true;
    m_signalsWereBlocked = blockSignals(true);
    QMetaObject::invokeMethod(
        this, [this] { ReleaseSignals(); }, Qt::QueuedConnection);
}

void TdvButton::ReleaseSignals()
{
    if (!m_withholding)
        return;
    m_withholding = false;
    blockSignals(m_signalsWereBlocked);
}

void TdvButton::MarkIfHighlighting()
{
    if (dvControlPanelHighlight() != dvt::clWindow)
        m_focusBold.mark(this);
}

void TdvButton::enterEvent(QEnterEvent *event)
{
    QPushButton::enterEvent(event);
    MarkIfHighlighting();
}

void TdvButton::leaveEvent(QEvent *event)
{
    QPushButton::leaveEvent(event);
    m_focusBold.restore(this);
}

void TdvButton::focusInEvent(QFocusEvent *event)
{
    QPushButton::focusInEvent(event);
    if (dvt::IsRealFocusChange(event))
        MarkIfHighlighting();
}

void TdvButton::focusOutEvent(QFocusEvent *event)
{
    QPushButton::focusOutEvent(event);
    if (dvt::IsRealFocusChange(event))
        m_focusBold.restore(this);
}

void TdvButton::keyPressEvent(QKeyEvent *event)
{
    RouteKeyEvent(event, [this](QKeyEvent *e) { QPushButton::keyPressEvent(e); });
}

void TdvButton::KeyDown(quint16 &key, dvt::TShiftState shift)
{
    // Esc only: Enter presses the button.
    if (key == dvt::vk::Escape)
        dvt::HandleContractKeys(key, false, m_closeOnEsc);
    TKeyHandler::KeyDown(key, shift);
}
