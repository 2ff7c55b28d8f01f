#include "dvGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include "dvGridModel.h"
#include "dvGrid_p.h"
#include "dvPopups.h"
#include "dvStrings.h"
#include "dvtApplication.h"
#include "dvtContract.h"
#include "dvtControl.h"
#include "dvtDateTime.h"
#include "dvtException.h"
#include "dvtFocusMarking.h"
#include "dvtFormat.h"
#include "dvtFormatSettings.h"
#include "dvtLogging.h"

using namespace dvt;

namespace {

// Runs an application's handler; what it throws stops at this boundary.
template<class Call>
void Guarded(const QObject *grid, const char *what, Call call)
{
    try {
        call();
    } catch (const std::exception &error) {
        qCWarning(lcGrid).noquote() << Describe(grid) << what << "raised:" << error.what();
    } catch (...) {
        qCWarning(lcGrid).noquote() << Describe(grid) << what << "raised";
    }
}

} // namespace

class TdvGrid::Private
{
public:
    explicit Private(TdvGrid *grid) : q(grid) {}

    TdvGrid *q;
    TdvGridModel *model = nullptr;
    QString select;
    QString trigger = QStringLiteral("?");
    TColor highlight = clWindow;
    TColor savedColor = clWindow;
    int noSelectCells = 0;
    int fixedCols = 0;
    bool closeOnEsc = false;
    bool rowChanged = false;
    QString lastSort;
    TdvGrid::TGridOptions options;
    QPointer<QLineEdit> editor;
    QPainter *canvas = nullptr;

    int logical(int col) const { return q->horizontalHeader()->logicalIndex(col); }
    int visual(int column) const { return q->horizontalHeader()->visualIndex(column); }
    QLineEdit *visibleEditor() const { return editor && editor->isVisible() ? editor : nullptr; }

    // The select-cell step: answers whether the current cell may move there.
    bool selectCell(int col, int row);
    void reportChangedRow();
    // The editor's text handed to the cell (the row-changed flag first).
    void setEditText(int col, int row, const QString &text);
    // The current cell's text: the editor's while it is shown.
    QString currentText() const;
    void setCurrentText(const QString &text);
    void openPopup(bool calendar);
    void sortBy(int col);
    void shapeColumns();
    // Hands the item lists (Headers, Formats) to the model; when they differ,
    // the signal tells the one that was set.
    void setItems(const QString &headers, const QString &formats,
                  void (TdvGrid::*changed)(const QString &), const QString &set);
    QColor highlightColor() const;
    bool typeRules(QChar &key);
};

bool TdvGrid::Private::selectCell(int col, int row)
{
    if (q->Row() > 0)
        q->RefreshCell(q->Col(), q->Row());
    bool result = col >= noSelectCells;
    if (q->OnSelectCell)
        Guarded(q, "OnSelectCell", [&] { q->OnSelectCell(q, col, row, result); });
    Q_EMIT q->selectCell(col, row, &result);
    if (result && row != q->Row())
        reportChangedRow();
    return result;
}

void TdvGrid::Private::reportChangedRow()
{
    const bool listened =
        q->OnExitChangedRow
        || q->isSignalConnected(QMetaMethod::fromSignal(&TdvGrid::exitChangedRow));
    const int row = q->Row();
    if (row < 1 || !rowChanged || !listened)
        return;
    if (q->OnExitChangedRow)
        Guarded(q, "OnExitChangedRow", [&] { q->OnExitChangedRow(q, row); });
    Q_EMIT q->exitChangedRow(row);
    rowChanged = false;
}

void TdvGrid::Private::setEditText(int col, int row, const QString &text)
{
    if (Trim(text) != Trim(q->Cells(col, row)))
        rowChanged = true;
    if (text == q->Cells(col, row))
        return;
    q->SetCells(col, row, text);
    Q_EMIT q->cellEdited(col, row, text);
}

QString TdvGrid::Private::currentText() const
{
    if (QLineEdit *shown = visibleEditor())
        return shown->text();
    return q->Cells(q->Col(), q->Row());
}

void TdvGrid::Private::setCurrentText(const QString &text)
{
    if (QLineEdit *shown = visibleEditor())
        shown->setText(text);
    if (q->Cells(q->Col(), q->Row()) == text)
        return;
    q->SetCells(q->Col(), q->Row(), text);
    Q_EMIT q->cellEdited(q->Col(), q->Row(), text);
}

void TdvGrid::Private::openPopup(bool calendar)
{
    QWidget *owner = visibleEditor();
    if (!owner)
        owner = q;
    if (calendar)
        dvPopups::OpenCalendar(owner);
    else
        dvPopups::OpenCalculator(owner);
}

