#include "dvtPopupForm.h"

#include <QAbstractItemView>
#include <QGuiApplication>
#include <QMetaProperty>
#include <QScreen>

#include "dvAboutForm.h"

using namespace Qt::StringLiterals;

namespace dvt {

PopupForm::PopupForm(QWidget *owner, const QString &caption, Qt::WindowFlags extraFlags)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                         | Qt::WindowCloseButtonHint | extraFlags)
    , m_owner(owner)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    setCursor(Qt::PointingHandCursor);

    TdvAboutForm::AddWindowMenu(this);
}

void PopupForm::Popup()
{
    // Shown first, so that the frame the window gets is counted in.
    show();
    if (const std::optional<QPoint> corner = OwnerCorner()) {
        const QScreen *screen = QGuiApplication::screenAt(*corner);
        const QRect desktop = (screen ? screen : m_owner->screen())->availableGeometry();
        const QSize size = frameGeometry().size();
        const int left =
            std::max(std::min(corner->x(), desktop.right() + 1 - size.width()), desktop.left());
        const int top =
            std::max(std::min(corner->y(), desktop.bottom() + 1 - size.height()), desktop.top());
        move(left, top);
    }
    activateWindow();
}

QVariant PopupForm::OwnerValue() const
{
    if (!m_owner)
        return {};
    if (const auto *view = qobject_cast<const QAbstractItemView *>(m_owner.data()))
        return view->currentIndex().data(Qt::EditRole);
    const QMetaProperty property = m_owner->metaObject()->userProperty();
    return property.isValid() ? property.read(m_owner) : QVariant();
}

void PopupForm::WriteOwner(const QVariant &value, const QString &text) const
{
    if (!m_owner)
        return;
    const auto typed = [&](QMetaType held) {
        return held.id() == QMetaType::QString ? QVariant(text) : value;
    };
    if (const auto *view = qobject_cast<const QAbstractItemView *>(m_owner.data())) {
        const QModelIndex cell = view->currentIndex();
        if (cell.isValid())
            view->model()->setData(cell, typed(cell.data(Qt::EditRole).metaType()), Qt::EditRole);
        return;
    }
    const QMetaProperty property = m_owner->metaObject()->userProperty();
    if (property.isValid())
        property.write(m_owner, typed(property.metaType()));
}

std::optional<QPoint> PopupForm::OwnerCorner() const
{
    if (!m_owner)
        return std::nullopt;
    if (const auto *view = qobject_cast<const QAbstractItemView *>(m_owner.data()))
        return view->viewport()->mapToGlobal(view->visualRect(view->currentIndex()).topLeft());
    return m_owner->mapToGlobal(QPoint(0, 0));
}

} // namespace dvt
