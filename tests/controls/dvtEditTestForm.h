#pragma once

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include "dvControlPanel.h"
#include "dvtApplication.h"
#include "dvtComponent.h"
#include "dvtTestKeys.h"

// A form as an application builds it: a window (a plain widget or a dialog) named
// like a form, its controls in a column, loaded, made the main form, shown and
// active. Keys and clicks go to its window, so that they take the way a user's do.
template<class Window = QWidget>
class EditTestForm : public Window
{
public:
    explicit EditTestForm(const QString &name = QStringLiteral("OrderForm"))
    {
        this->setObjectName(name);
        new QVBoxLayout(this);
    }
    ~EditTestForm() override { dvt::SetMainForm(nullptr); }

    template<class Control>
    Control *add(const QString &name)
    {
        auto *control = new Control(this);
        control->setObjectName(name);
        this->layout()->addWidget(control);
        return control;
    }

    // The panel is made after loading, so that it does not connect to a database:
    // these tests need its settings only.
    bool showLoaded()
    {
        dvt::LoadForm(this);
        dvt::SetMainForm(this);
        this->show();
        this->activateWindow();
        return QTest::qWaitForWindowActive(this);
    }

    TdvControlPanel *addPanel() { return new TdvControlPanel(this); }

    QWindow *handle() { return this->windowHandle(); }

    void type(const QString &text) { dvt::test::typeText(handle(), text); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(handle(), key, modifiers);
    }
    void click(QWidget *control, Qt::MouseButton button,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(handle(), button, modifiers,
                          control->mapTo(this, control->rect().center()));
    }
};

// The first and last columns of a grabbed control's pixels that are dark (text),
// within the rows of its middle third; (-1, -1) when there is none.
inline QPair<int, int> InkColumns(QWidget *control)
{
    const QImage image = control->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    int first = -1;
    int last = -1;
    for (int x = 3; x < image.width() - 3; ++x) {
        for (int y = image.height() / 3; y < image.height() * 2 / 3; ++y) {
            if (qGray(image.pixel(x, y)) < 100) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    }
    return {int(first / ratio), int(last / ratio)};
}
