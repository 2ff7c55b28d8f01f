#include "dvtComponent.h"

#include <QEvent>
#include <QLayout>
#include <QPointer>
#include <QWidget>

namespace dvt {

namespace {

const char ownerProperty[] = "dvtOwner";
const char designingProperty[] = "dvtDesigning";
const char loadedProperty[] = "dvtLoaded";

// The library's own components count without a name too, so that a control
// made in code and never named is still loaded and validated.
bool isComponent(const QObject *object)
{
    const QString name = object->objectName();
    if (name.isEmpty())
        return dynamic_cast<const Loadable *>(object) != nullptr;
    return !name.startsWith(QLatin1String("qt_")) && !qobject_cast<const QLayout *>(object);
}

void collect(const QObject *parent, QList<QObject *> &components)
{
    for (QObject *child : parent->children()) {
        if (isComponent(child))
            components.append(child);
        if (!IsOwner(child))
            collect(child, components);
    }
}

void load(QObject *object)
{
    if (IsLoaded(object))
        return;
    if (auto *loadable = dynamic_cast<Loadable *>(object)) {
        object->setProperty(loadedProperty, true);
        loadable->Loaded();
    }
}

// Watches a control until it is first shown. Show events reach the children of
// a window before the window itself is shown, so the load precedes any paint.
class FirstShowLoader : public QObject
{
public:
    explicit FirstShowLoader(QWidget *control) : QObject(control)
    {
        control->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            deleteLater();
            if (!IsLoaded(watched) && !IsDesigning(watched))
                LoadForm(static_cast<QWidget *>(watched)->window());
        }
        return false;
    }
};

} // namespace

bool IsOwner(const QObject *object)
{
    if (!object)
        return false;
    if (object->property(ownerProperty).toBool())
        return true;
    const auto *widget = qobject_cast<const QWidget *>(object);
    return widget && widget->isWindow();
}

void SetOwnerMark(QObject *container, bool owner)
{
    container->setProperty(ownerProperty, owner);
}

QObject *Owner(const QObject *component)
{
    for (QObject *p = component ? component->parent() : nullptr; p; p = p->parent()) {
        if (IsOwner(p))
            return p;
    }
    return nullptr;
}

QList<QObject *> Components(const QObject *owner)
{
    QList<QObject *> components;
    if (owner)
        collect(owner, components);
    return components;
}

QObject *FindComponent(const QObject *owner, const QString &name)
{
    if (name.isEmpty())
        return nullptr;
    const QList<QObject *> components = Components(owner);
    for (QObject *component : components) {
        if (component->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return component;
    }
    return nullptr;
}

bool IsDesigning(const QObject *component)
{
    for (const QObject *o = component; o; o = Owner(o)) {
        if (o->property(designingProperty).toBool())
            return true;
    }
    return false;
}

void SetDesigning(QObject *component, bool designing)
{
    component->setProperty(designingProperty, designing);
}

bool IsLoaded(const QObject *component)
{
    return component->property(loadedProperty).toBool();
}

void LoadOnFirstShow(QWidget *control)
{
    new FirstShowLoader(control);
}

void LoadForm(QObject *form)
{
    if (!form)
        return;
    // A Loaded() handler may delete other components; skip those.
    QList<QPointer<QObject>> components;
    for (QObject *component : Components(form))
        components.append(component);
    for (const QPointer<QObject> &component : components) {
        if (!component)
            continue;
        if (IsOwner(component))
            LoadForm(component);
        else
            load(component);
    }
    load(form);
}

} // namespace dvt
