#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

namespace dvt {

// The arithmetic of the calculator pop-up, kept apart from its window: a desk
// adding machine whose order of entry is "number, then the key that applies it".
//
// - The accumulator holds the running result; the pending operator is applied to
//   it with the next number. The first number of a calculation is added to the
//   accumulator, whatever operator key follows it.
// - = applies the pending operator, shows the total and prints it; %, %T, V% and
//   the square root print their results on the tape.
// - The new-entry flag (set at the start and after a completed =) makes the next
//   digit replace the shown number instead of extending it, while the
//   accumulator is 0.
// - Arithmetic that fails (division by zero, an overflowing or invalid result)
//   is skipped silently, leaving the state as it was; only the square root of a
//   negative number is told to the user (dvErrorMsg).
//
// Every tape line is the number in its shortest form (dvt::FloatToStr), a blank
// and an operator field of three characters ("5 +  ", "10 %+ "); lines without
// a number are the operator field alone ("C  "). A line holding a single blank
// separates completed calculations.
class TAddingMachine
{
public:
    // The pending operator.
    enum TOperator { opNone, opPlus, opMinus, opTimes, opDivide };

    // Starts from the number, shown in the display; the new-entry flag stays set,
    // so a digit typed first replaces it.
    void Start(double value);

    // A typed character, as the calculator window's keyboard hands it on (Esc and
    // Enter are the window's): digits, the decimal key ("." or ","), backspace,
    // and the letters and signs of the operations (S, C, E, =, +, -, *, /, P or %,
    // T, V, I, upper or lower case). The display is normalised after every key,
    // handled or not. Answers whether the key was one of these.
    bool TypeKey(QChar key);

    // The display as a typed key leaves it: a text ending in the decimal
    // separator, or in "0" after it, stays as typed ("12.", "1.50"); any other
    // text is read (dvStrToFloat) into the entry value and shown again in its
    // shortest form, so an empty display or a lone "-" shows "0".
    void NormaliseDisplay();

    // The operations of the keypad.
    void Plus() { Operate(opPlus); }
    void Minus() { Operate(opMinus); }
    void Times() { Operate(opTimes); }
    void Divide() { Operate(opDivide); }
    void Equals();
    void Percent();
    void PercentOfTotal();
    void Variation();
    void Sqrt();
    void Invert();
    void Clear();
    void ClearValue();
    void ClearTape();
    void MemPlus() { m_memory += m_entry; }
    void MemMinus() { m_memory -= m_entry; }
    void MemClear() { m_memory = 0; }
    void MemRetrieve();

    double Entry() const { return m_entry; }
    double Accumulator() const { return m_accumulator; }
    double Memory() const { return m_memory; }
    bool NewEntry() const { return m_newEntry; }
    TOperator Pending() const { return m_pending; }
    const QString &Display() const { return m_display; }
    // The sign of the pending operator: empty, "+", "-", "x" or "÷".
    static QString Sign(TOperator op);

    // The tape, a line per element.
    const QStringList &Tape() const { return m_tape; }
    void SetTape(const QStringList &lines);
    // Ends the tape with exactly one blank line, as each activation of the
    // window does: trailing empty or blank lines go, then " " is appended.
    void TidyTape();
    // Counts the changes of the tape other than appended lines (loading, tidying,
    // clearing), so that a view knows when appending is not enough.
    int TapeRewrites() const { return m_tapeRewrites; }

private:
    void Operate(TOperator next);
    // Applies the pending operator to the accumulator and the entry value; false,
    // with nothing changed, when the arithmetic fails.
    bool Execute();
    // Prints a result that shows only on the tape and ends the calculation.
    void PrintResult(double result, const QString &op);
    void Print(double value, const QString &op);
    void PrintText(const QString &op);
    void PrintBlank();
    void Show(double value);

    double m_memory = 0;
    double m_entry = 0;
    double m_accumulator = 0;
    bool m_newEntry = true;
    TOperator m_pending = opNone;
    QString m_display;
    QStringList m_tape;
    int m_tapeRewrites = 0;
};

} // namespace dvt
