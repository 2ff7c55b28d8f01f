#pragma once

#include <memory>

#include "dvtPopupForm.h"

namespace dvt {
class TAddingMachine;
}

// The calculator pop-up: an adding machine (dvt::TAddingMachine) with a display,
// a keypad, a memory and a paper tape on which every operation is printed. The
// value edit opens it from a trigger character or a right click (dvPopups); it
// starts from the owner's number, and Enter totals, emits valueChosen() with the
// shown number, which the owner takes (see dvt::PopupForm), and closes. Esc
// closes without a result. It does not block: the user may go on working
// elsewhere.
//
// The keys of the keyboard and the panels of the keypad do the same: digits, the
// decimal key ("." and "," both type the locale's decimal separator, which the
// Dot panel shows), backspace, Delete (C), and S √, C, E, =, +, -, * x, / ÷,
// P or % (per cent), T (%T, per cent of total), V (V%, variation), I (±). The
// memory panels mC, mR, m + and m - and the tape panel cT have no keys.
//
// The tape is kept between openings in "tape.txt" in the library's per-user
// folder (dvt::UserFolder()): read when the window is made (a missing or
// unreadable file gives an empty tape), written when it is closed (a failure is
// told once, with dvErrorMsg, until a later save succeeds). Each activation of
// the window ends the tape with one blank line.
//
// The panels, labels and the tape carry the names a form designer would give
// them: Seven ... Zero, Dot, Divide, Times, Minus, Plus, Percent, Invert, Clear,
// Equals, ClearTape, ClearValue, PercentOfTotal, Variation, Sqrt, MemClear,
// MemRetrieve, MemPlus, MemMinus (buttons), Operator and Display (labels),
// TapeMemo (a plain text edit).
class TdvCalculatorForm : public dvt::PopupForm
{
    Q_OBJECT

public:
    explicit TdvCalculatorForm(QWidget *owner = nullptr);
    ~TdvCalculatorForm() override;

    // The arithmetic behind the window, read-only: display, operator, tape.
    const dvt::TAddingMachine &Machine() const;

    // The file that keeps the tape.
    static QString TapeFile();

Q_SIGNALS:
    // Enter was pressed: the number the calculator shows.
    void valueChosen(double value);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    std::unique_ptr<class TdvCalculatorFormPrivate> const d;
};
