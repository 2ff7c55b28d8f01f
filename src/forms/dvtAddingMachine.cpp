#include "dvtAddingMachine.h"

#include <cmath>
#include <optional>

#include "dvMessages.h"
#include "dvStrings.h"
#include "dvtFormat.h"
#include "dvtFormatSettings.h"

using namespace Qt::StringLiterals;

namespace dvt {

namespace {

// a op b, or nothing when the machine would have failed: a division by zero, or
// a result that overflows or is no number. No operator leaves a as it is.
std::optional<double> Apply(TAddingMachine::TOperator op, double a, double b)
{
    double result = a;
    switch (op) {
    case TAddingMachine::opNone:
        break;
    case TAddingMachine::opPlus:
        result = a + b;
        break;
    case TAddingMachine::opMinus:
        result = a - b;
        break;
    case TAddingMachine::opTimes:
        result = a * b;
        break;
    case TAddingMachine::opDivide:
        if (b == 0)
            return std::nullopt;
        result = a / b;
        break;
    }
    if (!std::isfinite(result))
        return std::nullopt;
    return result;
}

// The operator cut or padded with blanks to three characters: the operators
// form a column at the right edge of the right-aligned tape.
QString OperatorField(const QString &op)
{
    return (op + u"   "_s).left(3);
}

// The change from base to value in per cent of base, or nothing for base 0.
std::optional<double> PercentOf(double value, double base)
{
    return Apply(TAddingMachine::opDivide, value * 100, base);
}

} // namespace

void TAddingMachine::Start(double value)
{
    Show(value);
}

bool TAddingMachine::TypeKey(QChar key)
{
    const QChar decimalSeparator = FormatSettings().DecimalSeparator;
    bool handled = true;
    switch (key.toUpper().unicode()) {
    case u'S':
        Sqrt();
        break;
    case u'C':
        Clear();
        break;
    case u'E':
        ClearValue();
        break;
    case u'=':
        Equals();
        break;
    case u'+':
        Plus();
        break;
    case u'-':
        Minus();
        break;
    case u'*':
        Times();
        break;
    case u'/':
        Divide();
        break;
    case u'P':
    case u'%':
        Percent();
        break;
    case u'T':
        PercentOfTotal();
        break;
    case u'V':
        Variation();
        break;
    case u'I':
        Invert();
        break;
    case u'\b':
        m_display.chop(1);
        break;
    case u'.':
    case u',':
        if (!m_display.contains(decimalSeparator))
            m_display += decimalSeparator;
        break;
    default:
        if (key >= u'0' && key <= u'9') {
            if (m_accumulator == 0 && m_newEntry) {
                m_newEntry = false;
                m_entry = 0;
                m_display = u"0"_s;
            }
            m_display += key;
        } else {
            handled = false;
        }
    }
    NormaliseDisplay();
    return handled;
}

void TAddingMachine::NormaliseDisplay()
{
    const QChar decimalSeparator = FormatSettings().DecimalSeparator;
    if (m_display.endsWith(decimalSeparator)
        || (m_display.endsWith(u'0') && m_display.contains(decimalSeparator)))
        return;
    Show(dvStrToFloat(m_display));
}

void TAddingMachine::Operate(TOperator next)
{
    if (m_pending == opNone)
        m_pending = opPlus;
    Print(m_entry, Sign(m_pending));
    Execute();
    m_pending = next;
}

bool TAddingMachine::Execute()
{
    const std::optional<double> result = Apply(m_pending, m_accumulator, m_entry);
    if (!result)
        return false;
    m_accumulator = *result;
    m_entry = 0;
    m_display = u"0"_s;
    return true;
}

void TAddingMachine::Equals()
{
    if (m_accumulator == 0)
        return; // a number alone, with nothing pending, is not totalled
    if (m_entry == 0) {
        // The total shows only on the tape.
        m_pending = opNone;
        Print(m_accumulator, u"="_s);
        PrintBlank();
        m_accumulator = 0;
        return;
    }
    Print(m_entry, Sign(m_pending));
    Execute();
    m_pending = opNone;
    Show(m_accumulator);
    m_accumulator = 0;
    m_newEntry = true;
    Print(m_entry, u"="_s);
    PrintBlank();
}

void TAddingMachine::Percent()
{
    Print(m_entry, u'%' + Sign(m_pending));
    const std::optional<double> share = Apply(opTimes, m_entry / 100, m_accumulator);
    if (!share)
        return;
    Print(*share, u"·"_s);
    const std::optional<double> result = Apply(m_pending, m_accumulator, *share);
    if (!result)
        return;
    Show(*result);
    Print(m_entry, u"="_s);
    PrintBlank();
    m_pending = opNone;
    m_accumulator = 0;
}

void TAddingMachine::PercentOfTotal()
{
    Print(m_entry, u"%t"_s);
    if (const std::optional<double> share = PercentOf(m_entry, m_accumulator))
        PrintResult(*share, u"%="_s);
}

void TAddingMachine::Variation()
{
    Print(m_entry, u"v%"_s);
    const std::optional<double> difference = Apply(opMinus, m_entry, m_accumulator);
    if (const std::optional<double> change =
            difference ? PercentOf(*difference, m_accumulator) : std::nullopt)
        PrintResult(*change, u"%="_s);
}

void TAddingMachine::Sqrt()
{
    Print(m_entry, u"V"_s);
    if (m_entry < 0) {
        dvErrorMsg(
            u"Invalid floating point operation: %1 has no square root."_s.arg(FloatToStr(m_entry)));
        return;
    }
    PrintResult(std::sqrt(m_entry), u"="_s);
}

void TAddingMachine::PrintResult(double result, const QString &op)
{
    Print(result, op);
    PrintBlank();
    m_pending = opNone;
    m_accumulator = 0;
    Show(0);
}

void TAddingMachine::Invert()
{
    Show(m_entry * -1);
    Print(m_entry, u"±"_s);
}

void TAddingMachine::Clear()
{
    if (m_accumulator == 0 && m_entry == 0)
        return;
    m_accumulator = 0;
    Show(0);
    m_pending = opNone;
    PrintText(u"C"_s);
}

void TAddingMachine::ClearValue()
{
    Show(0);
    PrintText(u"E"_s);
}

void TAddingMachine::ClearTape()
{
    m_tape.clear();
    ++m_tapeRewrites;
    Clear();
}

void TAddingMachine::MemRetrieve()
{
    Show(m_memory);
}

QString TAddingMachine::Sign(TOperator op)
{
    switch (op) {
    case opPlus:
        return u"+"_s;
    case opMinus:
        return u"-"_s;
    case opTimes:
        return u"x"_s;
    case opDivide:
        return u"÷"_s;
    case opNone:
        break;
    }
    return {};
}

void TAddingMachine::SetTape(const QStringList &lines)
{
    m_tape = lines;
    ++m_tapeRewrites;
}

void TAddingMachine::TidyTape()
{
    while (!m_tape.isEmpty() && m_tape.constLast().trimmed().isEmpty())
        m_tape.removeLast();
    ++m_tapeRewrites;
    PrintBlank();
}

void TAddingMachine::Print(double value, const QString &op)
{
    m_tape.append(FloatToStr(value) + u' ' + OperatorField(op));
}

void TAddingMachine::PrintText(const QString &op)
{
    m_tape.append(OperatorField(op));
}

void TAddingMachine::PrintBlank()
{
    m_tape.append(u" "_s);
}

void TAddingMachine::Show(double value)
{
    m_entry = value;
    m_display = FloatToStr(value);
}

} // namespace dvt
