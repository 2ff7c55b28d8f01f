#include <QButtonGroup>
#include <QFile>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTest>

#include "dvRadioButton.h"
#include "dvtControlTestForm.h"
#include "dvtFolders.h"

using namespace Qt::StringLiterals;

namespace {

// Three radio buttons of one group in a column, then a line edit.
struct RadioForm
{
    ControlTestForm<> form;
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

    void propertiesForTheDesigner()
    {
        TdvRadioButton radio;
        QVERIFY(radio.setProperty("Highlight", QColor(Qt::cyan)));
        QCOMPARE(radio.Highlight(), dvt::clAqua);
        for (const char *name : {"EnterAsTab", "CloseOnEsc", "KeepValue"})
            QVERIFY(radio.setProperty(name, true));
        QVERIFY(radio.EnterAsTab() && radio.CloseOnEsc() && radio.KeepValue());
        QVERIFY(radio.focusPolicy() & Qt::TabFocus);
    }

    // The buttons are stacked in a column, where Qt's own Right arrow finds no
    // neighbour: the move follows the group's order, wrapping round.
    void spaceMovesToTheNextOfTheGroup_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("unavailable"); // disabled, -1 for none
        QTest::addColumn<int>("next");
        QTest::newRow("first to second") << 0 << -1 << 1;
        QTest::newRow("second to third") << 1 << -1 << 2;
        QTest::newRow("last wraps round") << 2 << -1 << 0;
        QTest::newRow("disabled one passed over") << 0 << 1 << 2;
        QTest::newRow("wrap passes over disabled") << 2 << 0 << 1;
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
        ControlTestForm<> form;
        auto *alone = form.add<TdvRadioButton>(u"Alone"_s);
        QVERIFY(form.showForm());
        alone->setFocus();
        form.key(Qt::Key_Space);
        QCOMPARE(QApplication::focusWidget(), alone);
        QVERIFY(!alone->isChecked());
    }

    void enterAndEsc_data()
    {
        QTest::addColumn<bool>("panelEnterAsTab");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("moves");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Enter, panel's flag") << true << int(Qt::Key_Return) << true << false;
        QTest::newRow("Enter, no flag") << false << int(Qt::Key_Return) << false << false;
        QTest::newRow("Esc, own flag") << false << int(Qt::Key_Escape) << false << true;
    }
    void enterAndEsc()
    {
        QFETCH(bool, panelEnterAsTab);
        QFETCH(int, key);
        QFETCH(bool, moves);
        QFETCH(bool, closes);
        RadioForm f;
        f.radios.at(2)->SetCloseOnEsc(true);
        QVERIFY(f.form.showForm());
        f.form.addPanel()->SetEnterAsTab(panelEnterAsTab);
        f.radios.at(2)->setFocus();
        f.form.key(Qt::Key(key));
        QCOMPARE(f.form.isVisible(), !closes);
        if (!closes)
            QTRY_COMPARE(QApplication::focusWidget(),
                         moves ? static_cast<QWidget *>(f.after) : f.radios.at(2));
        QVERIFY(!f.radios.at(2)->isChecked());
    }

    void boldWhileFocused()
    {
        RadioForm f;
        QVERIFY(f.form.showForm());
        f.form.addPanel()->SetHighlight(dvt::clYellow);
        f.after->setFocus();
        QVERIFY(!QFontInfo(f.radios.at(0)->font()).bold());
        f.radios.at(0)->setFocus();
        QVERIFY(QFontInfo(f.radios.at(0)->font()).bold());
        f.form.key(Qt::Key_Space);
        QVERIFY(!QFontInfo(f.radios.at(0)->font()).bold());
        QVERIFY(QFontInfo(f.radios.at(1)->font()).bold());
    }

    // However the choice moved, the next form comes up with it, whatever the
    // order in which its buttons read their kept values.
    void keptChoiceSurvivesASecondInstance_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("byMouse"); // else by Space
        QTest::addColumn<int>("chosen");
        QTest::newRow("Space forward") << 0 << false << 1;
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
