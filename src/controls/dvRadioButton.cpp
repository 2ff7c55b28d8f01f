#include "dvRadioButton.h"

#include <QButtonGroup>

namespace {

// The buttons that share the check with the given one, in their order.
QList<QAbstractButton *> groupOf(QAbstractButton *button)
{
    if (QButtonGroup *group = button->group())
        return group->buttons();
    QList<QAbstractButton *> buttons;
    if (!button->autoExclusive() || !button->parent())
        return buttons;
    for (QObject *sibling : button->parent()->children()) {
        auto *radio = qobject_cast<QRadioButton *>(sibling);
        if (radio && radio->autoExclusive() && !radio->group())
            buttons.append(radio);
    }
    return buttons;
}

} // namespace

TdvRadioButton::TdvRadioButton(QWidget *parent) : TCheckableControl(this, parent)
{
    setFocusPolicy(Qt::StrongFocus);
    // The focus often leaves a button before its group unchecks it (a click on
    // another button takes the focus on press and checks on release), so the
    // "Yes" written then would outlive the choice.
    connect(this, &QAbstractButton::toggled, this, [this](bool checked) {
        if (!checked && KeepValue() && !dvt::IsDesigning(this))
            dvt::WriteKeptValue(this, QStringLiteral("No"));
    });
}

TdvRadioButton::TdvRadioButton(const QString &text, QWidget *parent) : TdvRadioButton(parent)
{
    setText(text);
}

void TdvRadioButton::KeyDown(quint16 &key, dvt::TShiftState shift)
{
    dvt::HandleContractKeys(key, EnterAsTab(), CloseOnEsc());
    if (key == dvt::vk::Space) {
        key = 0;
        MoveToNextInGroup();
    }
    TKeyHandler::KeyDown(key, shift);
}

// Qt's own arrow keys choose the neighbour by its place on the screen, so in a
// column of buttons Right finds none; the move follows the group's order instead.
void TdvRadioButton::MoveToNextInGroup()
{
    const QList<QAbstractButton *> buttons = groupOf(this);
    const qsizetype self = buttons.indexOf(this);
    if (self < 0)
        return;
    for (qsizetype step = 1; step < buttons.size(); ++step) {
        QAbstractButton *next = buttons.at((self + step) % buttons.size());
        if (next->isVisible() && next->isEnabled()) {
            next->setFocus(Qt::TabFocusReason);
            next->click();
            return;
        }
    }
}
