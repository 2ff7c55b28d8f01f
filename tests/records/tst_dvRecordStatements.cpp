// The statement texts of the record routines, character for character, and the
// catalogue probe that decides how a combo box is stored.

#include "dvRecords.h"
#include "dvtRecordStatements_p.h"
#include "dvtRecordsTestSupport.h"

using namespace Qt::StringLiterals;

class tst_dvRecordStatements : public QObject
{
    Q_OBJECT

    std::unique_ptr<dvt::test::RecordsDatabase> m_database;

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_database = std::make_unique<dvt::test::RecordsDatabase>();
        QVERIFY(m_database->open());
        QCOMPARE(dvt::test::RecordsDatabase::execute(
                     {u"create table PROBE (CODE char(4), LABEL varchar(20), IDX integer, "
                      u"NOTE blob sub_type text)"_s}),
                 QString());
    }
    void cleanupTestCase() { m_database.reset(); }

    void statements_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("controls");
        QTest::addColumn<QString>("insert");
        QTest::addColumn<QString>("update");

        QTest::newRow("a customer")
            << u"CUSTOMER"_s
            << QStringList{u"TdvEdit NAME=Smith"_s, u"TdvValue AMOUNT=1234.5"_s,
                           u"TdvDate BORN=1/31/1970"_s, u"TdvCheckBox ACTIVE=checked"_s}
            << uR"(insert into CUSTOMER (NAME,AMOUNT,BORN,ACTIVE) values ("Smith",1234.5,"01/31/1970","Y"))"_s
            << uR"(update CUSTOMER set  NAME="Smith", AMOUNT=1234.5, BORN="01/31/1970", ACTIVE="Y" where ID=5)"_s;
        QTest::newRow("no controls") << u"T"_s << QStringList() << u"insert into T () values ()"_s
                                     << u"update T set where ID=5"_s;
        QTest::newRow("texts lose their double quotes, keep their blanks")
            << u"T"_s
            << QStringList{uR"(TdvEdit A= Say "hi" )"_s, uR"(QLineEdit B="x")"_s,
                           uR"(QLabel C=Total: "7")"_s}
            << uR"(insert into T (A,B,C) values (" Say hi ","x","Total: 7"))"_s
            << uR"(update T set  A=" Say hi ", B="x", C="Total: 7" where ID=5)"_s;
        QTest::newRow("memos keep their line breaks")
            << u"T"_s << QStringList{u"QPlainTextEdit B=\"3\"\n"_s, u"QCheckBox C=unchecked"_s}
            << u"insert into T (B,C) values (\"3\n\",\"N\")"_s
            << u"update T set  B=\"3\n\", C=\"N\" where ID=5"_s;
        QTest::newRow("typed edits that cannot read their text")
            << u"T"_s
            << QStringList{u"TdvDate D=31/31/1999"_s, u"TdvTime T=xyz"_s, u"TdvValue V=abc"_s}
            << uR"(insert into T (D,T,V) values (null,"",0))"_s
            << uR"(update T set  D=null, T="", V=0 where ID=5)"_s;
        QTest::newRow("typed edits")
            << u"T"_s
            << QStringList{u"TdvTime T=2:05 PM"_s, u"TdvValue V=$1,234.50"_s, u"TdvValue W=(12)"_s,
                           u"TdvDate D=12/31"_s}
            << u"insert into T (T,V,W,D) values (\"14:05:00\",1234.5,-12,\"12/31/{year}\")"_s
            << u"update T set  T=\"14:05:00\", V=1234.5, W=-12, D=\"12/31/{year}\" where ID=5"_s;
        QTest::newRow("combo boxes on text columns store their text")
            << u"PROBE"_s
            << QStringList{u"QComboBox CODE=1"_s, u"TdvComboBox label=2"_s, u"QComboBox Code=-1"_s}
            << uR"(insert into PROBE (CODE,label,Code) values ("Card","Invoice",""))"_s
            << uR"(update PROBE set  CODE="Card", label="Invoice", Code="" where ID=5)"_s;
        QTest::newRow("combo boxes on other columns store their index")
            << u"probe"_s
            << QStringList{u"TdvComboBox IDX=1"_s, u"QComboBox NOTE=-1"_s, u"QComboBox MISSING=2"_s}
            << u"insert into probe (IDX,NOTE,MISSING) values (1,-1,2)"_s
            << u"update probe set  IDX=1, NOTE=-1, MISSING=2 where ID=5"_s;
        QTest::newRow("combo box of a table that does not exist")
            << u"NOWHERE"_s << QStringList{u"QComboBox CODE=1"_s}
            << u"insert into NOWHERE (CODE) values (1)"_s
            << u"update NOWHERE set  CODE=1 where ID=5"_s;
        QTest::newRow("controls without a value")
            << u"T"_s
            << QStringList{u"QRadioButton A=checked"_s, u"TdvEdit B=b"_s,
                           u"TdvRadioButton C=checked"_s, u"TdvCheckListBox D=x,y"_s,
                           u"QWidget E="_s}
            << uR"(insert into T (A,B,C,D,E) values ("b"))"_s
            << uR"(update T set  A= B="b", C= D= E where ID=5)"_s;
    }
    void statements()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, controls);
        QFETCH(QString, insert);
        QFETCH(QString, update);

        // A date without a year takes the current one.
        const QString year = QString::number(QDate::currentDate().year());
        insert.replace(u"{year}"_s, year);
        update.replace(u"{year}"_s, year);
        QWidget form;
        const QList<QObject *> array = dvt::test::MakeControls(controls, &form);
        TdvQuery query;
        QCOMPARE(dvt::InsertStatement(table, array, query), insert);
        QCOMPARE(dvt::UpdateStatement(table, u"ID=5"_s, array, query), update);
        QCOMPARE(dvt::DeleteStatement(table, u"ID=5"_s),
                 u"delete from "_s + table + u" where ID=5"_s);
    }

    // The plain edit's text is stored as typed: neither the edit's AutoTrimText
    // nor the control panel's trims it.
    void autoTrimTextDoesNotApply_data()
    {
        QTest::addColumn<bool>("own");
        QTest::addColumn<bool>("panel");
        QTest::newRow("edit") << true << false;
        QTest::newRow("panel") << false << true;
    }
    void autoTrimTextDoesNotApply()
    {
        QFETCH(bool, own);
        QFETCH(bool, panel);
        QWidget form;
        auto *edit = new TdvEdit(&form);
        edit->setObjectName(u"NAME"_s);
        edit->setText(u"  Smith  "_s);
        edit->SetAutoTrimText(own);
        m_database->panel()->SetAutoTrimText(panel);
        QCOMPARE(edit->GetSQL(), u"Smith"_s); // the edit's own SQL value trims
        TdvQuery query;
        QCOMPARE(dvt::InsertStatement(u"T"_s, {edit}, query),
                 uR"(insert into T (NAME) values ("  Smith  "))"_s);
        m_database->panel()->SetAutoTrimText(false);
    }

    void probeAsksTheCatalogue()
    {
        QCOMPARE(
            dvt::ColumnTypeProbe(u"Orders"_s, u"Customer"_s).join(u' ') + u' ',
            uR"(select b.rdb$field_type as fieldtype from rdb$relation_fields a, rdb$fields b where b.rdb$field_name=a.rdb$field_source and a.rdb$relation_name="ORDERS" and a.rdb$field_name="CUSTOMER" )"_s);
        // ... and it is the statement the query runs for a combo box.
        QWidget form;
        QComboBox *combo =
            qobject_cast<QComboBox *>(dvt::test::MakeControl(u"QComboBox"_s, u"Label"_s, &form));
        TdvQuery query;
        dvt::InsertStatement(u"probe"_s, {combo}, query);
        QCOMPARE(query.SQL(), dvt::ColumnTypeProbe(u"probe"_s, u"Label"_s).join(u' ') + u' ');
    }

    // A null entry in the array is a control of no class: it has no name and no value.
    void nullControl()
    {
        TdvQuery query;
        QCOMPARE(dvt::ValueText(nullptr, u"T"_s, query), std::nullopt);
        QCOMPARE(dvt::InsertStatement(u"T"_s, {nullptr}, query), u"insert into T () values ()"_s);
    }
};

QTEST_MAIN(tst_dvRecordStatements)
#include "tst_dvRecordStatements.moc"
