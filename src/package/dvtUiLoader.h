#pragma once

#include <QUiLoader>

#include "dvPackage.h"
#include "dvtRegistry.h"

namespace dvt {

// Loads a form made in Qt Designer at run time and makes the library's
// components itself, from the palette registry: the application needs neither
// the Designer plugin nor a plugin path. Header only; the application links
// Qt6::UiTools.
//
//     dvt::UiLoader loader;
//     QFile file(u":/forms/orders.ui"_s);
//     QWidget *form = loader.load(&file, parent);
//     dvt::LoadForm(form); // or let its first showing do it
//
// As with a form built in code, the components receive Loaded() from
// dvt::LoadForm(): design-time texts go, kept values come back, the control
// panel connects, combo boxes fill and shortcuts are assigned.
class UiLoader : public QUiLoader
{
public:
    explicit UiLoader(QObject *parent = nullptr) : QUiLoader(parent) { RegisterPackage(); }

    QWidget *createWidget(const QString &className, QWidget *parent = nullptr,
                          const QString &name = QString()) override
    {
        const std::optional<ComponentClass> registered = FindWidgetClass(className);
        if (!registered)
            return QUiLoader::createWidget(className, parent, name);
        QWidget *widget = registered->create(parent);
        widget->setObjectName(name);
        return widget;
    }
};

} // namespace dvt
