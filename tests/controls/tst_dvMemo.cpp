#include <QLineEdit>
#include <QStandardPaths>
#include <QTest>

#include "dvMemo.h"
#include "dvtControl.h"
#include "dvtTestForm.h"

using namespace Qt::StringLiterals;

namespace {

// A memo between two line edits, focus on the first.
struct MemoForm
{
    TestForm<> form;
    QLineEdit *before = form.add<QLineEdit>(u"Before"_s);
    TdvMemo *memo = form.add<TdvMemo>(u"Notes"_s);
    QLineEdit *after = form.add<QLineEdit>(u"After"_s);
};

} // namespace

class tst_dvMemo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void valid_data()
    {
        QTest::addColumn<bool>("notNull");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("required, blanks and line breaks") << true << u"  \n \t\n "_s << false;
        QTest::newRow("required, text") << true << u"\n x \n"_s << true;
        QTest::newRow("optional, empty") << false << QString() << true;
    }
    void valid()
    {
        QFETCH(bool, notNull);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        TdvMemo memo;
        memo.SetNotNull(notNull);
        memo.setPlainText(text);
        QCOMPARE(memo.Valid(), valid);
    }

    void focusColour_data()
    {
        QTest::addColumn<dvt::TColor>("own");
        QTest::addColumn<dvt::TColor>("panel");
        QTest::addColumn<QColor>("marked");
        const QColor none = QApplication::palette().color(QPalette::Base);
        QTest::newRow("panel's wins") << dvt::clAqua << dvt::clYellow << QColor(Qt::yellow);
        QTest::newRow("own colour") << dvt::clAqua << dvt::clWindow << QColor(Qt::cyan);
        QTest::newRow("no marking") << dvt::clWindow << dvt::clWindow << none;
    }
    void focusColour()
    {
        QFETCH(dvt::TColor, own);
        QFETCH(dvt::TColor, panel);
        QFETCH(QColor, marked);
        MemoForm f;
        f.memo->SetHighlight(own);
        QVERIFY(f.form.showForm());
        f.form.addPanel()->SetHighlight(panel);
        f.before->setFocus();
        const QColor unfocused = BackgroundPixel(f.memo->viewport());

        f.form.key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.memo);
        QCOMPARE(BackgroundPixel(f.memo->viewport()), marked);

        // Tab leaves the memo instead of typing a tab character.
        f.form.key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.after);
        QCOMPARE(f.memo->toPlainText(), QString());
        QCOMPARE(BackgroundPixel(f.memo->viewport()), unfocused);
    }

    void focusLossRestoresTheColourOfTheMoment()
    {
        MemoForm f;
        f.memo->SetHighlight(dvt::clYellow);
        dvt::SetColor(f.memo, dvt::clSilver);
        QVERIFY(f.form.showForm());
        f.memo->setFocus();
        QCOMPARE(dvt::Color(f.memo), dvt::clYellow);
        f.form.key(Qt::Key_Tab);
        QCOMPARE(dvt::Color(f.memo), dvt::clSilver);
        QCOMPARE(BackgroundPixel(f.memo->viewport()), QColor(0xC0, 0xC0, 0xC0));
    }

    void enterAlwaysBreaksTheLine()
    {
        MemoForm f;
        QVERIFY(f.form.showForm());
        auto *panel = f.form.addPanel();
        panel->SetEnterAsTab(true);
        f.memo->setFocus();
        f.form.type(u"ab"_s);
        f.form.key(Qt::Key_Return);
        f.form.type(u"c"_s);
        QCOMPARE(f.memo->toPlainText(), u"ab\nc"_s);
        QCOMPARE(QApplication::focusWidget(), f.memo);
    }

    // Enter breaks the line whatever the flags (enterAlwaysBreaksTheLine above).
    void esc_data() { ContractKeyCase::addRows({Qt::Key_Escape}); }
    void esc()
    {
        const auto keyCase = ContractKeyCase::fetch();
        MemoForm f;
        f.memo->SetCloseOnEsc(keyCase.ownCloseOnEsc());
        QList<int> keysSeen;
        f.memo->OnKeyDown = [&](QObject *, quint16 &key, dvt::TShiftState) { keysSeen << key; };
        QVERIFY(f.form.showForm());
        keyCase.press(f.form, f.memo);
        keyCase.verify(f.form, f.memo, f.memo);
        QCOMPARE(keysSeen, QList<int>{keyCase.closes() ? 0 : 27});
    }

    void loadedClearsTheDesignTimeText_data()
    {
        QTest::addColumn<bool>("designing");
        QTest::addColumn<QString>("text");
        QTest::newRow("run time") << false << QString();
        QTest::newRow("form designer") << true << u"designed\nlines"_s;
    }
    void loadedClearsTheDesignTimeText()
    {
        QFETCH(bool, designing);
        QFETCH(QString, text);
        QWidget form;
        auto *memo = new TdvMemo(&form);
        memo->setObjectName(u"Notes"_s);
        memo->setPlainText(u"designed\nlines"_s);
        dvt::SetDesigning(&form, designing);
        dvt::LoadForm(&form);
        QCOMPARE(memo->toPlainText(), text);
    }
};

QTEST_MAIN(tst_dvMemo)
#include "tst_dvMemo.moc"
