#pragma once

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <cstdlib>

#include "dvControlPanel.h"
#include "dvtApplication.h"
#include "dvtComponent.h"
#include "dvtTestKeys.h"

// A data-entry form as an application builds it: a window (a plain widget or a
// dialog) named like a form, its controls in a column, loaded, made the main form,
// shown and active. Keys go to its window, so that they take the way a user's do.
template<class Window = QWidget>
class ControlTestForm : public Window
{
public:
    explicit ControlTestForm(const QString &name = QStringLiteral("OrderForm"))
    {
        this->setObjectName(name);
        new QVBoxLayout(this);
    }
    ~ControlTestForm() override { dvt::SetMainForm(nullptr); }

    template<class Control>
    Control *add(const QString &name)
    {
        auto *control = new Control(this);
        control->setObjectName(name);
        this->layout()->addWidget(control);
        return control;
    }

    bool showForm()
    {
        dvt::LoadForm(this);
        dvt::SetMainForm(this);
        this->show();
        this->activateWindow();
        return QTest::qWaitForWindowActive(this);
    }

    // A control panel on the form. Made after loading, it does not connect to a
    // database: tests without one need its settings only.
    TdvControlPanel *addPanel() { return new TdvControlPanel(this); }

    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(this->windowHandle(), key, modifiers);
    }
    void type(const QString &text) { dvt::test::typeText(this->windowHandle(), text); }
};

// What the user sees of a control's background: the pixel a few points inside
// its bottom right corner, where no text and no frame is drawn.
inline QColor BackgroundPixel(QWidget *control)
{
    const QImage image = control->grab().toImage();
    const int inset = int(6 * image.devicePixelRatio());
    return image.pixelColor(image.width() - inset, image.height() - inset);
}

// Whether a surface that a style shades (lighter at the top, darker at the
// bottom, as buttons are) is painted in a shade of the colour: the same hue, and
// clearly coloured rather than grey.
inline bool LooksLike(const QColor &seen, const QColor &expected)
{
    return seen.hsvSaturation() > 128 && std::abs(seen.hsvHue() - expected.hsvHue()) <= 10;
}
