#pragma once

#include <QPixmap>
#include <QString>
#include <QVariant>
#include <QWidget>

#include "dvtComponent.h"

// How a non-visual component (TdvQuery, TdvControlPanel, TdvShortCut) sits on a
// form made in Qt Designer. A .ui file holds widgets only, so the component is put
// down as its face: a small widget that owns the component and, while the form is
// designed, shows the component's palette picture and name.
//
// Each face class lists the component's published properties with Q_PROPERTY,
// so that Designer's property editor shows them and a .ui file stores them, and
// DVT_FACE_PROPERTY gives each one accessors that read and write the component's
// property of the same name. A property that is run-time state or does not
// belong in a .ui file is simply not listed.
//
// At run time the face is invisible: when its form is loaded (dvt::LoadForm(),
// or the first showing of the form) it hands the component over to its own
// parent widget under the face's name, hides and deletes itself. A form loaded
// from a .ui file then holds the same components as one built in code. A face
// being designed (SetDesigning(), which the Designer plugin calls) stays. Since
// the face goes, a component's signals are connected in code, to the component
// (form->findChild<TdvControlPanel *>()), not in Designer to the face.
//
// Qt Designer makes copies of what it shows that live beside the designed form
// (the picture that follows a drag from the widget box holds one, and Designer
// keeps it), so a designed component does not count as an instance: designed
// control panels never refuse each other. A form designed with two panels
// refuses the second when it is loaded at run time; the face then shows why.
namespace dvt {

class ComponentFace : public QWidget, public Loadable
{
    Q_OBJECT

public:
    ~ComponentFace() override;

    // The component, until the form's loading hands it over; nullptr when it
    // could not be made (a second control panel).
    QObject *component() const { return m_component; }
    // Why the component could not be made; empty when it was.
    QString error() const { return m_error; }

    // Marks the face and its component as being designed, and stops the
    // component from counting as an instance (see above). The Designer plugin
    // calls it on every face it makes.
    void SetDesigning();

    void Loaded() override;
    QSize sizeHint() const override;

protected:
    // Makes the component, of class componentClass, with make(this). A
    // dvt::Exception it raises is kept as error() rather than passed on to the
    // form's loader (or Designer); the face then shows it. count(-1) and
    // count(+1) take a designed component out of its class's instance count and
    // put it back before it is destroyed.
    ComponentFace(const QMetaObject &componentClass, QObject *(*make)(QObject *owner),
                  void (*count)(int change), QWidget *parent);

    QVariant Forwarded(const char *property) const;
    void Forward(const char *property, const QVariant &value);

    void paintEvent(QPaintEvent *event) override;

private:
    QString caption() const;

    void (*m_count)(int change);
    QPixmap m_picture;
    QObject *m_component = nullptr;
    QString m_error;
    bool m_uncounted = false;
};

// The face of one component class, which answers its component typed. A class
// that counts its instances (IncObjCount() and DecObjCount(), as the control
// panel does) has its designed instances left out of the count.
template<class Component>
class FaceOf : public ComponentFace
{
public:
    explicit FaceOf(QWidget *parent = nullptr)
        : ComponentFace(Component::staticMetaObject, &Make, &Count, parent)
    {}

    Component *component() const { return qobject_cast<Component *>(ComponentFace::component()); }

private:
    static QObject *Make(QObject *owner) { return new Component(owner); }
    static void Count(int change)
    {
        if constexpr (requires { Component::IncObjCount(); })
            change > 0 ? Component::IncObjCount() : Component::DecObjCount();
    }
};

} // namespace dvt

// Name() and setName(), the accessors of a forwarded property, for
// Q_PROPERTY(Type Name READ Name WRITE setName).
#define DVT_FACE_PROPERTY(Type, Name)                                                              \
    Type Name() const                                                                              \
    {                                                                                              \
        return Forwarded(#Name).value<Type>();                                                     \
    }                                                                                              \
    void set##Name(const Type &value)                                                              \
    {                                                                                              \
        Forward(#Name, QVariant::fromValue(value));                                                \
    }
