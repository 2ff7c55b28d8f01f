#include "dvtApplication.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace dvt {

namespace {

QPointer<QWidget> &explicitMainForm()
{
    static QPointer<QWidget> form;
    return form;
}

// Remembers the windows in the order they were first shown, so that the default
// main form can fall back to the next one when the first is destroyed.
class ShownWindows : public QObject
{
public:
    using QObject::QObject;

    QWidget *first()
    {
        m_windows.removeAll(nullptr);
        return m_windows.isEmpty() ? nullptr : m_windows.constFirst().data();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (countsAsForm(widget) && !m_windows.contains(widget))
                m_windows.append(widget);
        }
        return false;
    }

private:
    static bool countsAsForm(const QWidget *widget)
    {
        if (!widget->isWindow() || qobject_cast<const QMessageBox *>(widget))
            return false;
        const Qt::WindowType type = widget->windowType();
        return type == Qt::Window || type == Qt::Dialog;
    }

    QList<QPointer<QWidget>> m_windows;
};

QPointer<ShownWindows> shownWindows; // owned by the application object

void installWindowTracker()
{
    QCoreApplication *app = QCoreApplication::instance();
    shownWindows = new ShownWindows(app);
    app->installEventFilter(shownWindows);
}
Q_COREAPP_STARTUP_FUNCTION(installWindowTracker)

} // namespace

QWidget *MainForm()
{
    if (QWidget *form = explicitMainForm())
        return form;
    return shownWindows ? shownWindows->first() : nullptr;
}

void SetMainForm(QWidget *form)
{
    explicitMainForm() = form;
}

QWidget *ActiveForm()
{
    return QApplication::activeWindow();
}

bool CloseActiveForm()
{
    QWidget *form = ActiveForm();
    return form && form->close();
}

void ProcessMessages()
{
    QCoreApplication::processEvents();
}

} // namespace dvt