void TdvGrid::Private::shapeColumns()
{
    QHeaderView *header = q->horizontalHeader();
    for (int column = 0; column < model->ColCount(); ++column) {
        if (header->visualIndex(column) != column)
            header->moveSection(header->visualIndex(column), column); // back in field order
    }
    const QList<TFieldDef> &defs = model->FieldDefs();
    qreal points = q->font().pointSizeF();
    if (points <= 0)
        points = q->font().pixelSize() * 0.75;
    for (int c = 0; c < model->ColCount() && c < defs.size(); ++c) {
        const TFieldType type = defs[c].DataType;
        if ((type == ftString || type == ftFixedChar || type == ftWideString)
            && !model->Cell(c, 0).contains(u'?') && !model->HeaderItem(c).contains(u'?'))
            q->setColumnWidth(c, int(defs[c].Size * points * 0.8));
    }
    q->setCurrentIndex(model->index(0, 0));
}

void TdvGrid::Private::sortBy(int col)
{
    if (!model->IsOpen())
        return;
    QString column = dvStringItem(q->CellValue(col, 0), 1, u'|');
    QString statement = model->Statement().toLower();
    if (column == lastSort)
        column += QStringLiteral(" descending");
    const qsizetype orderBy = statement.indexOf(QStringLiteral("order by"));
    if (orderBy >= 0)
        statement.truncate(orderBy);
    statement += QStringLiteral(" order by ") + column;
    // The old result stays open until the new one has rows.
    if (!model->LoadIfRows(statement))
        return;
    select = statement;
    lastSort = column;
    shapeColumns();
    Q_EMIT q->selectChanged(select);
    Q_EMIT q->reshaped();
    Q_EMIT q->loaded(true);
}

void TdvGrid::Private::setItems(const QString &headers, const QString &formats,
                                void (TdvGrid::*changed)(const QString &), const QString &set)
{
    if (headers == model->Headers() && formats == model->Formats())
        return;
    model->SetItemLists(headers, formats);
    Q_EMIT(q->*changed)(set);
}

QColor TdvGrid::Private::highlightColor() const
{
    TColor color = EffectiveHighlight(highlight);
    if (color == clWindow)
        color = savedColor;
    return color.toQColor(q->palette());
}

// The key-press rules by the current column's kind; answers whether the key
// may be typed.
bool TdvGrid::Private::typeRules(QChar &key)
{
    const int column = logical(q->Col());
    const int field = model->FieldIndex(column);
    const auto consume = [&key] {
        key = QChar();
        return false;
    };
    const bool editing = options & goEditing;
    if (model->IsYesNoColumn(column)) {
        if (key == u'Y' || key == u'y')
            setCurrentText(QStringLiteral("Yes"));
        else if (key == u'N' || key == u'n')
            setCurrentText(QStringLiteral("No"));
        else if (key == u' ')
            setCurrentText(currentText() == u"Yes" ? QStringLiteral("No") : QStringLiteral("Yes"));
        if (key != u'\r')
            consume();
    }
    if (model->IsNumericColumn(column) && !key.isNull()) {
        if (trigger.contains(key) && editing) {
            consume();
            openPopup(false);
        } else if (key == u'C' || key == u'c') {
            if (QLineEdit *shown = visibleEditor())
                shown->clear();
            else
                setCurrentText(QString());
            consume();
        } else if (!QStringLiteral("0123456789+-*/,.\b\r").contains(key)) {
            consume();
        }
    }
    if (model->IsDateColumn(column) && !key.isNull()) {
        if (key == u'+' || key == u'-') {
            QString fmt = model->FormatItem(field);
            if (fmt.isEmpty())
                fmt = FormatSettings().ShortDateFormat;
            TDateTime date = 0;
            if (TryStrToDateTime(currentText(), date)) {
                try {
                    setCurrentText(FormatDateTime(fmt, date + (key == u'+' ? 1.0 : -1.0)));
                } catch (const Exception &) {
                    // a date beyond the calendar or a broken pattern: unchanged
                }
            }
            consume();
        } else if (trigger.contains(key) && editing) {
            consume();
            openPopup(true);
        } else if (!QStringLiteral("0123456789/\b\r").contains(key)) {
            consume();
        }
    }
    return !key.isNull();
}

// --- The delegate -------------------------------------------------------------------

