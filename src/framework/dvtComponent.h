#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QWidget;

// The component model the library's controls rely on, expressed with QObject
// parents and object names:
//
// - A component's name is its objectName().
// - An owner is a window (a top-level widget: a form or dialog) or a container
//   marked with SetOwnerMark(), such as a frame reused on several forms.
// - A component's owner is its nearest owner ancestor. An owner's components are
//   its named descendants, and its Loadable ones named or not, in depth-first
//   child order (which is creation order), without descending into nested
//   owners; a nested owner is itself a component of the enclosing owner.
//   Layouts and Qt's internal objects ("qt_" names) are not components.
namespace dvt {

bool IsOwner(const QObject *object);
void SetOwnerMark(QObject *container, bool owner = true);

// The owner of a component, or nullptr when it has none.
QObject *Owner(const QObject *component);

// The components of an owner, in creation order.
QList<QObject *> Components(const QObject *owner);

// The component of the owner with the given name, ignoring letter case.
QObject *FindComponent(const QObject *owner, const QString &name);

// Design mode: set on a component (or on its form) by a form designer. A component
// is in design mode when it or any of its owners is marked.
bool IsDesigning(const QObject *component);
void SetDesigning(QObject *component, bool designing = true);

// Implemented by components that finish their set-up once their form is complete:
// after all properties are set, LoadForm() calls Loaded() on each of them.
class Loadable
{
public:
    virtual ~Loadable() = default;
    virtual void Loaded() = 0;
};

// Whether LoadForm() has delivered Loaded() to the component.
bool IsLoaded(const QObject *component);

// Delivers Loaded() to every Loadable component of the form, nested owners
// included, in creation order, then to the form itself; each component receives
// it at most once, so calling LoadForm() again after adding components only
// reaches the new ones. Call it after building a form in code or loading it from
// a .ui file, before showing it.
void LoadForm(QObject *form);

// Makes the first showing of the control load its window (LoadForm of
// control->window()), unless the control is loaded or in design mode by then: a
// form shown without LoadForm() gets its components' Loaded() all the same,
// before its first paint. The library's controls call it in their constructors.
void LoadOnFirstShow(QWidget *control);

} // namespace dvt
