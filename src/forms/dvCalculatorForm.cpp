#include "dvCalculatorForm.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>

#include <array>

#include "dvMessages.h"
#include "dvStrings.h"
#include "dvtAddingMachine.h"
#include "dvtFolders.h"
#include "dvtFormat.h"
#include "dvtFormatSettings.h"
#include "dvtKeys.h"
#include "dvtLogging.h"

using namespace Qt::StringLiterals;
using dvt::TAddingMachine;

namespace {

// A panel of the keypad: it types its key, or runs an operation that has no key.
struct Panel
{
    const char *name;
    const char *caption;
    int column;
    int row;
    char16_t key;
    void (TAddingMachine::*operation)();
};

// The keypad as the window lays it out: columns at x = 4, 38, 72, 105, 139 and
// rows at y = 248 to 378, every panel 29 × 21 pixels.
constexpr std::array<int, 5> PanelX = {4, 38, 72, 105, 139};
constexpr int PanelTop = 248;
constexpr int RowHeight = 26;
constexpr QSize PanelSize(29, 21);

constexpr Panel Panels[] = {
    {"MemClear", "mC", 0, 0, 0, &TAddingMachine::MemClear},
    {"MemRetrieve", "mR", 1, 0, 0, &TAddingMachine::MemRetrieve},
    {"MemPlus", "m +", 2, 0, 0, &TAddingMachine::MemPlus},
    {"MemMinus", "m -", 3, 0, 0, &TAddingMachine::MemMinus},
    {"Clear", "C", 0, 1, u'C', nullptr},
    {"ClearValue", "E", 1, 1, u'E', nullptr},
    {"ClearTape", "cT", 2, 1, 0, &TAddingMachine::ClearTape},
    {"Invert", "±", 3, 1, u'I', nullptr},
    {"Seven", "7", 0, 2, u'7', nullptr},
    {"Eight", "8", 1, 2, u'8', nullptr},
    {"Nine", "9", 2, 2, u'9', nullptr},
    {"Divide", "÷", 3, 2, u'/', nullptr},
    {"Sqrt", "√", 4, 2, u'S', nullptr},
    {"Four", "4", 0, 3, u'4', nullptr},
    {"Five", "5", 1, 3, u'5', nullptr},
    {"Six", "6", 2, 3, u'6', nullptr},
    {"Times", "x", 3, 3, u'*', nullptr},
    {"Variation", "V%", 4, 3, u'V', nullptr},
    {"One", "1", 0, 4, u'1', nullptr},
    {"Two", "2", 1, 4, u'2', nullptr},
    {"Three", "3", 2, 4, u'3', nullptr},
    {"Minus", "-", 3, 4, u'-', nullptr},
    {"PercentOfTotal", "%T", 4, 4, u'T', nullptr},
    {"Zero", "0", 0, 5, u'0', nullptr},
    {"Dot", ".", 1, 5, u'.', nullptr},
    {"Equals", "=", 2, 5, u'=', nullptr},
    {"Plus", "+", 3, 5, u'+', nullptr},
    {"Percent", "%", 4, 5, u'%', nullptr},
};

void SetTextColor(QWidget *widget, QPalette::ColorRole role, Qt::GlobalColor color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

void SetBold(QWidget *widget)
{
    QFont font = widget->font();
    font.setBold(true);
    widget->setFont(font);
}

// Whether a failure to save the tape has been told and not yet followed by a
// successful save: the user hears of a broken tape file once.
bool saveFailureTold = false;

} // namespace

class TdvCalculatorFormPrivate
{
public:
    explicit TdvCalculatorFormPrivate(TdvCalculatorForm *form) : q(form) {}

    // A key, typed or from a panel.
    void Press(QChar key);
    // An operation of a panel without a key.
    void Run(void (TAddingMachine::*operation)());
    void Refresh();
    void LoadTape();
    // Replaces the tape file; false, with the reason in *error, when it fails.
    bool SaveTape(QString *error);

    TdvCalculatorForm *q;
    TAddingMachine machine;
    QPlainTextEdit *tape = nullptr;
    QLabel *display = nullptr;
    QLabel *pendingOperator = nullptr;
    qsizetype shownLines = 0;
    int shownRewrites = -1;
    bool closed = false;
};

void TdvCalculatorFormPrivate::Press(QChar key)
{
    if (key == u'\x1b') {
        q->close();
        return;
    }
    if (key == u'\r' || key == u'\n') {
        machine.Equals();
        Refresh();
        display->repaint(); // the total shows before the window goes
        Q_EMIT q->valueChosen(machine.Entry());
        q->close();
        return;
    }
    machine.TypeKey(key);
    Refresh();
}

void TdvCalculatorFormPrivate::Run(void (TAddingMachine::*operation)())
{
    (machine.*operation)();
    machine.NormaliseDisplay(); // as after a key, so panels and keys agree
    Refresh();
}

void TdvCalculatorFormPrivate::Refresh()
{
    display->setText(machine.Display());
    pendingOperator->setText(TAddingMachine::Sign(machine.Pending()));
    const QStringList &lines = machine.Tape();
    if (machine.TapeRewrites() != shownRewrites || shownLines == 0) {
        tape->setPlainText(lines.join(u'\n'));
    } else {
        for (qsizetype i = shownLines; i < lines.size(); ++i)
            tape->appendPlainText(lines.at(i));
    }
    shownLines = lines.size();
    shownRewrites = machine.TapeRewrites();
    tape->verticalScrollBar()->setValue(tape->verticalScrollBar()->maximum());
}

void TdvCalculatorFormPrivate::LoadTape()
{
    QFile file(TdvCalculatorForm::TapeFile());
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCWarning(dvt::lcForms, "TdvCalculatorForm: the tape %s cannot be read: %s",
                  qPrintable(file.fileName()), qPrintable(file.errorString()));
        return;
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    if (lines.constLast().isEmpty())
        lines.removeLast(); // the end of the last line
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1); // written elsewhere with carriage returns
    }
    machine.SetTape(lines);
}

