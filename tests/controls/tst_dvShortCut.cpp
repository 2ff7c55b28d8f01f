#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

#include "dvButton.h"
#include "dvShortCut.h"
#include "dvtTestForm.h"

using namespace Qt::StringLiterals;

namespace {

template<class Control>
Control *make(QWidget *parent, const QString &name, const QString &caption)
{
    auto *control = new Control(parent);
    control->setObjectName(name);
    control->setText(caption);
    if (parent->layout())
        parent->layout()->addWidget(control);
    return control;
}

QGroupBox *makeGroup(QWidget *parent, const QString &name, const QString &title)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(name);
    parent->layout()->addWidget(box);
    new QVBoxLayout(box);
    return box;
}

QWidget *addPage(QTabWidget *tabs, const QString &name, const QString &title)
{
    auto *page = new QWidget;
    page->setObjectName(name);
    new QVBoxLayout(page);
    tabs->addTab(page, title);
    return page;
}

} // namespace

class tst_dvShortCut : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Captions given their keys in turn, sharing the key sets.
    void insertKey_data()
    {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("first free letter")
            << QStringList{u"Save"_s, u"Search"_s} << QStringList{u"&Save"_s, u"S&earch"_s};
        QTest::newRow("designed marker replaced")
            << QStringList{u"E&xit"_s} << QStringList{u"&Exit"_s};
        QTest::newRow("literal ampersand kept")
            << QStringList{u"Fish && Chips"_s} << QStringList{u"&Fish && Chips"_s};
        QTest::newRow("spare key") << QStringList{u"Ok"_s, u"Kilo"_s, u"OK"_s}
                                   << QStringList{u"&Ok"_s, u"&Kilo"_s, u"OK (&1)"_s};
        QTest::newRow("taken digit skipped among spares")
            << QStringList{u"1st"_s, u"Ok"_s, u"Kilo"_s, u"OK"_s}
            << QStringList{u"&1st"_s, u"&Ok"_s, u"&Kilo"_s, u"OK (&2)"_s};
        QTest::newRow("punctuation and blanks never")
            << QStringList{u"? !"_s} << QStringList{u"? ! (&1)"_s};
        QTest::newRow("blank caption unchanged")
            << QStringList{u"   "_s, u"Go"_s} << QStringList{u"   "_s, u"&Go"_s};
    }
    void insertKey()
    {
        QFETCH(QStringList, captions);
        QFETCH(QStringList, expected);
        QString spare = u"1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s;
        QString used = u"!@#$%^&**()_-+={[}]:;\"'<,>.?/~` "_s;
        QStringList result;
        for (const QString &caption : captions) {
            QPushButton button(caption);
            TdvShortCut::InsertKey(&button, spare, used);
            result << button.text();
        }
        QCOMPARE(result, expected);
    }

    void spareKeysRunOut()
    {
        QString spare = u"1"_s;
        QString used = u"1"_s;
        QPushButton button(u"1"_s);
        TdvShortCut::InsertKey(&button, spare, used);
        QCOMPARE(button.text(), u"1"_s);
        QCOMPARE(spare, u"1"_s);
    }

    // Buttons first, then labels with a buddy, then the rest, in creation order;
    // value controls, labels without a buddy and status bars stay as they are.
    void passes()
    {
        TestForm<> form;
        auto *nameLabel = make<QLabel>(&form, u"NameLabel"_s, u"Name"_s);
        auto *name = make<QLineEdit>(&form, u"CustName"_s, u"N&ame"_s);
        nameLabel->setBuddy(name);
        auto *note = make<QLabel>(&form, u"Note"_s, u"N&ote && more"_s);
        auto *nice = make<QCheckBox>(&form, u"Nice"_s, u"Nice"_s);
        auto *combo = form.add<QComboBox>(u"Kind"_s);
        combo->addItem(u"N&ew"_s);
        auto *next = make<TdvButton>(&form, u"Next"_s, u"Next"_s);
        auto *group = makeGroup(&form, u"Group"_s, u"Notes"_s);
        auto *status = new QStatusBar(&form);
        status->setObjectName(u"Status"_s);
        status->showMessage(u"Nothing"_s);
        new TdvShortCut(&form);
        dvt::LoadForm(&form);

        QCOMPARE(next->text(), u"&Next"_s);
        QCOMPARE(nameLabel->text(), u"N&ame"_s);
        QCOMPARE(nice->text(), u"N&ice"_s);
        QCOMPARE(group->title(), u"N&otes"_s);
        QCOMPARE(note->text(), u"N&ote && more"_s);
        QCOMPARE(name->text(), u"N&ame"_s);
        QCOMPARE(combo->itemText(0), u"N&ew"_s);
        QCOMPARE(status->currentMessage(), u"Nothing"_s);
    }

    // Each page starts from the keys that the form's controls left free.
    void tabPages()
    {
        TestForm<> form;
        auto *next = make<QPushButton>(&form, u"Next"_s, u"Next"_s);
        auto *tabs = form.add<QTabWidget>(u"Pages"_s);
        QWidget *general = addPage(tabs, u"General"_s, u"General"_s);
        QWidget *notes = addPage(tabs, u"NotesPage"_s, u"Notes"_s);
        auto *name = make<QPushButton>(general, u"NameButton"_s, u"Name"_s);
        auto *zoom = make<QCheckBox>(general, u"Zoom"_s, u"Zoom"_s);
        auto *nudge = make<QCheckBox>(notes, u"Nudge"_s, u"Nudge"_s);
        auto *zap = make<QCheckBox>(notes, u"Zap"_s, u"Zap"_s);
        // Inside a group box on a page: served with the form's keys.
        auto *box = makeGroup(notes, u"Box"_s, QString());
        auto *zero = make<QCheckBox>(box, u"Zero"_s, u"Zero"_s);
        auto *shortCut = new TdvShortCut(&form);
        shortCut->setObjectName(u"Keys"_s);
        dvt::LoadForm(&form);

        QCOMPARE(next->text(), u"&Next"_s);
        QCOMPARE(tabs->tabText(0), u"&General"_s);
        QCOMPARE(tabs->tabText(1), u"N&otes"_s);
        QCOMPARE(zero->text(), u"&Zero"_s);
        QCOMPARE(name->text(), u"N&ame"_s);
        QCOMPARE(zoom->text(), u"Zoo&m"_s); // the form's Notes took the o
        QCOMPARE(nudge->text(), u"N&udge"_s);
        QCOMPARE(zap->text(), u"Z&ap"_s);
    }

    void nestedOwnerGetsItsOwnRun()
    {
        TestForm<> form;
        auto *save = make<QPushButton>(&form, u"Save"_s, u"Save"_s);
        auto *frame = form.add<QFrame>(u"AddressFrame"_s);
        dvt::SetOwnerMark(frame);
        new QVBoxLayout(frame);
        auto *inner = make<QPushButton>(frame, u"Save"_s, u"Save"_s);
        auto *search = make<QPushButton>(&form, u"Search"_s, u"Search"_s);
        new TdvShortCut(&form);
        dvt::LoadForm(&form);
        QCOMPARE(save->text(), u"&Save"_s);
        QCOMPARE(search->text(), u"S&earch"_s);
        QCOMPARE(inner->text(), u"&Save"_s);
    }

    void nothingChangesInTheDesigner()
    {
        TestForm<> form;
        auto *exit = make<QPushButton>(&form, u"Exit"_s, u"E&xit"_s);
        new TdvShortCut(&form);
        dvt::SetDesigning(&form);
        dvt::LoadForm(&form);
        QCOMPARE(exit->text(), u"E&xit"_s);
    }

    void refreshAgainKeepsTheKeys()
    {
        TestForm<> form;
        auto *save = make<QPushButton>(&form, u"Save"_s, u"Save"_s);
        auto *search = make<QPushButton>(&form, u"Search"_s, u"Search"_s);
        auto *shortCut = new TdvShortCut(&form);
        dvt::LoadForm(&form);
        shortCut->Refresh(&form);
        QCOMPARE(save->text(), u"&Save"_s);
        QCOMPARE(search->text(), u"S&earch"_s);
    }

    // The keys work: Alt and the key press the button, focus the label's buddy,
    // toggle the check box and open the page.
    void acceleratorsAct()
    {
        TestForm<> form;
        auto *save = make<QPushButton>(&form, u"Save"_s, u"Save"_s);
        auto *label = make<QLabel>(&form, u"NameLabel"_s, u"Name"_s);
        auto *name = form.add<QLineEdit>(u"CustName"_s);
        label->setBuddy(name);
        auto *paid = make<QCheckBox>(&form, u"Paid"_s, u"Paid"_s);
        auto *tabs = form.add<QTabWidget>(u"Pages"_s);
        addPage(tabs, u"General"_s, u"General"_s);
        addPage(tabs, u"Extra"_s, u"Extra"_s);
        new TdvShortCut(&form);
        int saved = 0;
        QObject::connect(save, &QPushButton::clicked, [&] { ++saved; });
        QVERIFY(form.showForm());
        QCOMPARE(label->text(), u"&Name"_s);
        QCOMPARE(paid->text(), u"&Paid"_s);
        QCOMPARE(tabs->tabText(1), u"&Extra"_s);

        form.key(Qt::Key_N, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), name);
        form.key(Qt::Key_P, Qt::AltModifier);
        QTRY_VERIFY(paid->isChecked());
        form.key(Qt::Key_E, Qt::AltModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        form.key(Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(saved, 1);
    }
};

QTEST_MAIN(tst_dvShortCut)
#include "tst_dvShortCut.moc"