TdvGridDelegate::TdvGridDelegate(TdvGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

void TdvGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const
{
    TdvGrid::Private &d = *m_grid->d;
    const int col = d.visual(index.column());
    const int row = index.row() + 1;
    const bool focused = (option.state & QStyle::State_HasFocus) && index == m_grid->currentIndex();
    TGridDrawState state;
    state.setFlag(gdSelected, option.state & QStyle::State_Selected);
    state.setFlag(gdFocused, focused);
    d.canvas = painter;
    if (m_grid->OnDrawCell)
        Guarded(m_grid, "OnDrawCell",
                [&] { m_grid->OnDrawCell(m_grid, col, row, option.rect, state); });
    Q_EMIT m_grid->drawCell(col, row, option.rect, state);
    d.canvas = nullptr;

    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index); // loads the row
    const QString text = cell.text;
    cell.text.clear();
    painter->save();
    QPalette::ColorRole textRole = QPalette::Text;
    if (focused) {
        painter->fillRect(cell.rect, d.highlightColor());
    } else {
        cell.state &= ~QStyle::State_HasFocus;
        QStyle *style = m_grid->style();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, m_grid);
        if (cell.state & QStyle::State_Selected)
            textRole = QPalette::HighlightedText;
    }
    painter->setPen(m_grid->palette().color(textRole));
    const bool right = cell.displayAlignment & Qt::AlignRight;
    const QRect area = cell.rect.adjusted(2, 2, -2, 0);
    painter->drawText(area,
                      Qt::TextDontClip | Qt::TextSingleLine | Qt::AlignTop
                          | (right ? Qt::AlignRight : Qt::AlignLeft),
                      text);
    painter->restore();
}

QWidget *TdvGridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                       const QModelIndex &index) const
{
    auto *editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setAlignment(Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt()));
    Q_UNUSED(option)
    TdvGrid *grid = m_grid;
    const QPersistentModelIndex cell(index);
    connect(editor, &QLineEdit::textEdited, grid, [grid, cell](const QString &text) {
        if (cell.isValid())
            grid->d->setEditText(grid->d->visual(cell.column()), cell.row() + 1, text);
    });
    grid->d->editor = editor;
    m_editing = index;
    m_original = index.data(Qt::EditRole).toString();
    return editor;
}

void TdvGridDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                   const QModelIndex &index) const
{
    Q_UNUSED(model)
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        m_grid->d->setEditText(m_grid->d->visual(index.column()), index.row() + 1, line->text());
}