bool TdvCalculatorFormPrivate::SaveTape(QString *error)
{
    QSaveFile file(TdvCalculatorForm::TapeFile());
    QByteArray text;
    for (const QString &line : machine.Tape())
        text += line.toUtf8() + '\n';
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit())
        return true;
    *error = file.errorString();
    return false;
}

TdvCalculatorForm::TdvCalculatorForm(QWidget *owner)
    : dvt::PopupForm(owner, u"Calculator"_s), d(std::make_unique<TdvCalculatorFormPrivate>(this))
{
    setObjectName(u"dvCalculatorForm"_s);
    setFixedSize(172, 403);

    d->tape = new QPlainTextEdit(this);
    d->tape->setObjectName(u"TapeMemo"_s);
    d->tape->setGeometry(4, 4, 164, 212);
    d->tape->setReadOnly(true);
    d->tape->setFocusPolicy(Qt::NoFocus);
    d->tape->setContextMenuPolicy(Qt::NoContextMenu); // the window's menu instead
    d->tape->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    d->tape->setLineWrapMode(QPlainTextEdit::NoWrap);
    d->tape->viewport()->setCursor(Qt::PointingHandCursor);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSize(8);
    d->tape->setFont(mono);
    QTextOption rightAligned = d->tape->document()->defaultTextOption();
    rightAligned.setAlignment(Qt::AlignRight);
    d->tape->document()->setDefaultTextOption(rightAligned);

    d->display = new QLabel(this);
    d->display->setObjectName(u"Display"_s);
    d->display->setGeometry(4, 222, 164, 21);
    d->display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    d->display->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    SetBold(d->display);
    SetTextColor(d->display, QPalette::WindowText, Qt::red);

    d->pendingOperator = new QLabel(this);
    d->pendingOperator->setObjectName(u"Operator"_s);
    d->pendingOperator->setGeometry(154, 248, 14, 14);
    d->pendingOperator->setAlignment(Qt::AlignCenter);
    SetTextColor(d->pendingOperator, QPalette::WindowText, Qt::red);

    for (const Panel &panel : Panels) {
        const bool digit = panel.key >= u'0' && panel.key <= u'9';
        const QString name = QLatin1StringView(panel.name);
        auto *button =
            new QPushButton(name == u"Dot"_s ? QString(dvt::FormatSettings().DecimalSeparator)
                                             : QString::fromUtf8(panel.caption),
                            this);
        button->setObjectName(name);
        button->setGeometry(
            QRect(QPoint(PanelX.at(std::size_t(panel.column)), PanelTop + panel.row * RowHeight),
                  PanelSize));
        button->setFocusPolicy(Qt::NoFocus);
        SetTextColor(button, QPalette::ButtonText, digit ? Qt::blue : Qt::red);
        if (name == u"Dot"_s || name == u"Minus"_s)
            SetBold(button);
        if (panel.operation)
            connect(button, &QPushButton::clicked, this,
                    [this, operation = panel.operation] { d->Run(operation); });
        else
            connect(button, &QPushButton::clicked, this,
                    [this, key = panel.key] { d->Press(key); });
    }

    const QVariant start = OwnerValue();
    if (start.isValid())
        d->machine.Start(start.metaType().id() == QMetaType::QString
                             ? dvStrToFloat(start.toString())
                             : start.toDouble());
    if (owner)
        connect(this, &TdvCalculatorForm::valueChosen, owner,
                [this](double value) { WriteOwner(value, dvt::FloatToStr(value)); });
    d->LoadTape();
    d->Refresh();
}

TdvCalculatorForm::~TdvCalculatorForm()
{
    // Destroyed open, with its owner: the tape is kept all the same, but no
    // dialog may run while the owner is going.
    QString error;
    if (!d->closed && !d->SaveTape(&error))
        qCWarning(dvt::lcForms, "TdvCalculatorForm: the tape %s cannot be saved: %s",
                  qPrintable(TapeFile()), qPrintable(error));
}

const dvt::TAddingMachine &TdvCalculatorForm::Machine() const
{
    return d->machine;
}

QString TdvCalculatorForm::TapeFile()
{
    return dvt::UserFolder() + u"tape.txt"_s;
}

void TdvCalculatorForm::keyPressEvent(QKeyEvent *event)
{
    if (dvt::VirtualKey(*event) == dvt::vk::Delete) {
        d->Run(&TAddingMachine::Clear);
        return;
    }
    const QString text = event->text();
    if (text.isEmpty()) {
        dvt::PopupForm::keyPressEvent(event);
        return;
    }
    d->Press(text.front());
}

void TdvCalculatorForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        d->machine.TidyTape();
        d->Refresh();
    }
    dvt::PopupForm::changeEvent(event);
}

void TdvCalculatorForm::closeEvent(QCloseEvent *event)
{
    d->closed = true;
    QString error;
    if (d->SaveTape(&error)) {
        saveFailureTold = false;
    } else if (!saveFailureTold) {
        saveFailureTold = true;
        const QPointer<TdvCalculatorForm> self(this);
        dvErrorMsg(u"It was not possible to save the calculator's tape to %1!\r\r%2"_s.arg(
            QDir::toNativeSeparators(TapeFile()), error));
        if (!self)
            return; // its owner went while the message was shown
    }
    dvt::PopupForm::closeEvent(event);
}
