// The demo application: an order-entry form on an embedded database, and a
// second window that lists every order in a grid. The first start creates the
// database in the per-user folder and fills it with sample customers, products
// and orders.
//
// Without a display (QT_QPA_PLATFORM=offscreen) it renders its windows to
// orders.png and orders-list.png in the current folder, then the customer's pick
// list to orders-customers.png, the calculator that the price opens, with a
// calculation on its tape, to calculator.png and the calendar that the order
// date opens to calendar.png; it prints each file's path and quits. Messages
// then go to the standard error instead of dialogs.

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

#include "OrderForm.h"
#include "OrdersDatabase.h"
#include "OrdersList.h"
#include "dvCalculatorForm.h"
#include "dvCalendarForm.h"
#include "dvControlPanel.h"
#include "dvDate.h"
#include "dvKey.h"
#include "dvMessages.h"
#include "dvPopups.h"
#include "dvValue.h"
#include "dvtApplication.h"
#include "dvtComponent.h"
#include "dvtMessageDlg.h"

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"orders"_s);
    const bool offscreen = QGuiApplication::platformName() == u"offscreen";
    if (offscreen) {
        dvt::SetMessageHandler([](const dvt::TMessageRequest &request) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(dvt::MessageCaption(request.Type)),
                         qPrintable(QString(request.Message).replace(u'\r', u'\n')));
            return dvt::mrOk;
        });
    }

    OrdersList list; // made first, it goes last: the order form's controls leave first
    OrderForm form;
    TdvControlPanel *panel = form.ControlPanel();
    panel->SetConnectionString(OrdersDatabaseFile());
    QString error;
    if (!panel->Open() || !PrepareOrdersDatabase(&error)) {
        dvErrorMsg(u"It was not possible to open the database %1!\r\r%2"_s.arg(
            OrdersDatabaseFile(), panel->Connected() ? error : panel->LastError()));
        return 1;
    }

    // The panel is on the main form, where the controls look for its settings.
    dvt::SetMainForm(&form);
    dvt::LoadForm(&form);
    form.ShowLatestOrder();
    form.show();
    list.Reload();
    list.move(form.frameGeometry().topRight() + QPoint(16, 0));
    list.show();
    form.activateWindow(); // a desktop without a window manager activates nothing itself

    if (offscreen) {
        const auto save = [](QWidget *window, const QString &name) {
            const QString path = QDir::current().absoluteFilePath(name);
            window->grab().save(path);
            std::printf("%s\n", qPrintable(path));
        };
        QTimer::singleShot(0, &form, [&form, &list, save] {
            save(&form, u"orders.png"_s);
            save(&list, u"orders-list.png"_s);

            // The customer's pick list runs modally: it is saved and closed from
            // within its own event loop.
            QTimer::singleShot(0, &form, [save] {
                QWidget *pickList = QApplication::activeModalWidget();
                save(pickList, u"orders-customers.png"_s);
                pickList->close();
            });
            form.findChild<TdvKey *>(u"CUSTOMER"_s)->CallSelection();

            // The pop-ups as a right click on their fields opens them.
            auto *price = form.findChild<TdvValue *>(u"PRICE"_s);
            dvPopups::OpenCalculator(price);
            if (auto *calculator = price->findChild<TdvCalculatorForm *>()) {
                for (const QChar key : u"12.5*4+7.25="_s) {
                    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(key));
                    QCoreApplication::sendEvent(calculator, &press);
                }
                save(calculator, u"calculator.png"_s);
                calculator->close();
            }
            auto *date = form.findChild<TdvDate *>(u"ORDERDATE"_s);
            dvPopups::OpenCalendar(date);
            if (auto *calendar = date->findChild<TdvCalendarForm *>()) {
                save(calendar, u"calendar.png"_s);
                calendar->close();
            }
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
