#include <QFile>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTest>

#include "dvCheckBox.h"
#include "dvtControl.h"
#include "dvtFolders.h"
#include "dvtIniFile.h"
#include "dvtTestForm.h"

using namespace Qt::StringLiterals;

namespace {

// A check box between two line edits, focus on the first.
struct CheckBoxForm
{
    TestForm<> form;
    QLineEdit *before = form.add<QLineEdit>(u"Before"_s);
    TdvCheckBox *box = form.add<TdvCheckBox>(u"Paid"_s);
    QLineEdit *after = form.add<QLineEdit>(u"After"_s);
};

} // namespace

class tst_dvCheckBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QFile::remove(dvt::UserFolder() + dvt::KeptValuesFileName()); }

    void getSQL()
    {
        TdvCheckBox box;
        QCOMPARE(box.GetSQL(), u"N"_s);
        box.setChecked(true);
        QCOMPARE(box.GetSQL(), u"Y"_s);
    }

    void keys_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<bool>("result");
        const int y = Qt::Key_Y, n = Qt::Key_N, space = Qt::Key_Space;
        QTest::newRow("Y leaves checked") << true << QList<int>{y} << true;
        QTest::newRow("N leaves unchecked") << false << QList<int>{n} << false;
        QTest::newRow("Space toggles once") << false << QList<int>{space} << true;
        QTest::newRow("Space on checked") << true << QList<int>{space} << false;
        QTest::newRow("N then Space") << true << QList<int>{n, space} << true;
    }
    void keys()
    {
        QFETCH(bool, checked);
        QFETCH(QList<int>, keys);
        QFETCH(bool, result);
        CheckBoxForm f;
        f.box->setChecked(checked);
        QList<int> keysSeen;
        f.box->OnKeyDown = [&](QObject *, quint16 &key, dvt::TShiftState) { keysSeen << key; };
        QVERIFY(f.form.showForm());
        f.box->setFocus();
        for (int key : keys)
            f.form.key(Qt::Key(key));
        QCOMPARE(f.box->isChecked(), result);
        QCOMPARE(keysSeen, QList<int>(keys.size(), 0));
        QCOMPARE(QApplication::focusWidget(), f.box);
    }

    void boldMarking_data()
    {
        QTest::addColumn<dvt::TColor>("own");
        QTest::addColumn<dvt::TColor>("panel");
        QTest::addColumn<bool>("designedBold");
        QTest::addColumn<bool>("marked");
        QTest::newRow("panel asks") << dvt::clWindow << dvt::clYellow << false << true;
        QTest::newRow("nobody asks") << dvt::clWindow << dvt::clWindow << false << false;
        QTest::newRow("bold already, nobody asks")
            << dvt::clWindow << dvt::clWindow << true << true;
    }
    void boldMarking()
    {
        QFETCH(dvt::TColor, own);
        QFETCH(dvt::TColor, panel);
        QFETCH(bool, designedBold);
        QFETCH(bool, marked);
        CheckBoxForm f;
        f.box->setText(u"Paid"_s);
        f.box->SetHighlight(own);
        dvt::SetBold(f.box, designedBold);
        QVERIFY(f.form.showForm());
        f.form.addPanel()->SetHighlight(panel);
        f.before->setFocus();
        const QColor unmarkedBackground = f.box->palette().color(QPalette::Window);

        f.form.key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.box);
        QCOMPARE(ShowsBold(f.box), marked);
        // The colour only switches the marking on; it is never painted.
        QCOMPARE(f.box->palette().color(QPalette::Window), unmarkedBackground);
        QCOMPARE(dvt::Color(f.box), dvt::clWindow);

        f.form.key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.after);
        QCOMPARE(ShowsBold(f.box), designedBold);
    }

    void enterAndEsc_data() { ContractKeyCase::addRows(); }
    void enterAndEsc()
    {
        const auto keyCase = ContractKeyCase::fetch();
        CheckBoxForm f;
        f.box->SetEnterAsTab(keyCase.ownEnterAsTab());
        f.box->SetCloseOnEsc(keyCase.ownCloseOnEsc());
        QVERIFY(f.form.showForm());
        keyCase.press(f.form, f.box);
        keyCase.verify(f.form, f.box, f.after);
        QVERIFY(!f.box->isChecked());
    }

    void keptValueReading_data()
    {
        QTest::addColumn<QString>("stored"); // a null text: no key at all
        QTest::addColumn<bool>("designing");
        QTest::addColumn<bool>("checked");
        QTest::newRow("Yes") << u"Yes"_s << false << true;
        QTest::newRow("Yes in the designer") << u"Yes"_s << true << true;
        QTest::newRow("yes") << u"yes"_s << false << false;
        QTest::newRow("No") << u"No"_s << false << false;
        QTest::newRow("missing") << QString() << false << false;
    }
    void keptValueReading()
    {
        QFETCH(QString, stored);
        QFETCH(bool, designing);
        QFETCH(bool, checked);
        if (!stored.isNull())
            dvt::TIniFile(dvt::KeptValuesFileName())
                .WriteString(u"ComponentsValues"_s, u"OrderForm/Paid"_s, stored);
        TestForm<> form;
        auto *box = form.add<TdvCheckBox>(u"Paid"_s);
        box->SetKeepValue(true);
        box->setChecked(true); // as designed: the kept value wins
        dvt::SetDesigning(&form, designing);
        dvt::LoadForm(&form);
        QCOMPARE(box->isChecked(), checked);
    }

    void keptValueIsWrittenAtEveryFocusLoss()
    {
        CheckBoxForm f;
        f.box->SetKeepValue(true);
        QVERIFY(f.form.showForm());
        const dvt::TIniFile file(dvt::KeptValuesFileName());
        const auto kept = [&] {
            return file.ReadString(u"ComponentsValues"_s, u"OrderForm/Paid"_s, u"none"_s);
        };
        f.box->setFocus();
        f.form.key(Qt::Key_Space);
        QCOMPARE(kept(), u"none"_s);
        f.form.key(Qt::Key_Tab);
        QCOMPARE(kept(), u"Yes"_s);
        f.box->setFocus();
        f.form.key(Qt::Key_Space);
        f.after->setFocus();
        QCOMPARE(kept(), u"No"_s);
    }
};

QTEST_MAIN(tst_dvCheckBox)
#include "tst_dvCheckBox.moc"
