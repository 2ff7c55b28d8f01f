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
#include <initializer_list>

#include "dvControlPanel.h"
#include "dvEdit.h"
#include "dvPopups.h"
#include "dvtApplication.h"
#include "dvtComponent.h"
#include "dvtFormatSettings.h"
#include "dvtTestKeys.h"

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

// A form with one edit of the kind under test and a plain edit after it, wide
// enough for the texts the tests type. The edit, first in the tab order, has the
// focus once the form is shown.
template<class Edit>
struct EditForm
{
    explicit EditForm(const QString &editName) : edit(form.template add<Edit>(editName)) {}

    bool show()
    {
        form.resize(300, form.sizeHint().height());
        return form.showForm() && edit->hasFocus();
    }
    // Shown with the edit focused and emptied (of its kept or default value), ready
    // for typing.
    bool showEmpty()
    {
        if (!show())
            return false;
        edit->clear();
        return true;
    }

    // Types the keys into the edit and leaves it with the key (Tab, or Enter with
    // Enter as Tab). Answers the text the edit showed as the focus left it, or
    // "(focus stayed)" when the focus did not go on to the next edit.
    QString typeAndLeave(const QString &keys, Qt::Key leaveBy)
    {
        QString textWhenLeaving;
        const auto connection = QObject::connect(qApp, &QApplication::focusChanged, &form,
                                                 [&](QWidget *old, QWidget *) {
                                                     if (old == edit)
                                                         textWhenLeaving = edit->text();
                                                 });
        form.type(keys);
        form.key(leaveBy);
        const bool left = QTest::qWaitFor([this] { return next->hasFocus(); });
        QObject::disconnect(connection);
        return left ? textWhenLeaving : QStringLiteral("(focus stayed)");
    }

    TestForm<> form;
    Edit *edit;
    TdvEdit *next = form.template add<TdvEdit>(QStringLiteral("Next"));
};

// What the typed edits share between cases: the format settings, the pop-ups
// opened and the stand-in pop-up windows.
inline void ResetEditGlobals()
{
    dvt::FormatSettings() = dvt::TFormatSettings();
    dvPopups::ResetOpenRequests();
    dvPopups::SetCalculatorOpener({});
    dvPopups::SetCalendarOpener({});
}

// A case of the keys that the control contract gives a meaning: Enter moves to the
// next control (Enter as Tab) and Esc closes the active form (Close on Esc), each
// when the control's own flag for it or the control panel's is set. The flags of
// the other key are set in every case, so that a key is seen to answer to its own
// flags only.
struct ContractKeyCase
{
    Qt::Key key;
    bool own;   // the control's flag for the key
    bool panel; // the control panel's flag for the key

    // One row a key and a way of switching it on: own flag, panel's flag, none.
    static void addRows(std::initializer_list<Qt::Key> keys = {Qt::Key_Return, Qt::Key_Escape})
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("own");
        QTest::addColumn<bool>("panel");
        for (Qt::Key key : keys) {
            const char *name = key == Qt::Key_Escape ? "Esc" : "Enter";
            QTest::addRow("%s, own flag", name) << int(key) << true << false;
            QTest::addRow("%s, panel's flag", name) << int(key) << false << true;
            QTest::addRow("%s, no flag", name) << int(key) << false << false;
        }
    }
    static ContractKeyCase fetch()
    {
        QFETCH(int, key);
        QFETCH(bool, own);
        QFETCH(bool, panel);
        return {Qt::Key(key), own, panel};
    }

    bool ownEnterAsTab() const { return key == Qt::Key_Escape || own; }
    bool ownCloseOnEsc() const { return key == Qt::Key_Return || own; }
    bool moves() const { return key == Qt::Key_Return && (own || panel); }
    bool closes() const { return key == Qt::Key_Escape && (own || panel); }

    // Gives the shown form a control panel with the case's flags, then presses the
    // key on the control.
    template<class Window>
    void press(TestForm<Window> &form, QWidget *control) const
    {
        TdvControlPanel *settings = form.addPanel();
        settings->SetEnterAsTab(key == Qt::Key_Escape || panel);
        settings->SetCloseOnEsc(key == Qt::Key_Return || panel);
        control->setFocus();
        form.key(key);
    }

    // Checks that the form closed or, when it stays, that the focus went on to next
    // or stayed on the control.
    template<class Window>
    void verify(const TestForm<Window> &form, QWidget *control, QWidget *next) const
    {
        QCOMPARE(form.isVisible(), !closes());
        if (!closes())
            QTRY_COMPARE(QApplication::focusWidget(), moves() ? next : control);
    }
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
