#include <QButtonGroup>
#include <QFile>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTest>

#include "dvRadioButton.h"
#include "dvtFolders.h"
#include "dvtTestForm.h"

using namespace Qt::StringLiterals;

namespace {

// Three radio buttons of one group in a column, then a line edit.
struct RadioForm
{
    TestForm<> form;
    QList<TdvRadioButton *> radios{form.add<TdvRadioButton>(u"Cash"_s),
                                   form.add<TdvRadioButton>(u"Card"_s),
                                   form.add<TdvRadioButton>(u"Cheque"_s)};
    QLineEdit *after = form.add<QLineEdit>(u"After"_s);

    RadioForm()
    {
        for (TdvRadioButton *radio : radios)
            radio->setText(radio->objectName());
    }

    int checkedIndex() const
    {
        for (int i = 0; i < radios.size(); ++i) {
            if (radios.at(i)->isChecked())
                return i;
        }
        return -1;
    }
    int focusIndex() const
    {
        return int(radios.indexOf(qobject_cast<TdvRadioButton *>(QApplication::focusWidget())));
    }
};

} // namespace

class tst_dvRadioButton : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QFile::remove(dvt::UserFolder() + dvt::KeptValuesFileName()); }

    // The buttons are stacked in a column, where Qt's own Right arrow finds no
    // neighbour: the move follows the group's order, wrapping round.
    void spaceMovesToTheNextOfTheGroup_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("unavailable"); // disabled, -1 for none
        QTest::addColumn<int>("next");
        QTest::newRow("first to second") << 0 << -1 << 1;
        QTest::newRow("last wraps round") << 2 << -1 << 0;
        QTest::newRow("disabled one passed over") << 0 << 1 << 2;
    }
    void spaceMovesToTheNextOfTheGroup()
    {
        QFETCH(int, start);
        QFETCH(int, unavailable);
        QFETCH(int, next);
        RadioForm f;
        if (unavailable >= 0)
            f.radios.at(unavailable)->setEnabled(false);
        QList<int> keysSeen;
        f.radios.at(start)->OnKeyDown = [&](QObject *, quint16 &key, dvt::TShiftState) {
            keysSeen << key;
        };
        QVERIFY(f.form.showForm());
        f.radios.at(start)->setChecked(true);
        f.radios.at(start)->setFocus();
        f.form.key(Qt::Key_Space);
        QCOMPARE(f.focusIndex(), next);
        QCOMPARE(f.checkedIndex(), next);
        QCOMPARE(keysSeen, QList<int>{0});
    }

    void spaceStaysInsideAButtonGroup()
    {
        RadioForm f;
        // Two groups under one parent: Cash and Cheque, Card alone.
        QButtonGroup group;
        group.addButton(f.radios.at(0));
        group.addButton(f.radios.at(2));
        QVERIFY(f.form.showForm());
        f.radios.at(0)->setFocus();
        f.form.key(Qt::Key_Space);
        QCOMPARE(f.focusIndex(), 2);
        f.form.key(Qt::Key_Space);
        QCOMPARE(f.focusIndex(), 0);
        QVERIFY(f.radios.at(0)->isChecked());
        QVERIFY(!f.radios.at(1)->isChecked());
    }

    void spaceOnALoneButtonStays()
    {
        TestForm<> form;
        auto *alone = form.add<TdvRadioButton>(u"Alone"_s);
        QVERIFY(form.showForm());
        alone->setFocus();
        form.key(Qt::Key_Space);
        QCOMPARE(QApplication::focusWidget(), alone);
        QVERIFY(!alone->isChecked());
    }

    // On the last button of the group, so that Enter as Tab leaves the group.
    void enterAndEsc_data() { ContractKeyCase::addRows(); }
    void enterAndEsc()
    {
        const auto keyCase = ContractKeyCase::fetch();
        RadioForm f;
        TdvRadioButton *last = f.radios.at(2);
        last->SetEnterAsTab(keyCase.ownEnterAsTab());
        last->SetCloseOnEsc(keyCase.ownCloseOnEsc());
        QVERIFY(f.form.showForm());
        keyCase.press(f.form, last);
        keyCase.verify(f.form, last, f.after);
        QVERIFY(!last->isChecked());
    }

    void boldWhileFocused()
    {
        RadioForm f;
        QVERIFY(f.form.showForm());
        f.form.addPanel()->SetHighlight(dvt::clYellow);
        f.after->setFocus();
        QVERIFY(!ShowsBold(f.radios.at(0)));
        f.radios.at(0)->setFocus();
        QVERIFY(ShowsBold(f.radios.at(0)));
        f.form.key(Qt::Key_Space);
        QVERIFY(!ShowsBold(f.radios.at(0)));
        QVERIFY(ShowsBold(f.radios.at(1)));
    }

    // However the choice moved, the next form comes up with it, whatever the
    // order in which its buttons read their kept values.
    void keptChoiceSurvivesASecondInstance_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("byMouse"); // else by Space
        QTest::addColumn<int>("chosen");
        QTest::newRow("Space wrapping round") << 2 << false << 0;
        QTest::newRow("mouse back to the first") << 2 << true << 0;
    }
    void keptChoiceSurvivesASecondInstance()
    {
        QFETCH(int, start);
        QFETCH(bool, byMouse);
        QFETCH(int, chosen);
        {
            RadioForm f;
            for (TdvRadioButton *radio : f.radios)
                radio->SetKeepValue(true);
            QVERIFY(f.form.showForm());
            f.radios.at(start)->setChecked(true);
            f.radios.at(start)->setFocus();
            f.after->setFocus(); // the start is kept
            f.radios.at(start)->setFocus();
            if (byMouse)
                QTest::mouseClick(f.radios.at(chosen), Qt::LeftButton, {}, QPoint(8, 8));
            else
                f.form.key(Qt::Key_Space);
            QCOMPARE(f.focusIndex(), chosen);
            f.form.key(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), f.after);
        }
        RadioForm second;
        for (TdvRadioButton *radio : second.radios)
            radio->SetKeepValue(true);
        QVERIFY(second.form.showForm());
        QCOMPARE(second.checkedIndex(), chosen);
    }
};

QTEST_MAIN(tst_dvRadioButton)
#include "tst_dvRadioButton.moc"
