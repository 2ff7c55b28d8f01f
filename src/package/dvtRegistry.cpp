#include "dvtRegistry.h"

#include <algorithm>

namespace dvt {

namespace {

QList<RegisteredClass> &registry()
{
    static QList<RegisteredClass> classes;
    return classes;
}

} // namespace

QString ComponentClass::name() const
{
    return QString::fromLatin1(metaObject->className());
}

QString ComponentClass::widgetClassName() const
{
    return QString::fromLatin1(widgetClass->className());
}

void RegisterComponents(const QString &page, const QList<ComponentClass> &classes)
{
    QList<RegisteredClass> &registered = registry();
    for (const ComponentClass &componentClass : classes) {
        const bool known =
            std::any_of(registered.cbegin(), registered.cend(), [&](const RegisteredClass &r) {
                return r.componentClass.metaObject == componentClass.metaObject;
            });
        if (!known)
            registered.append({page, componentClass});
    }
}

QList<RegisteredClass> RegisteredComponents()
{
    return registry();
}

std::optional<ComponentClass> FindWidgetClass(QStringView widgetClassName)
{
    for (const RegisteredClass &registered : std::as_const(registry())) {
        if (registered.componentClass.widgetClassName() == widgetClassName)
            return registered.componentClass;
    }
    return std::nullopt;
}

} // namespace dvt
