#include "dvSelectionForm.h"

#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>

#include "dvAboutForm.h"
#include "dvGrid.h"

struct TdvSelectionForm::Private
{
    TdvGrid *grid = nullptr;
    QString chosen;
};

TdvSelectionForm::TdvSelectionForm(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint
                         | Qt::WindowStaysOnTopHint)
    , d(std::make_unique<Private>())
{
    setObjectName(QStringLiteral("dvSelectionForm"));
    setWindowTitle(QStringLiteral("Select:"));
    resize(320, 430);

    d->grid = new TdvGrid(this);
    d->grid->setObjectName(QStringLiteral("Grid"));
    d->grid->SetColCount(2);
    d->grid->SetRowCount(2);
    d->grid->SetColWidths(0, 64);
    d->grid->SetColWidths(1, 239);
    d->grid->SetOptions(TdvGrid::goFixedVertLine | TdvGrid::goFixedHorzLine | TdvGrid::goVertLine
                        | TdvGrid::goHorzLine | TdvGrid::goRangeSelect | TdvGrid::goColSizing
                        | TdvGrid::goColMoving);
    d->grid->SetCloseOnEsc(true);
    d->grid->SetTrigger(QStringLiteral("?"));
    d->grid->installEventFilter(this);
    connect(d->grid, &QAbstractItemView::doubleClicked, this, &TdvSelectionForm::Choose);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d->grid);
    d->grid->setFocus();
    TdvAboutForm::AddWindowMenu(this);
}

TdvSelectionForm::~TdvSelectionForm() = default;

TdvGrid *TdvSelectionForm::Grid() const
{
    return d->grid;
}

QString TdvSelectionForm::ChosenCode() const
{
    return d->chosen;
}

void TdvSelectionForm::Choose()
{
    d->chosen = d->grid->CellValue(0, d->grid->Row()).trimmed();
    if (d->chosen.isEmpty()) {
        reject();
        return;
    }
    accept();
    Q_EMIT codeChosen(d->chosen);
}

void TdvSelectionForm::showEvent(QShowEvent *event)
{
    int width = 4;
    for (int col = 0; col < d->grid->ColCount(); ++col)
        width += d->grid->ColWidths(col) + 1;
    if (const QScreen *shown = screen()) {
        const QRect desktop = shown->availableGeometry();
        resize(qMin(width, desktop.width() - 100), height());
        move(desktop.center() - rect().center());
    }
    QDialog::showEvent(event);
}

bool TdvSelectionForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == d->grid && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Escape:
            reject();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Choose();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
