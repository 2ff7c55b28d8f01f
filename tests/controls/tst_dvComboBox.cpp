#include <QFile>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTest>

#include <memory>

#include "../db/dvtTestDatabase.h"
#include "dvComboBox.h"
#include "dvQuery.h"
#include "dvtControl.h"
#include "dvtFolders.h"
#include "dvtIniFile.h"
#include "dvtTestForm.h"

using namespace Qt::StringLiterals;

namespace {

// A combo box between two line edits, focus on the first.
struct ComboForm
{
    TestForm<> form;
    QLineEdit *before = form.add<QLineEdit>(u"Before"_s);
    TdvComboBox *combo = form.add<TdvComboBox>(u"PayMethod"_s);
    QLineEdit *after = form.add<QLineEdit>(u"After"_s);
};

QStringList items(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

void writeKept(const QString &value)
{
    dvt::TIniFile(dvt::KeptValuesFileName())
        .WriteString(u"ComponentsValues"_s, u"OrderForm/PayMethod"_s, value);
}

QString readKept()
{
    return dvt::TIniFile(dvt::KeptValuesFileName())
        .ReadString(u"ComponentsValues"_s, u"OrderForm/PayMethod"_s, u"none"_s);
}

} // namespace

class tst_dvComboBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One database for all cases, reached by the name "dvTools" as a control
    // panel's would be; the cases that need the panel's settings add a panel that
    // never connects.
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_db = std::make_unique<dvt::test::TestDatabase>();
        QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
        m_connection = std::make_unique<dvt::TDatabase>();
        m_connection->SetDatabaseName(u"dvTools"_s);
        m_db->configure(*m_connection);
        TdvQuery query;
        for (const QString &statement :
             {u"create table PAY (ID integer, NAME varchar(30), NOTE varchar(10))"_s,
              u"create table NOTHING (NAME varchar(10))"_s,
              u"insert into PAY values (1, \"Cash\", null)"_s,
              u"insert into PAY values (2, \"Card\", \"x\")"_s,
              u"insert into PAY values (3, ' On \"account\" ', null)"_s})
            QVERIFY2(query.Execute(statement), qPrintable(query.Error()));
    }
    void cleanupTestCase()
    {
        m_connection.reset();
        m_db.reset();
    }
    void init() { QFile::remove(dvt::UserFolder() + dvt::KeptValuesFileName()); }

    void reload_data()
    {
        QTest::addColumn<QString>("select");
        QTest::addColumn<QStringList>("items");
        const QStringList designed{u"Designed"_s, u"Items"_s};
        const QStringList names{u"Cash"_s, u"Card"_s, u" On \"account\" "_s};
        QTest::newRow("rows") << u"select NAME from PAY order by ID"_s << names;
        QTest::newRow("numbers") << u"select ID from PAY order by ID"_s
                                 << QStringList{u"1"_s, u"2"_s, u"3"_s};
        QTest::newRow("NULLs") << u"select NOTE from PAY order by ID"_s
                               << QStringList{QString(), u"x"_s, QString()};
        QTest::newRow("no rows") << u"select NAME from NOTHING"_s << designed;
        QTest::newRow("missing table") << u"select NAME from NO_SUCH_TABLE"_s << designed;
        QTest::newRow("not a select") << u"selct NAME from PAY"_s << designed;
    }
    void reload()
    {
        QFETCH(QString, select);
        QFETCH(QStringList, items);
        TdvComboBox combo;
        combo.addItems({u"Designed"_s, u"Items"_s});
        combo.SetSelect(select);
        combo.Reload();
        QCOMPARE(::items(&combo), items);
        // The query was the combo box's own and is gone.
        QVERIFY(combo.findChildren<TdvQuery *>().isEmpty());
    }

    void reloadFollowsTheTable()
    {
        TdvComboBox combo;
        combo.SetSelect(u"select NAME from NOTHING"_s);
        combo.Reload();
        QCOMPARE(combo.count(), 0);
        TdvQuery query;
        QVERIFY(query.Execute(u"insert into NOTHING values (\"Later\")"_s));
        combo.Reload();
        QCOMPARE(::items(&combo), QStringList{u"Later"_s});
        QVERIFY(query.Execute(u"delete from NOTHING"_s));
    }

    void loadedChoosesAnItem_data()
    {
        QTest::addColumn<QString>("select");
        QTest::addColumn<QString>("kept"); // a null text: no key at all
        QTest::addColumn<bool>("designing");
        QTest::addColumn<int>("index");
        const QString names = u"select NAME from PAY order by ID"_s;
        QTest::newRow("first item") << names << QString() << false << 0;
        QTest::newRow("kept position") << names << u"2"_s << false << 2;
        QTest::newRow("kept beyond the list") << names << u"3"_s << false << -1;
        QTest::newRow("kept, not a number") << names << u"abc"_s << false << 0;
        QTest::newRow("kept, in the designer") << names << u"2"_s << true << 0;
    }
    void loadedChoosesAnItem()
    {
        QFETCH(QString, select);
        QFETCH(QString, kept);
        QFETCH(bool, designing);
        QFETCH(int, index);
        if (!kept.isNull())
            writeKept(kept);
        TestForm<> form;
        auto *combo = form.add<TdvComboBox>(u"PayMethod"_s);
        combo->addItems({u"Designed"_s, u"Items"_s});
        combo->setCurrentIndex(-1);
        combo->SetSelect(select);
        combo->SetKeepValue(true);
        dvt::SetDesigning(&form, designing);
        dvt::LoadForm(&form);
        QCOMPARE(combo->count(), select.isEmpty() ? 2 : 3);
        QCOMPARE(combo->currentIndex(), index);
    }

    void keptPositionSurvivesASecondInstance()
    {
        {
            ComboForm f;
            f.combo->SetSelect(u"select NAME from PAY order by ID"_s);
            f.combo->SetKeepValue(true);
            QVERIFY(f.form.showForm());
            f.combo->setFocus();
            f.form.key(Qt::Key_Down);
            f.form.key(Qt::Key_Down);
            f.form.key(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), f.after);
            QCOMPARE(readKept(), u"2"_s);
        }
        ComboForm second;
        second.combo->SetSelect(u"select NAME from PAY order by ID"_s);
        second.combo->SetKeepValue(true);
        QVERIFY(second.form.showForm());
        QCOMPARE(second.combo->currentIndex(), 2);
        QCOMPARE(second.combo->GetSQL(), u" On account "_s);
    }

    void getSQL()
    {
        TdvComboBox combo;
        QCOMPARE(combo.GetSQL(), QString()); // no choice
        combo.addItem(u" a \"b\" "_s);
        QCOMPARE(combo.GetSQL(), u" a b "_s); // quotes removed, blanks kept
    }

    void focusColour_data()
    {
        QTest::addColumn<bool>("editable");
        QTest::addColumn<dvt::TColor>("own");
        QTest::addColumn<dvt::TColor>("panel");
        QTest::addColumn<QColor>("marked");
        QTest::newRow("list, own") << false << dvt::clAqua << dvt::clWindow << QColor(Qt::cyan);
        QTest::newRow("editable, panel's")
            << true << dvt::clWindow << dvt::clYellow << QColor(Qt::yellow);
    }
    void focusColour()
    {
        QFETCH(bool, editable);
        QFETCH(dvt::TColor, own);
        QFETCH(dvt::TColor, panel);
        QFETCH(QColor, marked);
        ComboForm f;
        f.combo->setEditable(editable);
        f.combo->addItems({u"Cash"_s, u"Card"_s});
        f.combo->SetHighlight(own);
        QVERIFY(f.form.showForm());
        f.form.addPanel()->SetHighlight(panel);
        f.before->setFocus();
        QWidget *surface = editable ? static_cast<QWidget *>(f.combo->lineEdit()) : f.combo;
        const QColor unfocused = BackgroundPixel(surface);
        QVERIFY(!LooksLike(unfocused, marked));

        f.form.key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.combo);
        QVERIFY2(LooksLike(BackgroundPixel(surface), marked),
                 qPrintable(BackgroundPixel(surface).name()));

        // The dropped-down list takes the keyboard for a while; the box stays marked.
        f.combo->showPopup();
        QTRY_VERIFY(QApplication::activePopupWidget());
        QVERIFY(LooksLike(BackgroundPixel(surface), marked));
        f.combo->hidePopup();
        QTRY_VERIFY(!QApplication::activePopupWidget());
        // The offscreen platform leaves the closed list active; a desktop hands
        // the activation back to the form.
        f.form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.form));
        QCOMPARE(QApplication::focusWidget(), f.combo);
        QVERIFY(LooksLike(BackgroundPixel(surface), marked));

        f.form.key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.after);
        QCOMPARE(BackgroundPixel(surface), unfocused);
    }

    void enterAndEsc_data() { ContractKeyCase::addRows(); }
    void enterAndEsc()
    {
        const auto keyCase = ContractKeyCase::fetch();
        ComboForm f;
        f.combo->addItems({u"Cash"_s, u"Card"_s});
        f.combo->SetEnterAsTab(keyCase.ownEnterAsTab());
        f.combo->SetCloseOnEsc(keyCase.ownCloseOnEsc());
        QVERIFY(f.form.showForm());
        keyCase.press(f.form, f.combo);
        keyCase.verify(f.form, f.combo, f.after);
        QCOMPARE(f.combo->currentIndex(), 0);
    }

private:
    std::unique_ptr<dvt::test::TestDatabase> m_db;
    std::unique_ptr<dvt::TDatabase> m_connection;
};

QTEST_MAIN(tst_dvComboBox)
#include "tst_dvComboBox.moc"
