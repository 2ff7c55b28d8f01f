// The demo application: an order-entry form on an embedded database, and a
// second window that lists every order in a grid. The first start creates the
// database in the per-user folder and fills it with sample customers, products
// and orders.
//
// Without a display (QT_QPA_PLATFORM=offscreen) it renders its windows to
// orders.png and orders-list.png, and the customer's pick list to
// orders-customers.png, in the current folder, prints the files' paths and
// quits; messages then go to the standard error instead of dialogs.

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

#include "OrderForm.h"
#include "OrdersDatabase.h"
#include "OrdersList.h"
#include "dvControlPanel.h"
#include "dvKey.h"
#include "dvMessages.h"
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
    OrdersList list;
    list.Reload();
    list.move(form.frameGeometry().topRight() + QPoint(16, 0));
    list.show();
    form.activateWindow(); // a desktop without a window manager activates nothing itself

    if (offscreen) {
        const auto save = [](QWidget *window, const QString &file) {
            const QString path = QDir::current().absoluteFilePath(file);
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
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
