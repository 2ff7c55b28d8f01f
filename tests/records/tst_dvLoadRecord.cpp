// Loading a row into a form's controls and clearing them again.

#include "dvRecords.h"
#include "dvtRecordsTestSupport.h"

using namespace Qt::StringLiterals;

namespace {

const QString loadFailure = u"It was not possible to load the record!"_s;

// A one-row SELECT of one expression under the name NAME.
QString selectOne(const QString &expression)
{
    return u"select "_s + expression + u" as NAME from rdb$database"_s;
}

} // namespace

class tst_dvLoadRecord : public QObject
{
    Q_OBJECT

    std::unique_ptr<dvt::test::RecordsDatabase> m_database;

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_database = std::make_unique<dvt::test::RecordsDatabase>();
        QVERIFY(m_database->open());
        QCOMPARE(dvt::test::RecordsDatabase::execute({
                     u"create table PAYMENTS (ID integer not null primary key, NAME varchar(20))"_s,
                     u"insert into PAYMENTS values (1, 'Cheque')"_s,
                     u"insert into PAYMENTS values (2, 'Transfer')"_s,
                     u"create table CYCLE (ID integer not null primary key, NAME varchar(40), "
                     u"CAPTION varchar(40), NOTES blob sub_type text, AMOUNT numeric(15,2), "
                     u"BORN date, ARRIVAL char(8), ACTIVE char(1), PAYMENT varchar(20), "
                     u"PAYCODE smallint)"_s,
                 }),
                 QString());
    }
    void cleanupTestCase() { m_database.reset(); }

    // The column's text by its type, and what each class of control makes of it.
    void loadsTheColumn_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");

        const auto row = [](const char *name, const QString &expression, const QString &cls,
                            const QString &before, const QString &after) {
            QTest::newRow(name) << expression << cls << before << after;
        };
        // Texts are trimmed of blanks and control characters; memos are not.
        row("VARCHAR into TdvEdit", uR"(cast("  Smith  " as varchar(20)))"_s, u"TdvEdit"_s,
            u"old"_s, u"Smith"_s);
        row("memo into TdvMemo",
            uR"(cast("  line 1" || ascii_char(10) || "line 2  " as blob sub_type text))"_s,
            u"TdvMemo"_s, u"old"_s, u"  line 1\nline 2  "_s);
        row("VARCHAR into QPlainTextEdit", uR"(" x ")"_s, u"QPlainTextEdit"_s, u"old"_s, u"x"_s);
        // Numbers.
        row("NUMERIC", u"cast(1234.5 as numeric(15,2))"_s, u"QLineEdit"_s, u"old"_s, u"1234.5"_s);
        row("NUMERIC into TdvValue", u"cast(1234.5 as numeric(15,2))"_s, u"TdvValue"_s, u"$1.00"_s,
            u"$1,234.50"_s);
        row("INTEGER into TdvValue", u"cast(-12 as integer)"_s, u"TdvValue"_s, u"$1.00"_s,
            u"($12.00)"_s);
        row("NULL INTEGER into QLineEdit", u"cast(null as integer)"_s, u"QLineEdit"_s, u"old"_s,
            QString());
        // Booleans.
        row("BOOLEAN true", u"true"_s, u"QLineEdit"_s, u"old"_s, u"Y"_s);
        row("BOOLEAN false", u"false"_s, u"TdvCheckBox"_s, u"checked"_s, u"unchecked"_s);
        // Dates: the short date format, without the time of day.
        row("DATE into TdvDate", uR"(cast("01/31/1970 10:30:00" as date))"_s, u"TdvDate"_s,
            u"1/1/2000"_s, u"1/31/1970"_s);
        row("DATE into QLineEdit", uR"(cast("12/05/2024 23:59:59" as date))"_s, u"QLineEdit"_s,
            u"old"_s, u"12/5/2024"_s);
        row("year-first text into TdvDate", uR"("1999/12/31")"_s, u"TdvDate"_s, u"1/1/2000"_s,
            u"12/31/1999"_s);
        row("no date into TdvDate", uR"("hello")"_s, u"TdvDate"_s, u"1/1/2000"_s, QString());
        // Times.
        row("text into TdvTime", uR"(cast("22:35:20" as char(8)))"_s, u"TdvTime"_s, u"10:00 AM"_s,
            u"10:35 PM"_s);
        // Check boxes: any Y, in either case.
        row("maybe", uR"("maybe")"_s, u"QCheckBox"_s, u"unchecked"_s, u"checked"_s);
        row("N", uR"("N")"_s, u"TdvCheckBox"_s, u"checked"_s, u"unchecked"_s);
        // TdvComboBox: by the item's text, else by the index the text gives.
        row("item text", uR"("CARD")"_s, u"TdvComboBox"_s, u"0"_s, u"1:Card"_s);
        row("item index", u"cast(1 as smallint)"_s, u"TdvComboBox"_s, u"2"_s, u"1:Card"_s);
        row("index out of range", u"99"_s, u"TdvComboBox"_s, u"2"_s, u"-1:"_s);
        row("neither text nor index", uR"("Cheque")"_s, u"TdvComboBox"_s, u"2"_s, u"0:Cash"_s);
        // Controls the load leaves alone.
        row("QComboBox", uR"("Card")"_s, u"QComboBox"_s, u"2"_s, u"2:Invoice"_s);
        row("QRadioButton", uR"("N")"_s, u"QRadioButton"_s, u"checked"_s, u"checked"_s);
        row("TdvCheckListBox", uR"("b")"_s, u"TdvCheckListBox"_s, u"a"_s, u"a"_s);
        // Types without a text form give an empty text.
        row("binary BLOB", uR"(cast("abc" as blob sub_type 0))"_s, u"QLineEdit"_s, u"old"_s,
            QString());
    }
    void loadsTheColumn()
    {
        QFETCH(QString, expression);
        QFETCH(QString, className);
        QFETCH(QString, before);
        QFETCH(QString, after);

        QWidget form;
        QWidget *control = dvt::test::MakeControl(className, u"NAME"_s, &form);
        dvt::test::SetState(control, before);
        dvt::test::MessageLog log;
        QVERIFY(dvLoadRecord(&form, selectOne(expression)));
        QCOMPARE(log.messages().size(), 0);
        QCOMPARE(dvt::test::State(control), after);
    }

    // Columns find their components by name, letter case ignored, aliases
    // included; columns without a component are skipped; only the first row counts.
    void columnsFindTheirComponents()
    {
        QWidget form;
        // A form inside the form owns its own components: its NAME is not reached.
        QWidget *nested = new QWidget(&form);
        dvt::SetOwnerMark(nested);
        QWidget *nestedName = dvt::test::MakeControl(u"QLineEdit"_s, u"NAME"_s, nested);
        QWidget *name = dvt::test::MakeControl(u"TdvEdit"_s, u"Name"_s, &form);
        QWidget *id = dvt::test::MakeControl(u"QLabel"_s, u"id"_s, &form);
        QWidget *untouched = dvt::test::MakeControl(u"QLineEdit"_s, u"OTHER"_s, &form);
        dvt::test::SetState(untouched, u"kept"_s);

        dvt::test::MessageLog log;
        QVERIFY(dvLoadRecord(&form,
                             u"select ID, NAME as NAME, ID * 10 as MISSING from "
                             u"PAYMENTS order by ID"_s,
                             false));
        QCOMPARE(log.messages().size(), 0);
        QCOMPARE(dvt::test::State(name), u"Cheque"_s);
        QCOMPARE(dvt::test::State(id), u"1"_s);
        QCOMPARE(dvt::test::State(untouched), u"kept"_s);
        QCOMPARE(dvt::test::State(nestedName), QString());

        QVERIFY(dvLoadRecord(&form, u"select NAME as oTHER from PAYMENTS where ID=2"_s));
        QCOMPARE(dvt::test::State(untouched), u"Transfer"_s);
    }

    // A TdvComboBox is refilled from its SELECT before it is positioned.
    void comboBoxIsReloaded()
    {
        QWidget form;
        auto *combo = new TdvComboBox(&form);
        combo->setObjectName(u"PAYMENT"_s);
        combo->SetSelect(u"select NAME from PAYMENTS order by ID"_s);
        combo->Reload();
        QCOMPARE(combo->count(), 2);
        QCOMPARE(
            dvt::test::RecordsDatabase::execute({u"insert into PAYMENTS values (3, 'Voucher')"_s}),
            QString());
        QVERIFY(dvLoadRecord(&form, uR"(select "voucher" as PAYMENT from rdb$database)"_s));
        QCOMPARE(dvt::test::State(combo), u"2:Voucher"_s);
        QCOMPARE(dvt::test::RecordsDatabase::execute({u"delete from PAYMENTS where ID=3"_s}),
                 QString());
    }

    // A failing or empty SELECT says so, answers false and changes no control.
    void failingSelect_data()
    {
        QTest::addColumn<QString>("select");
        QTest::addColumn<bool>("databaseMessage");
        QTest::newRow("no row") << u"select NAME from PAYMENTS where ID=0"_s << false;
        QTest::newRow("no such table") << u"select NAME from NOWHERE"_s << true;
        QTest::newRow("empty statement") << QString() << true;
    }
    void failingSelect()
    {
        QFETCH(QString, select);
        QFETCH(bool, databaseMessage);

        QWidget form;
        QWidget *name = dvt::test::MakeControl(u"TdvEdit"_s, u"NAME"_s, &form);
        dvt::test::SetState(name, u"kept"_s);
        dvt::test::MessageLog log;
        QVERIFY(!dvLoadRecord(&form, select));
        QCOMPARE(log.errors().size(), 1);
        QCOMPARE(log.messages().size(), 1);
        const QString message = log.errors().constFirst();
        if (databaseMessage) {
            QVERIFY2(message.startsWith(loadFailure + u"\r\r"_s), qPrintable(message));
            QVERIFY(message.size() > loadFailure.size() + 2);
        } else {
            QCOMPARE(message, loadFailure);
        }
        QCOMPARE(dvt::test::State(name), u"kept"_s);
    }

    // A load without an owner finds no components but still reads the row.
    void noOwner()
    {
        dvt::test::MessageLog log;
        QVERIFY(dvLoadRecord(nullptr, selectOne(u"1"_s)));
        QVERIFY(!dvLoadRecord(nullptr, u"select NAME from PAYMENTS where ID=0"_s));
        QCOMPARE(log.errors(), QStringList{loadFailure});
    }

    void clearsTheControl_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");

        QTest::newRow("TdvValue") << u"TdvValue"_s << u"$12.00"_s << u"$0.00"_s;
        QTest::newRow("QCheckBox") << u"QCheckBox"_s << u"checked"_s << u"unchecked"_s;
        QTest::newRow("TdvComboBox, no choice") << u"TdvComboBox"_s << u"-1"_s << u"0:Cash"_s;
        QTest::newRow("QComboBox") << u"QComboBox"_s << u"2"_s << u"0:Cash"_s;
        QTest::newRow("TdvRadioButton") << u"TdvRadioButton"_s << u"checked"_s << u"checked"_s;
        QTest::newRow("QWidget") << u"QWidget"_s << QString() << u"-"_s;
    }
    void clearsTheControl()
    {
        QFETCH(QString, className);
        QFETCH(QString, before);
        QFETCH(QString, after);

        QWidget form;
        QWidget *control = dvt::test::MakeControl(className, u"X"_s, &form);
        dvt::test::SetState(control, before);
        dvt::test::MessageLog log;
        dvClearRecord({control, nullptr});
        QCOMPARE(dvt::test::State(control), after);
        QCOMPARE(log.messages().size(), 0);
    }

    // A TdvComboBox is refilled after its first item is chosen.
    void clearReloadsTheComboBox()
    {
        QWidget form;
        auto *combo = new TdvComboBox(&form);
        combo->SetSelect(u"select NAME from PAYMENTS order by ID desc"_s);
        combo->addItems({u"design"_s, u"time"_s});
        combo->setCurrentIndex(1);
        dvClearRecord({combo});
        QCOMPARE(dvt::test::State(combo), u"0:Transfer"_s);
        QCOMPARE(combo->count(), 2);
    }

    // A record stored from every class of control, cleared and loaded again,
    // comes back exactly, time after time.
    void storeClearLoadCycle()
    {
        QWidget form;
        const QList<QObject *> controls = dvt::test::MakeControls(
            {u"TdvValue ID=$7.00"_s, u"TdvEdit NAME=Ünïcode O'Brien"_s,
             u"QLabel CAPTION=Total: 7"_s, u"TdvMemo NOTES=line 1\n  line 2  "_s,
             u"TdvValue AMOUNT=($1,234.50)"_s, u"TdvDate BORN=2/29/2000"_s,
             u"TdvTime ARRIVAL=11:59 PM"_s, u"TdvCheckBox ACTIVE=checked"_s,
             u"TdvComboBox PAYMENT=2"_s, u"TdvComboBox PAYCODE=1"_s},
            &form);
        const auto states = [&controls] {
            QStringList states;
            for (const QObject *control : controls)
                states << dvt::test::State(control);
            return states;
        };
        const QStringList stored = states();
        dvt::test::MessageLog log;
        QVERIFY(dvInsertRecord(u"CYCLE"_s, controls));
        QStringList empty;
        for (int round = 0; round < 2; ++round) {
            dvClearRecord(controls);
            if (round == 0)
                empty = states();
            QCOMPARE(states(), empty);
            QVERIFY(dvLoadRecord(&form, u"select * from CYCLE where ID=7"_s));
            QCOMPARE(states(), stored);
        }
        QCOMPARE(empty[1], QString());
        QCOMPARE(empty[4], u"$0.00"_s);
        QCOMPARE(empty[8], u"0:Cash"_s);
        QCOMPARE(log.messages().size(), 0);
    }
};

QTEST_MAIN(tst_dvLoadRecord)
#include "tst_dvLoadRecord.moc"
