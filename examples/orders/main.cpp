// The demo application: an order-entry form on an embedded database.
// Without a display (QT_QPA_PLATFORM=offscreen) it renders its window to a PNG
// and prints the file's path.

#include <QApplication>
#include <QDir>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cstdio>

#include "dvtApplication.h"
#include "dvtComponent.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orders"));

    QWidget form;
    form.setObjectName(QStringLiteral("OrderForm"));
    form.setWindowTitle(QStringLiteral("dvTools demo: orders"));
    auto *layout = new QFormLayout(&form);
    auto *customer = new QLineEdit(&form);
    customer->setObjectName(QStringLiteral("CustomerName"));
    layout->addRow(QStringLiteral("&Customer"), customer);
    auto *status = new QLabel(QStringLiteral("The controls arrive here as they are built."), &form);
    layout->addRow(status);
    form.resize(480, 200);

    dvt::SetMainForm(&form);
    dvt::LoadForm(&form);
    form.show();

    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        const QString path = QDir::current().absoluteFilePath(QStringLiteral("orders.png"));
        QTimer::singleShot(0, &form, [&form, path] {
            form.grab().save(path);
            std::printf("%s\n", qPrintable(path));
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
