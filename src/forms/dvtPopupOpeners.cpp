// The forms layer fills in the pop-up entry points of the controls (dvPopups)
// as soon as the application object exists, in the shared library and in
// programs that link the layers themselves alike: the application does nothing.

#include <QCoreApplication>

#include <exception>

#include "dvCalculatorForm.h"
#include "dvCalendarForm.h"
#include "dvPopups.h"
#include "dvtLogging.h"

namespace {

// Opens a new window of the form with the control as its owner. A failure is
// logged: it must not reach the key or mouse handler that asked.
template<class Form>
void OpenForm(QWidget *owner) noexcept
{
    try {
        (new Form(owner))->Popup();
    } catch (const std::exception &error) {
        qCWarning(dvt::lcForms, "%s cannot open for %s: %s", Form::staticMetaObject.className(),
                  qPrintable(dvt::Describe(owner)), error.what());
    }
}

void RegisterPopupOpeners()
{
    dvPopups::SetCalculatorOpener(&OpenForm<TdvCalculatorForm>);
    dvPopups::SetCalendarOpener(&OpenForm<TdvCalendarForm>);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(RegisterPopupOpeners)
