#include "dvCalendarForm.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "dvButton.h"
#include "dvtDateTime.h"
#include "dvtException.h"
#include "dvtFormat.h"
#include "dvtFormatSettings.h"
#include "dvtLogging.h"

using namespace Qt::StringLiterals;

namespace {

dvt::TDateTime ToDateTime(QDate date)
{
    return dvt::EncodeDate(date.year(), date.month(), date.day());
}

QDate FromDateTime(dvt::TDateTime dateTime)
{
    int year = 0;
    int month = 0;
    int day = 0;
    dvt::DecodeDate(dateTime, year, month, day);
    return QDate(year, month, day);
}

// The date in a pattern of the locale's settings; empty when the pattern is
// broken (the settings are the application's to change).
QString FormatDate(const QString &pattern, QDate date)
{
    try {
        return dvt::FormatDateTime(pattern, ToDateTime(date));
    } catch (const dvt::Exception &error) {
        qCWarning(dvt::lcForms, "TdvCalendarForm: %s", error.what());
        return {};
    }
}

// The owner's value as a date: a date, the date of a date and time, or a text
// read as a date and time; an invalid date for anything else.
QDate ReadDate(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::QDate:
        return value.toDate();
    case QMetaType::QDateTime:
        return value.toDateTime().date();
    case QMetaType::QString: {
        dvt::TDateTime dateTime = 0;
        if (dvt::TryStrToDateTime(value.toString().trimmed(), dateTime))
            return FromDateTime(dateTime);
        return {};
    }
    default:
        return {};
    }
}

} // namespace

TdvCalendarForm::TdvCalendarForm(QWidget *owner)
    : dvt::PopupForm(owner, u"Calendar"_s, Qt::WindowStaysOnTopHint)
    , m_words(new QLabel(u"Words"_s, this))
    , m_calendar(new QCalendarWidget(this))
{
    setObjectName(u"dvCalendarForm"_s);

    m_words->setObjectName(u"Words"_s);
    m_words->setAlignment(Qt::AlignCenter);
    m_words->setMinimumHeight(21);

    m_calendar->setObjectName(u"Calendar"_s);
    m_calendar->setFirstDayOfWeek(Qt::Sunday);
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendar->setCursor(Qt::PointingHandCursor);
    // The grid has the focus; its keys pass here first.
    if (auto *grid = m_calendar->findChild<QAbstractItemView *>())
        grid->installEventFilter(this);
    connect(m_calendar, &QCalendarWidget::selectionChanged, this, [this] {
        ShowWords();
        Q_EMIT dateChanged(date());
    });
    connect(m_calendar, &QCalendarWidget::activated, this, &TdvCalendarForm::Choose);

    auto *today = new TdvButton(
        u"Today: "_s + FormatDate(dvt::FormatSettings().ShortDateFormat, QDate::currentDate()),
        this);
    today->setObjectName(u"TodayBtn"_s);
    today->setMinimumHeight(25);
    connect(today, &QPushButton::clicked, this, [this] { setDate(QDate::currentDate()); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_words);
    layout->addWidget(m_calendar);
    layout->addWidget(today);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(m_calendar, today);
    m_calendar->setFocus();

    const QDate start = ReadDate(OwnerValue());
    setDate(start.isValid() ? start : QDate::currentDate());
    ShowWords();
    if (owner)
        connect(this, &TdvCalendarForm::dateChosen, owner, [this](QDate date) {
            WriteOwner(date, FormatDate(dvt::FormatSettings().ShortDateFormat, date));
        });
}

QDate TdvCalendarForm::date() const
{
    return m_calendar->selectedDate();
}

void TdvCalendarForm::setDate(QDate date)
{
    m_calendar->setSelectedDate(date);
}

bool TdvCalendarForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return dvt::PopupForm::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool ctrl = key->modifiers().testFlag(Qt::ControlModifier);
    switch (key->key()) {
    case Qt::Key_Left:
        setDate(date().addDays(-1));
        return true;
    case Qt::Key_Right:
        setDate(date().addDays(1));
        return true;
    case Qt::Key_Up:
        setDate(date().addDays(-7));
        return true;
    case Qt::Key_Down:
        setDate(date().addDays(7));
        return true;
    case Qt::Key_PageUp:
        setDate(ctrl ? date().addYears(-1) : date().addMonths(-1));
        return true;
    case Qt::Key_PageDown:
        setDate(ctrl ? date().addYears(1) : date().addMonths(1));
        return true;
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Choose();
        return true;
    default:
        return dvt::PopupForm::eventFilter(watched, event);
    }
}

void TdvCalendarForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        dvt::PopupForm::keyPressEvent(event);
}

void TdvCalendarForm::Choose()
{
    Q_EMIT dateChosen(date());
    close();
}

void TdvCalendarForm::ShowWords()
{
    m_words->setText(FormatDate(dvt::FormatSettings().LongDateFormat, date()));
}
