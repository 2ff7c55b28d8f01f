#include "dvPopups.h"

#include <QPointer>
#include <QWidget>

#include <array>

#include "dvtComponent.h"

namespace dvPopups {

namespace {

struct PopupEntry
{
    TPopupOpener opener;
    int requests = 0;
    QPointer<QWidget> lastOwner;
};

std::array<PopupEntry, 2> &entries()
{
    static std::array<PopupEntry, 2> table;
    return table;
}

PopupEntry &entry(TPopup popup)
{
    return entries().at(std::size_t(popup));
}

} // namespace

void SetOpener(TPopup popup, TPopupOpener opener)
{
    entry(popup).opener = std::move(opener);
}

void SetCalculatorOpener(TPopupOpener opener)
{
    SetOpener(Calculator, std::move(opener));
}

void SetCalendarOpener(TPopupOpener opener)
{
    SetOpener(Calendar, std::move(opener));
}

void Open(TPopup popup, QWidget *owner)
{
    // Nothing pops up over a form being designed.
    if (dvt::IsDesigning(owner))
        return;
    PopupEntry &e = entry(popup);
    ++e.requests;
    e.lastOwner = owner;
    // A copy, so that an opener may replace itself while it runs.
    if (const TPopupOpener opener = e.opener)
        opener(owner);
}

void OpenCalculator(QWidget *owner)
{
    Open(Calculator, owner);
}

void OpenCalendar(QWidget *owner)
{
    Open(Calendar, owner);
}

int OpenRequests(TPopup popup)
{
    return entry(popup).requests;
}

QWidget *LastOwner(TPopup popup)
{
    return entry(popup).lastOwner;
}

void ResetOpenRequests()
{
    for (PopupEntry &e : entries()) {
        e.requests = 0;
        e.lastOwner = nullptr;
    }
}

} // namespace dvPopups
