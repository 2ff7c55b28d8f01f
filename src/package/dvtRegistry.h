#pragma once

#include <QList>
#include <QMetaObject>
#include <QString>
#include <QStringView>

#include <optional>

class QWidget;

// The palette registry: which component classes a form designer offers, on
// which palette page, and how a form puts each of them down. The package's units
// fill it (dvPackage.h); a Designer plugin, a form loader or an application's
// own tool reads it. Nothing else in the library depends on it: the components
// work without being registered.
namespace dvt {

// A component class as a form sees it. A control stands for itself on a form; a
// non-visual component (a QObject) is put down as a small face widget that owns
// it (dvtComponentFace.h).
struct ComponentClass
{
    // The component's class: its name, properties and signals.
    const QMetaObject *metaObject = nullptr;
    // The widget class a form holds for it: metaObject itself for a control.
    const QMetaObject *widgetClass = nullptr;
    // Makes that widget, in parent.
    QWidget *(*create)(QWidget *parent) = nullptr;

    QString name() const;
    QString widgetClassName() const;
};

// The ComponentClass of a control (Widget = Component) or of a non-visual
// component and its face.
template<class Component, class Widget = Component>
ComponentClass ClassOf()
{
    return {&Component::staticMetaObject, &Widget::staticMetaObject,
            [](QWidget *parent) -> QWidget * { return new Widget(parent); }};
}

struct RegisteredClass
{
    QString page;
    ComponentClass componentClass;
};

// Adds the classes to the palette page, after those registered before. A class
// registered already keeps its first place and page.
void RegisterComponents(const QString &page, const QList<ComponentClass> &classes);

// Every registered class with its page, in registration order.
QList<RegisteredClass> RegisteredComponents();

// The registered class whose form widget is of the named class (exactly).
std::optional<ComponentClass> FindWidgetClass(QStringView widgetClassName);

} // namespace dvt