bool TdvGridDelegate::eventFilter(QObject *watched, QEvent *event)
{
    auto *editor = qobject_cast<QWidget *>(watched);
    if (event->type() == QEvent::KeyPress && editor) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->text().isEmpty())
            return QStyledItemDelegate::eventFilter(watched, event);
        bool handled = false;
        const bool passed = m_grid->RouteKeyEvent(key, [&](QKeyEvent *remaining) {
            handled = QStyledItemDelegate::eventFilter(watched, remaining);
        });
        if (passed && key->key() == Qt::Key_Escape && m_editing.isValid())
            m_grid->Model()->SetCell(m_editing.column(), m_editing.row() + 1, m_original);
        return !passed || handled;
    }
    if (event->type() == QEvent::FocusOut && editor
        && IsRealFocusChange(static_cast<QFocusEvent *>(event))) {
        // Closing the editor hands the focus back to the grid only after this
        // event: whether the focus left the grid is known once the loop runs.
        QTimer::singleShot(0, m_grid, [grid = m_grid] {
            QWidget *next = QApplication::focusWidget();
            if (next != grid && !grid->isAncestorOf(next))
                grid->d->reportChangedRow();
        });
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

// --- The grid -----------------------------------------------------------------------

TdvGrid::TdvGrid(QWidget *parent)
    : QTableView(parent), TKeyHandler(this), d(std::make_unique<Private>(this))
{
    d->model = new TdvGridModel(this);
    setModel(d->model);
    setItemDelegate(new TdvGridDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->viewport()->installEventFilter(this);
    setTabKeyNavigation(false);
    SetDefaultRowHeight(18);
    SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect
               | goColSizing | goColMoving | goEditing);
    setCurrentIndex(d->model->index(0, 0));
    LoadOnFirstShow(this);
}

TdvGrid::~TdvGrid() = default;

TdvGridModel *TdvGrid::Model() const
{
    return d->model;
}

QString TdvGrid::Select() const
{
    return d->select;
}

void TdvGrid::SetSelect(const QString &statement)
{
    const QString stored = Trim(statement).toLower();
    if (stored == d->select)
        return;
    d->select = stored;
    Q_EMIT selectChanged(stored);
}

QString TdvGrid::Headers() const
{
    return d->model->Headers();
}

void TdvGrid::SetHeaders(const QString &headers)
{
    d->setItems(headers, Formats(), &TdvGrid::headersChanged, headers);
}

QString TdvGrid::Formats() const
{
    return d->model->Formats();
}

void TdvGrid::SetFormats(const QString &formats)
{
    d->setItems(Headers(), formats, &TdvGrid::formatsChanged, formats);
}

int TdvGrid::DefaultRowHeight() const
{
    return verticalHeader()->defaultSectionSize();
}

void TdvGrid::SetDefaultRowHeight(int height)
{
    if (height < 1)
        return;
    verticalHeader()->setMinimumSectionSize(
        std::min(height, verticalHeader()->minimumSectionSize()));
    verticalHeader()->setDefaultSectionSize(height);
}

int TdvGrid::FixedCols() const
{
    return d->fixedCols;
}

void TdvGrid::SetFixedCols(int count)
{
    d->fixedCols = std::max(count, 0);
}

TColor TdvGrid::Highlight() const
{
    return d->highlight;
}

void TdvGrid::SetHighlight(TColor color)
{
    if (color == d->highlight)
        return;
    d->highlight = color;
    viewport()->update();
    Q_EMIT highlightChanged(ToPropertyColor(color));
}

QColor TdvGrid::HighlightProperty() const
{
    return ToPropertyColor(d->highlight);
}

void TdvGrid::setHighlight(const QColor &color)
{
    SetHighlight(FromPropertyColor(color));
}

int TdvGrid::NoSelectCells() const
{
    return d->noSelectCells;
}

void TdvGrid::SetNoSelectCells(int count)
{
    if (count >= 0 && count < ColCount())
        d->noSelectCells = count;
}

bool TdvGrid::CloseOnEsc() const
{
    return d->closeOnEsc;
}

void TdvGrid::SetCloseOnEsc(bool close)
{
    d->closeOnEsc = close;
}

QString TdvGrid::Trigger() const
{
    return d->trigger;
}

void TdvGrid::SetTrigger(const QString &trigger)
{
    d->trigger = trigger;
}

TdvGrid::TGridOptions TdvGrid::Options() const
{
    return d->options;
}

void TdvGrid::SetOptions(TGridOptions options)
{
    d->options = options;
    setShowGrid(options & (goVertLine | goHorzLine));
    setSelectionMode(options & goRangeSelect ? ContiguousSelection : SingleSelection);
    horizontalHeader()->setSectionsMovable(options & goColMoving);
    horizontalHeader()->setSectionResizeMode(options & goColSizing ? QHeaderView::Interactive
                                                                   : QHeaderView::Fixed);
    setEditTriggers(options & goEditing ? AnyKeyPressed | DoubleClicked | EditKeyPressed
                                        : NoEditTriggers);
    d->model->SetEditable(options & goEditing);
}

void TdvGrid::Load()
{
    if (d->select.isEmpty())
        qCWarning(lcGrid).noquote() << Describe(this) << "Load() without a Select statement";
    const bool ok = d->model->Load(d->select);
    if (ok)
        d->shapeColumns();
    else
        setCurrentIndex(d->model->index(0, std::min(currentIndex().column(), ColCount() - 1)));
    Q_EMIT reshaped();
    Q_EMIT loaded(ok);
}

QString TdvGrid::CellValue(int ACol, int ARow)
{
    return d->model->CellValue(d->logical(ACol), ARow);
}

QString TdvGrid::Value(const QString &FieldName, int ARow)
{
    for (int col = 0; col < ColCount(); ++col) {
        if (dvStringItem(Cells(col, 0), 1, u'|').compare(FieldName, Qt::CaseInsensitive) == 0)
            return CellValue(col, std::max({ARow, Row(), 1}));
    }
    return {};
}

void TdvGrid::RefreshCell(int ACol, int ARow)
{
    d->model->RefreshCell(d->logical(ACol), ARow);
}

QString TdvGrid::Cells(int ACol, int ARow) const
{
    return d->model->Cell(d->logical(ACol), ARow);
}

void TdvGrid::SetCells(int ACol, int ARow, const QString &text)
{
    if (ACol < 0 || ACol >= ColCount() || ARow < 0 || ARow >= RowCount()) {
        qCWarning(lcGrid).noquote() << Describe(this) << "has no cell" << ACol << ARow;
        return;
    }
    d->model->SetCell(d->logical(ACol), ARow, text);
}

int TdvGrid::Col() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? d->visual(current.column()) : 0;
}

void TdvGrid::SetCol(int col)
{
    if (col < 0 || col >= ColCount() || col == Col() || !d->selectCell(col, Row()))
        return;
    setCurrentIndex(d->model->index(Row() - 1, d->logical(col)));
}

int TdvGrid::Row() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 1;
}

