#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class TdvGrid;

// The pick list of a lookup key edit (TdvKey): a dialog named
// "dvSelectionForm" that holds one TdvGrid ("Grid"), into which the key edit
// loads its SELECT of codes and descriptions, column 0 holding the code. The
// key edit creates one for each opening, with itself as the owner, and shows it
// modally.
//
// - Keys reach the dialog before the grid: Esc closes it without a choice;
//   Enter chooses the current row. A double click on a row chooses it too.
//   Choosing takes the trimmed text of column 0 of the current row; when that is
//   empty (a list without rows) the dialog closes without a choice.
// - When shown, the dialog is made as wide as the grid's columns (4 pixels plus
//   each column's width and one pixel of grid line), but at most the screen's
//   width less 100 pixels, and centred on the screen. It stays on top.
//
// The choice is announced by codeChosen() as the dialog closes; the key edit
// applies it through its own setter.
class TdvSelectionForm : public QDialog
{
    Q_OBJECT
    Q_PROPERTY(QString ChosenCode READ ChosenCode STORED false)

public:
    explicit TdvSelectionForm(QWidget *owner = nullptr);
    ~TdvSelectionForm() override;

    TdvGrid *Grid() const;

    // The code chosen; empty until a row is chosen.
    QString ChosenCode() const;

Q_SIGNALS:
    // The dialog closed with a choice (Enter or a double click on a row).
    void codeChosen(const QString &code);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Takes column 0 of the current row and closes the dialog.
    void Choose();

    struct Private;
    std::unique_ptr<Private> const d;
};
