#pragma once

#include <QApplication>
#include <QColor>
#include <QFontInfo>
#include <QImage>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <cstdlib>

#include "dvButton.h"
#include "dvCheckBox.h"
#include "dvCheckListBox.h"
#include "dvComboBox.h"
#include "dvControlPanel.h"
#include "dvDate.h"
#include "dvEdit.h"
#include "dvMemo.h"
#include "dvRadioButton.h"
#include "dvTime.h"
#include "dvValue.h"
#include "dvtApplication.h"
#include "dvtComponent.h"
#include "dvtTestKeys.h"
#include "dvtTestTables.h"

// A data-entry form as an application builds it: a window (a plain widget or a
// dialog) named like a form, its controls in a column, loaded, made the main form,
// shown and active. Keys and clicks go to its window, so that they take the way a
// user's do. (The form is shown by showForm(): QDialog has an open() of its own.)
template<class Window = QWidget>
class TestForm : public Window
{
public:
    explicit TestForm(const QString &name = QStringLiteral("OrderForm"))
    {
        this->setObjectName(name);
        new QVBoxLayout(this);
    }
    ~TestForm() override { dvt::SetMainForm(nullptr); }

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
    void click(QWidget *control, Qt::MouseButton button,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(this->windowHandle(), button, modifiers,
                          control->mapTo(this, control->rect().center()));
    }
};

// Adds a control of the kind named, named "Control", to the form (and to its
// column, when it has one): "edit", "value", "date", "time", "memo", "check
// list" with five items, "combo box" or "combo box editable" with three, and
// "check box", "radio button" or "button" captioned "Paid".
inline QWidget *AddControl(QWidget *form, const QString &kind)
{
    QWidget *control = nullptr;
    if (kind == u"edit")
        control = new TdvEdit(form);
    else if (kind == u"value")
        control = new TdvValue(form);
    else if (kind == u"date")
        control = new TdvDate(form);
    else if (kind == u"time")
        control = new TdvTime(form);
    else if (kind == u"memo")
        control = new TdvMemo(form);
    else if (kind == u"check list")
        control = new TdvCheckListBox(form);
    else if (kind.startsWith(u"combo box"))
        control = new TdvComboBox(form);
    else if (kind == u"check box")
        control = new TdvCheckBox(form);
    else if (kind == u"radio button")
        control = new TdvRadioButton(form);
    else
        control = new TdvButton(form);
    control->setObjectName(QStringLiteral("Control"));
    if (auto *list = qobject_cast<QListWidget *>(control))
        list->addItems(QStringLiteral("Wrap,Card,Ribbon,Bag,Note").split(u','));
    if (auto *combo = qobject_cast<QComboBox *>(control)) {
        combo->setEditable(kind.endsWith(u"editable"));
        combo->addItems(QStringLiteral("Cash,Card,Cheque").split(u','));
    }
    if (qobject_cast<QAbstractButton *>(control))
        control->setProperty("text", QStringLiteral("Paid"));
    if (form->layout())
        form->layout()->addWidget(control);
    return control;
}

// A form with the control under test and a plain edit after it, wide enough for
// the texts the tests type. The control is made by make(form), so that it comes
// first in the tab order: Tab from the edit after it wraps round to it.
template<class Control>
struct ControlForm
{
    template<class Make>
    explicit ControlForm(Make make) : control(make(form))
    {}

    // Shown with the focus on the control.
    bool show()
    {
        form.resize(300, form.sizeHint().height());
        if (!form.showForm())
            return false;
        control->setFocus();
        return control->hasFocus();
    }

    TestForm<> form;
    Control *control;
    TdvEdit *after = form.template add<TdvEdit>(QStringLiteral("After"));
};

// Whether a control's caption is drawn bold.
inline bool ShowsBold(const QWidget *control)
{
    return QFontInfo(control->font()).bold();
}

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