void TdvGrid::SetRow(int row)
{
    if (row < 1 || row >= RowCount() || row == Row() || !d->selectCell(Col(), row))
        return;
    setCurrentIndex(d->model->index(row - 1, d->logical(Col())));
}

int TdvGrid::ColCount() const
{
    return d->model->ColCount();
}

void TdvGrid::SetColCount(int count)
{
    d->model->Reshape(count, RowCount());
    Q_EMIT reshaped();
}

int TdvGrid::RowCount() const
{
    return d->model->RowCount();
}

void TdvGrid::SetRowCount(int count)
{
    d->model->Reshape(ColCount(), count);
    Q_EMIT reshaped();
}

int TdvGrid::ColWidths(int ACol) const
{
    return columnWidth(d->logical(ACol));
}

void TdvGrid::SetColWidths(int ACol, int width)
{
    setColumnWidth(d->logical(ACol), width);
}

TGridRect TdvGrid::Selection() const
{
    TGridRect rect{Col(), Row(), Col(), Row()};
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return rect;
    rect = {ColCount(), RowCount(), -1, -1};
    for (const QModelIndex &index : selected) {
        const int col = d->visual(index.column());
        rect.Left = std::min(rect.Left, col);
        rect.Right = std::max(rect.Right, col);
        rect.Top = std::min(rect.Top, index.row() + 1);
        rect.Bottom = std::max(rect.Bottom, index.row() + 1);
    }
    return rect;
}

void TdvGrid::SetSelection(const TGridRect &rect)
{
    QItemSelection selection;
    for (int col = std::max(rect.Left, 0); col <= rect.Right && col < ColCount(); ++col) {
        const int column = d->logical(col);
        selection.select(d->model->index(std::max(rect.Top, 1) - 1, column),
                         d->model->index(std::min(rect.Bottom, RowCount() - 1) - 1, column));
    }
    selectionModel()->setCurrentIndex(d->model->index(Row() - 1, d->logical(rect.Left)),
                                      QItemSelectionModel::NoUpdate);
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

QWidget *TdvGrid::InplaceEditor() const
{
    return d->visibleEditor();
}

QPainter *TdvGrid::Canvas() const
{
    return d->canvas;
}

void TdvGrid::Loaded()
{
    if (!IsDesigning(this))
        d->savedColor = dvt::Color(this);
}

void TdvGrid::KeyDown(quint16 &key, TShiftState shift)
{
    if (key == vk::Escape && CloseOnEscActive(d->closeOnEsc)) {
        key = 0;
        CloseActiveForm();
    }
    TKeyHandler::KeyDown(key, shift);
}

void TdvGrid::KeyPress(QChar &key)
{
    d->typeRules(key);
    TKeyHandler::KeyPress(key);
}

void TdvGrid::keyPressEvent(QKeyEvent *event)
{
    RouteKeyEvent(event, [this](QKeyEvent *key) { QTableView::keyPressEvent(key); });
}

void TdvGrid::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && index != currentIndex()
        && !d->selectCell(d->visual(index.column()), index.row() + 1)) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
    if (event->button() != Qt::RightButton || !index.isValid() || !(d->options & goEditing))
        return;
    const bool numeric = d->model->IsNumericColumn(index.column());
    if (!numeric && !d->model->IsDateColumn(index.column()))
        return;
    setCurrentIndex(index);
    d->openPopup(!numeric);
}

void TdvGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && d->visual(index.column()) < d->noSelectCells)
        return; // a drag does not select the leading columns
    QTableView::mouseMoveEvent(event);
}

void TdvGrid::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    const TGridRect selection = Selection();
    if (selection.Left >= d->noSelectCells)
        return;
    const int col = d->noSelectCells;
    setCurrentIndex(d->model->index(Row() - 1, d->logical(col)));
    SetSelection({col, selection.Top, col, selection.Bottom});
}

void TdvGrid::focusOutEvent(QFocusEvent *event)
{
    QWidget *next = QApplication::focusWidget();
    if (IsRealFocusChange(event) && !(next && isAncestorOf(next)))
        d->reportChangedRow();
    QTableView::focusOutEvent(event);
}

bool TdvGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->modifiers() & Qt::ShiftModifier) {
            const int column = horizontalHeader()->logicalIndexAt(mouse->position().toPoint());
            if (column >= 0)
                d->sortBy(d->visual(column));
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

QModelIndex TdvGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex target = QTableView::moveCursor(action, modifiers);
    if (target.isValid() && target != currentIndex()
        && !d->selectCell(d->visual(target.column()), target.row() + 1))
        return currentIndex();
    return target;
}

void TdvGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    Q_EMIT cellMoved(Col(), Row());
}
