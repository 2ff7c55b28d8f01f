#include "dvCheckListBox.h"

#include <QFocusEvent>
#include <QMenu>
#include <QMouseEvent>

#include "dvtFocusMarking.h"

TdvCheckListBox::TdvCheckListBox(QWidget *parent)
    : QListWidget(parent), dvt::TKeyHandler(this), m_popupMenu(new QMenu(this))
{
    m_popupMenu->addAction(QStringLiteral("Select &All"), this, &TdvCheckListBox::SelectAllClick);
    m_popupMenu->addAction(QStringLiteral("&Unselect All"), this,
                           &TdvCheckListBox::UnselectAllClick);
    m_popupMenu->addAction(QStringLiteral("&Invert Selection"), this,
                           &TdvCheckListBox::InvertSelectionClick);
    // The list shows its own menu on the right button; no other menu may follow.
    setContextMenuPolicy(Qt::PreventContextMenu);
    connect(model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { MakeCheckable(first, last); });
    connect(model(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                if (roles.isEmpty() || roles.contains(Qt::CheckStateRole))
                    EmitIfCheckedItemsChanged();
            });
    connect(model(), &QAbstractItemModel::rowsRemoved, this,
            &TdvCheckListBox::EmitIfCheckedItemsChanged);
    dvt::LoadOnFirstShow(this);
}

QStringList TdvCheckListBox::CheckedItems() const
{
    QStringList texts;
    for (int row = 0; row < count(); ++row) {
        if (Checked(row))
            texts << item(row)->text();
    }
    return texts;
}

void TdvCheckListBox::SetCheckedItems(const QStringList &texts)
{
    SetAllChecked([&](int row, bool) { return texts.contains(item(row)->text()); });
}

QString TdvCheckListBox::keptValue() const
{
    QStringList rows;
    for (int row = 0; row < count(); ++row) {
        if (Checked(row))
            rows << QString::number(row);
    }
    return rows.join(u',');
}

void TdvCheckListBox::restoreKeptValue(const QString &text)
{
    const QStringList rows = text.split(u',', Qt::SkipEmptyParts);
    SetAllChecked([&](int row, bool) { return rows.contains(QString::number(row)); });
}

void TdvCheckListBox::EmitIfCheckedItemsChanged()
{
    const QStringList items = CheckedItems();
    if (items == m_lastCheckedItems)
        return;
    m_lastCheckedItems = items;
    Q_EMIT checkedItemsChanged(items);
}

bool TdvCheckListBox::Checked(int row) const
{
    const QListWidgetItem *it = item(row);
    return it && it->checkState() == Qt::Checked;
}

void TdvCheckListBox::SetChecked(int row, bool checked)
{
    if (QListWidgetItem *it = item(row))
        it->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TdvCheckListBox::SelectAllClick()
{
    SetAllChecked([](int, bool) { return true; });
}

void TdvCheckListBox::UnselectAllClick()
{
    SetAllChecked([](int, bool) { return false; });
}

void TdvCheckListBox::InvertSelectionClick()
{
    SetAllChecked([](int, bool checked) { return !checked; });
}

void TdvCheckListBox::SetAllChecked(const std::function<bool(int, bool)> &mark)
{
    for (int row = 0; row < count(); ++row)
        SetChecked(row, mark(row, Checked(row)));
}

void TdvCheckListBox::MakeCheckable(int first, int last)
{
    for (int row = first; row <= last; ++row) {
        QListWidgetItem *it = item(row);
        it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
        if (!it->data(Qt::CheckStateRole).isValid())
            it->setCheckState(Qt::Unchecked);
    }
}

void TdvCheckListBox::mousePressEvent(QMouseEvent *event)
{
    QListWidget::mousePressEvent(event);
    if (event->button() != Qt::RightButton)
        return;
    // Centred on the control, wherever the click was.
    const QPoint origin = mapToGlobal(contentsRect().topLeft());
    m_popupMenu->popup(origin + QPoint(width() / 2, height() / 2));
}

void TdvCheckListBox::focusInEvent(QFocusEvent *event)
{
    QListWidget::focusInEvent(event);
    if (dvt::IsRealFocusChange(event))
        m_focusHighlight.enter(this, m_highlight);
}

void TdvCheckListBox::focusOutEvent(QFocusEvent *event)
{
    QListWidget::focusOutEvent(event);
    if (dvt::IsRealFocusChange(event))
        m_focusHighlight.exit(this);
}

void TdvCheckListBox::keyPressEvent(QKeyEvent *event)
{
    RouteKeyEvent(event, [this](QKeyEvent *e) { QListWidget::keyPressEvent(e); });
}

void TdvCheckListBox::KeyDown(quint16 &key, dvt::TShiftState shift)
{
    dvt::HandleContractKeys(key, m_enterAsTab, m_closeOnEsc);
    TKeyHandler::KeyDown(key, shift);
}
