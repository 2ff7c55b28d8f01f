// The record routines on a real embedded database: the statement texts character
// for character, the values stored as a separate client (isql-fb) reads them,
// loading and clearing forms, and every failure reported with the routine's
// sentence, answered false and leaving the table as it was.

#include <QDir>
#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "dvCheckBox.h"
#include "dvCheckListBox.h"
#include "dvComboBox.h"
#include "dvControlPanel.h"
#include "dvDate.h"
#include "dvEdit.h"
#include "dvMemo.h"
#include "dvQuery.h"
#include "dvRadioButton.h"
#include "dvRecords.h"
#include "dvTime.h"
#include "dvValue.h"
#include "dvtApplication.h"
#include "dvtComponent.h"
#include "dvtRecordStatements_p.h"
#include "dvtRecordsTestSupport.h"
#include "dvtTestTables.h"

using namespace Qt::StringLiterals;
using dvt::test::State;

namespace {

using Statements = std::tuple<QString, QString, QString>;
using StoredChoice = std::tuple<int, QString, QString, QString>;
// table, condition, controls, the reason given ("*": the database's message)
using Refusal = std::tuple<QString, QString, QString, QString>;
using Loaded = std::tuple<QString, QString, QString>;

// The sentence a routine ("insert", "update", "delete", "load") reports failures with.
QString Failure(const QString &routine)
{
    return u"It was not possible to %1 the record!"_s.arg(routine);
}

// Sets the state State() reads: "checked" or "unchecked", a combo box's index (or
// "index:text", which also gives that item the text), a list's comma-separated
// items, all of them checked, or a text.
void SetState(QObject *control, const QString &state)
{
    const int index = state.section(u':', 0, 0).toInt();
    if (auto *combo = qobject_cast<QComboBox *>(control)) {
        if (state.contains(u':'))
            combo->setItemText(index, state.section(u':', 1));
        combo->setCurrentIndex(index);
    } else if (auto *list = qobject_cast<QListWidget *>(control)) {
        for (const QString &text : state.split(u',', Qt::SkipEmptyParts))
            (new QListWidgetItem(text, list))->setCheckState(Qt::Checked);
    } else if (qobject_cast<QAbstractButton *>(control)) {
        control->setProperty("checked", state == u"checked");
    } else if (const char *text = dvt::test::TextProperty(control)) {
        control->setProperty(text, state);
    }
}

template<class... Classes>
QWidget *MakeOneOf(const QString &className, QWidget *form)
{
    QWidget *made = nullptr;
    (void)((className == QLatin1StringView(Classes::staticMetaObject.className())
            && (made = new Classes(form)))
           || ...);
    return made;
}

// Controls from "Class NAME=state|..." (SetState), children of the form, in that
// order; "QWidget" is a control of no known class and "null" a null entry. Combo
// boxes hold Cash, Card and Invoice.
QList<QObject *> MakeControls(const QString &descriptions, QWidget *form)
{
    QList<QObject *> controls;
    for (const QString &description : descriptions.split(u'|', Qt::SkipEmptyParts)) {
        const QString className = description.section(u' ', 0, 0);
        QWidget *control =
            MakeOneOf<TdvEdit, TdvValue, TdvDate, TdvTime, QLineEdit, QLabel, TdvMemo,
                      QPlainTextEdit, TdvCheckBox, QCheckBox, TdvRadioButton, QRadioButton,
                      TdvComboBox, QComboBox, TdvCheckListBox, QWidget>(className, form);
        if (!control && className != u"null")
            qFatal("MakeControls: unknown class %s", qPrintable(className));
        if (auto *combo = qobject_cast<QComboBox *>(control))
            combo->addItems({u"Cash"_s, u"Card"_s, u"Invoice"_s});
        const QString assignment = description.section(u' ', 1);
        if (control)
            control->setObjectName(assignment.section(u'=', 0, 0));
        SetState(control, assignment.section(u'=', 1));
        controls << control;
    }
    return controls;
}

QString States(const QList<QObject *> &controls)
{
    QStringList states;
    for (const QObject *control : controls)
        states << State(control);
    return states.join(u'|');
}

} // namespace

class tst_dvRecords : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    QWidget m_mainForm;
    TdvControlPanel *m_panel = new TdvControlPanel(&m_mainForm);

    const QString m_path = m_folder.filePath(u"records.fdb"_s);

    QString isql(const QString &select) const { return dvt::test::IsqlValues(m_path, select); }
    // Every row of REC: how the tests see that a failed statement stored nothing.
    QString snapshot() const
    {
        return isql(
            u"select cast(list(ID || ':' || coalesce(NAME, '-') || ':' || coalesce(CAPTION, "
            u"'-') || ':' || coalesce(cast(AMOUNT as varchar(30)), '-') || ':' || "
            u"coalesce(PAYMENT, '-'), '|') as varchar(4000)) from REC"_s);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        dvt::SetMainForm(&m_mainForm);
        m_panel->SetConnectionString(m_path);
        QVERIFY(m_panel->Open());
        // A stored text is taken as typed: the trimming of TdvEdit's SQL value
        // must not reach the routines.
        m_panel->SetAutoTrimText(true);
        TdvQuery query;
        for (const QString &statement :
             {u"create table PAYMENTS (ID integer not null primary key, NAME varchar(20))"_s,
              u"insert into PAYMENTS values (1, 'Cheque')"_s,
              u"insert into PAYMENTS values (2, 'Transfer')"_s,
              u"create table REC (ID integer not null primary key, NAME varchar(40), CAPTION "
              u"varchar(40), NOTES blob sub_type text, AMOUNT numeric(15,2), BORN date, ARRIVAL "
              u"char(8), ACTIVE char(1), PAYMENT varchar(20), PAYCODE smallint)"_s,
              u"insert into REC (ID, NAME, AMOUNT) values (1, 'one', 1)"_s,
              u"create table CODES (ID integer not null primary key, CODE char(10))"_s,
              u"insert into CODES values (1, 'Cash')"_s, u"insert into CODES values (2, 'Card')"_s,
              u"insert into CODES values (3, 'Invoice')"_s})
            QVERIFY2(query.Execute(statement), qPrintable(query.Error()));
    }

    void statements_data()
    {
        const auto row = RowColumn<Statements>(); // controls, insert, update
        row("a customer",
            {u"TdvEdit NAME=Smith|TdvValue AMOUNT=1234.5|TdvDate BORN=1/31/1970|TdvCheckBox "
             u"ACTIVE=checked"_s,
             uR"(insert into rec (NAME,AMOUNT,BORN,ACTIVE) values ("Smith",1234.5,"01/31/1970","Y"))"_s,
             uR"(update rec set  NAME="Smith", AMOUNT=1234.5, BORN="01/31/1970", ACTIVE="Y" where ID=5)"_s});
        row("no controls", {{}, u"insert into rec () values ()"_s, u"update rec set where ID=5"_s});
        row("texts lose their double quotes, keep their blanks and line breaks",
            {u"TdvEdit A= Say \"hi\" |QLineEdit B=\"x\"|QLabel C=Total: \"7\"|QPlainTextEdit "
             u"D=\"3\"\n|QCheckBox E=unchecked"_s,
             u"insert into rec (A,B,C,D,E) values (\" Say hi \",\"x\",\"Total: 7\",\"3\n\",\"N\")"_s,
             u"update rec set  A=\" Say hi \", B=\"x\", C=\"Total: 7\", D=\"3\n\", E=\"N\" where ID=5"_s});
        row("typed edits that cannot read their text",
            {u"TdvDate D=31/31/1999|TdvTime T=xyz|TdvValue V=abc"_s,
             uR"(insert into rec (D,T,V) values (null,"",0))"_s,
             uR"(update rec set  D=null, T="", V=0 where ID=5)"_s});
        // A date without a year takes the current one.
        row("typed edits",
            {u"TdvTime T=2:05 PM|TdvValue V=$1,234.50|TdvValue W=(12)|TdvDate D=12/31"_s,
             u"insert into rec (T,V,W,D) values (\"14:05:00\",1234.5,-12,\"12/31/{year}\")"_s,
             u"update rec set  T=\"14:05:00\", V=1234.5, W=-12, D=\"12/31/{year}\" where ID=5"_s});
        row("combo boxes on text columns store their text",
            {u"QComboBox ARRIVAL=1|TdvComboBox payment=2|QComboBox Payment=-1"_s,
             uR"(insert into rec (ARRIVAL,payment,Payment) values ("Card","Invoice",""))"_s,
             uR"(update rec set  ARRIVAL="Card", payment="Invoice", Payment="" where ID=5)"_s});
        row("combo boxes on other columns store their index",
            {u"TdvComboBox PAYCODE=1|QComboBox NOTES=-1|QComboBox MISSING=2"_s,
             u"insert into rec (PAYCODE,NOTES,MISSING) values (1,-1,2)"_s,
             u"update rec set  PAYCODE=1, NOTES=-1, MISSING=2 where ID=5"_s});
    }
    void statements()
    {
        const auto &[controls, insert, update] = Row<Statements>();
        const QString year = QString::number(QDate::currentDate().year());
        QWidget form;
        const QList<QObject *> array = MakeControls(controls, &form);
        TdvQuery query;
        QCOMPARE(dvt::InsertStatement(u"rec"_s, array, query),
                 QString(insert).replace(u"{year}"_s, year));
        QCOMPARE(dvt::UpdateStatement(u"rec"_s, u"ID=5"_s, array, query),
                 QString(update).replace(u"{year}"_s, year));
        QCOMPARE(dvt::DeleteStatement(u"rec"_s, u"ID=5"_s), u"delete from rec where ID=5"_s);
    }

    // The catalogue tells a combo box's column type, the names in any letter
    // case: a CHAR or VARCHAR column stores the item's text, any other its position.
    void comboBoxStoresByTheColumnType_data()
    {
        const auto row = RowColumn<StoredChoice>(); // ID, table, combo box, stored
        row("VARCHAR", {21, u"REC"_s, u"TdvComboBox PAYMENT=1"_s, u"Card"_s});
        row("CHAR", {22, u"REC"_s, u"QComboBox ARRIVAL=1"_s, u"Card"_s});
        row("SMALLINT", {23, u"REC"_s, u"TdvComboBox PAYCODE=1"_s, u"1"_s});
        row("names in other letter case", {24, u"rec"_s, u"TdvComboBox Payment=2"_s, u"Invoice"_s});
    }
    void comboBoxStoresByTheColumnType()
    {
        const auto &[id, table, combo, stored] = Row<StoredChoice>();
        QWidget form;
        const QList<QObject *> controls =
            MakeControls(u"TdvValue ID=%1|%2"_s.arg(id).arg(combo), &form);
        dvt::test::MessageLog log;
        QVERIFY(dvInsertRecord(table, controls));
        QCOMPARE(log.texts, QStringList());
        QCOMPARE(isql(u"select trim(%1) from REC where ID=%2"_s.arg(controls.at(1)->objectName())
                          .arg(id)),
                 stored);
    }

    // A combo box filled from a CHAR column holds its items padded with blanks;
    // a loaded text selects the item that reads as it, padded or not.
    void comboBoxFilledFromCharColumn_data()
    {
        const auto row = RowColumn<std::tuple<QString, int>>(); // expression, index
        row("the same column", {u"(select CODE from CODES where ID=2)"_s, 1});
        row("VARCHAR", {u"cast('Invoice' as varchar(10))"_s, 2});
        row("a longer CHAR", {u"cast('Card' as char(20))"_s, 1});
        row("other letter case", {u"'CASH'"_s, 0});
    }
    void comboBoxFilledFromCharColumn()
    {
        const auto &[expression, index] = Row<std::tuple<QString, int>>();
        QWidget form;
        auto *combo = new TdvComboBox(&form);
        combo->setObjectName(u"PAYMENT"_s);
        combo->SetSelect(u"select CODE from CODES order by ID"_s);
        combo->Reload();
        QCOMPARE(combo->itemText(1), u"Card      "_s);
        combo->setCurrentIndex(-1);
        dvt::test::MessageLog log;
        QVERIFY(
            dvLoadRecord(&form, u"select "_s + expression + u" as PAYMENT from rdb$database"_s));
        QCOMPARE(log.texts, QStringList());
        QCOMPARE(combo->currentIndex(), index);
    }

    // A record of every class of control that has a value: the texts the database
    // holds, and clearing and loading it again, time after time.
    void storeClearLoadCycle()
    {
        QWidget form;
        const QList<QObject *> controls = MakeControls(
            u"TdvValue ID=$7.00|TdvEdit NAME=Ünïcode O'Brien|QLabel CAPTION=Total: 7|TdvMemo "
            u"NOTES=line 1\n  line 2  |TdvValue AMOUNT=($1,234.50)|TdvDate BORN=2/29/2000|TdvTime "
            u"ARRIVAL=11:59 PM|TdvCheckBox ACTIVE=checked|TdvComboBox PAYMENT=2|TdvComboBox "
            u"PAYCODE=1"_s,
            &form);
        const QString stored = States(controls);
        dvt::test::MessageLog log;
        QVERIFY(dvInsertRecord(u"REC"_s, controls));
        QCOMPARE(
            isql(u"select ID, NAME, CAPTION, cast(NOTES as varchar(200)), AMOUNT, cast(BORN as "
                 u"varchar(11)), trim(ARRIVAL), trim(ACTIVE), PAYMENT, PAYCODE from REC "
                 u"where ID=7"_s),
            u"7|Ünïcode O'Brien|Total: 7|line 1\n  line 2  |-1234.50|29-FEB-2000|23:59:00|"
            u"Y|Invoice|1"_s);
        for (int round = 0; round < 2; ++round) {
            dvClearRecord(controls);
            QCOMPARE(States(controls), u"$0.00||||$0.00|||unchecked|0:Cash|0:Cash"_s);
            QVERIFY(dvLoadRecord(&form, u"select * from REC where ID=7"_s));
            QCOMPARE(States(controls), stored);
        }
        QCOMPARE(log.texts, QStringList());
    }

    void updateAndDeleteTheSelectedRowOnly()
    {
        QWidget form;
        const QList<QObject *> controls =
            MakeControls(u"TdvValue ID=11|TdvEdit NAME=first|TdvValue AMOUNT=2"_s, &form);
        dvt::test::MessageLog log;
        QVERIFY(dvInsertRecord(u"REC"_s, controls, false));
        SetState(controls[1], u"changed"_s);
        SetState(controls[2], u"$1,000.25"_s);
        QVERIFY(dvUpdateRecord(u"REC"_s, u"ID=11"_s, controls.mid(1)));
        // The first row of the two, the other one when 11 is gone.
        const QString select =
            u"select ID, NAME, AMOUNT from REC where ID in (1, 11) order by ID desc"_s;
        QCOMPARE(isql(select), u"11|changed|1000.25"_s);
        QVERIFY(dvDeleteRecord(u"REC"_s, u"ID=11"_s));
        QCOMPARE(isql(select), u"1|one|1.00"_s);
        // A condition that selects nothing is no failure.
        QVERIFY(dvDeleteRecord(u"REC"_s, u"ID=11"_s, false));
        QCOMPARE(log.texts, QStringList());
    }

    // The routine named by the tag's start fails with its sentence and, after two
    // carriage returns, the database's message or the reason ("reason", "*" for the
    // database's message), answers false, sends nothing else and changes neither
    // the table nor the controls. A statement with a control without a value might
    // even be taken: "set NAME= CAPTION="x"" stores the comparison's result in NAME.
    void failures_data()
    {
        QTest::addColumn<Refusal>("row");
        const auto row = [](const char *tag, const QString &table, const QString &where,
                            const QString &controls, const QString &reason = u"*"_s) {
            QTest::newRow(tag) << Refusal{table, where, controls, reason};
        };
        const QString noValue = u"The control NAME (%1) has no value to store."_s;
        row("insert: no such table", u"NOWHERE"_s, {}, u"TdvValue ID=900"_s);
        row("insert: NULL key", u"REC"_s, {}, u"TdvDate ID=not a date|TdvEdit NAME=x"_s);
        row("insert: a double quote in a combo box's text", u"REC"_s, {},
            u"TdvValue ID=906|QComboBox PAYMENT=1:Ca\"rd"_s);
        row("insert: a radio button", u"REC"_s, {},
            u"TdvValue ID=904|QRadioButton NAME=checked|TdvEdit CAPTION=x"_s,
            noValue.arg(u"QRadioButton"_s));
        row("update: no such column", u"REC"_s, u"ID=1"_s, u"TdvEdit NAME=x|TdvEdit NOSUCH=x"_s);
        row("update: a bad condition", u"REC"_s, u"ID=="_s, u"TdvEdit NAME=x"_s);
        row("update: a value-less control first", u"REC"_s, u"ID=1"_s,
            u"TdvRadioButton NAME=checked|TdvEdit CAPTION=x"_s, noValue.arg(u"TdvRadioButton"_s));
        row("update: a plain widget last", u"REC"_s, u"ID=1"_s,
            u"TdvEdit CAPTION=x|QWidget NAME="_s, noValue.arg(u"QWidget"_s));
        row("update: a null entry", u"REC"_s, u"ID=1"_s, u"TdvEdit CAPTION=x|null|TdvEdit NAME=y"_s,
            u"The control array holds a null entry."_s);
        // The first of them is named; the statement, short of values, is never sent.
        row("insert: controls without a value, a null entry last", u"REC"_s, {},
            u"TdvValue ID=905|TdvEdit NAME=b|TdvRadioButton CAPTION=checked|TdvCheckListBox "
            u"NOTES=x,y|QWidget PAYMENT=|null"_s,
            u"The control CAPTION (TdvRadioButton) has no value to store."_s);
        row("delete: no condition", u"REC"_s, {}, {});
        // A load's "where" is its SELECT; a SELECT without a row gives no message.
        row("load: no row", {}, u"select NAME from PAYMENTS where ID=0"_s, u"TdvEdit NAME=kept"_s,
            {});
        row("load: no such table", {}, u"select NAME from NOWHERE"_s, u"TdvEdit NAME=kept"_s);
        row("load: empty statement", {}, {}, u"TdvEdit NAME=kept"_s);
    }
    void failures()
    {
        const auto &[table, where, controls, reason] = Row<Refusal>();

        const QString before = snapshot();
        QVERIFY2(before.contains(u"1:one:-:1.00:-"_s), qPrintable(before));
        QWidget form;
        const QList<QObject *> array = MakeControls(controls, &form);
        const QString states = States(array);
        const QString routine = QString::fromLatin1(QTest::currentDataTag()).section(u':', 0, 0);
        const QString sentence = Failure(routine);
        dvt::test::MessageLog log;
        QVERIFY(!(routine == u"insert"   ? dvInsertRecord(table, array)
                  : routine == u"update" ? dvUpdateRecord(table, where, array)
                  : routine == u"delete" ? dvDeleteRecord(table, where)
                                         : dvLoadRecord(&form, where)));
        if (reason == u"*") {
            QCOMPARE(log.texts.size(), 1);
            const QString message = log.texts.constFirst();
            QVERIFY2(message.startsWith(sentence + u"\r\r"_s), qPrintable(message));
            QVERIFY(message.size() > sentence.size() + 2);
            QVERIFY(!message.contains(u'\n' + sentence));
        } else {
            QCOMPARE(log.texts,
                     QStringList{reason.isEmpty() ? sentence : sentence + u"\r\r"_s + reason});
        }
        QCOMPARE(States(array), states);
        QCOMPARE(snapshot(), before);
    }

    // Without a connection every routine fails with its own sentence and the
    // reason the connection could not be made.
    void noConnection()
    {
        m_panel->Close();
        m_panel->SetConnectionString(QDir::temp().filePath(u"no/such/folder/x.fdb"_s));
        m_panel->SetAutoCreate(false);
        QWidget form;
        const QList<QObject *> array =
            MakeControls(u"TdvValue ID=1000|QComboBox PAYMENT=1"_s, &form);
        dvt::test::MessageLog log;
        QVERIFY(!dvInsertRecord(u"REC"_s, array));
        QVERIFY(!dvUpdateRecord(u"REC"_s, u"ID=1"_s, array));
        QVERIFY(!dvDeleteRecord(u"REC"_s, u"ID=1"_s));
        QCOMPARE(log.texts.size(), 3);
        QVERIFY(log.texts[0].startsWith(Failure(u"insert"_s) + u"\r\r"_s));
        QVERIFY(log.texts[1].startsWith(Failure(u"update"_s) + u"\r\r"_s));
        QVERIFY(log.texts[2].startsWith(Failure(u"delete"_s) + u"\r\r"_s));
        m_panel->SetAutoCreate(true);
        m_panel->SetConnectionString(m_path);
        QVERIFY(m_panel->Open());
        QCOMPARE(isql(u"select count(*) from REC where ID=1000"_s), u"0"_s);
    }

    // The column's text by its type, and what each class of control makes of it.
    void loadsTheColumn_data()
    {
        const auto row = RowColumn<Loaded>(); // expression, control, state afterwards
        // Texts are trimmed of blanks and control characters; memos are not.
        row("VARCHAR",
            {uR"(cast("  Smith  " as varchar(20)))"_s, u"TdvEdit NAME=old"_s, u"Smith"_s});
        row("memo", {uR"(cast("  line 1" || ascii_char(10) || "line 2  " as blob sub_type text))"_s,
                     u"TdvMemo NAME=old"_s, u"  line 1\nline 2  "_s});
        row("NUMERIC", {u"cast(1234.5 as numeric(15,2))"_s, u"QLineEdit NAME=old"_s, u"1234.5"_s});
        row("INTEGER", {u"cast(-12 as integer)"_s, u"TdvValue NAME=$1.00"_s, u"($12.00)"_s});
        row("NULL", {u"cast(null as integer)"_s, u"QLineEdit NAME=old"_s, {}});
        row("BOOLEAN true", {u"true"_s, u"QLineEdit NAME=old"_s, u"Y"_s});
        row("BOOLEAN false", {u"false"_s, u"TdvCheckBox NAME=checked"_s, u"unchecked"_s});
        row("binary BLOB", {uR"(cast("abc" as blob sub_type 0))"_s, u"QLabel NAME=old"_s, {}});
        // The short date format, without the time of day.
        row("DATE",
            {uR"(cast("12/05/2024 23:59:59" as date))"_s, u"QLineEdit NAME=old"_s, u"12/5/2024"_s});
        row("no date into TdvDate", {uR"("hello")"_s, u"TdvDate NAME=1/1/2000"_s, {}});
        row("any Y checks", {uR"("maybe")"_s, u"QCheckBox NAME=unchecked"_s, u"checked"_s});
        // TdvComboBox: by the item's text, else by the index the text gives.
        row("item text", {uR"("CARD")"_s, u"TdvComboBox NAME=0"_s, u"1:Card"_s});
        row("item index", {u"cast(1 as smallint)"_s, u"TdvComboBox NAME=2"_s, u"1:Card"_s});
        // Controls the load leaves alone.
        row("QComboBox", {uR"("Card")"_s, u"QComboBox NAME=2"_s, u"2:Invoice"_s});
        row("QRadioButton", {uR"("N")"_s, u"QRadioButton NAME=checked"_s, u"checked"_s});
    }
    void loadsTheColumn()
    {
        const auto &[expression, control, after] = Row<Loaded>();

        QWidget form;
        const QList<QObject *> controls = MakeControls(control, &form);
        dvt::test::MessageLog log;
        QVERIFY(dvLoadRecord(&form, u"select "_s + expression + u" as NAME from rdb$database"_s));
        QCOMPARE(log.texts, QStringList());
        QCOMPARE(States(controls), after);
    }

    // Columns find their components by name, letter case ignored, aliases
    // included; columns without a component are skipped; only the first row counts.
    void columnsFindTheirComponents()
    {
        QWidget form;
        // A form inside the form owns its own components: its NAME is not reached.
        auto *nested = new QWidget(&form);
        dvt::SetOwnerMark(nested);
        const QList<QObject *> controls =
            MakeControls(u"QLineEdit NAME="_s, nested)
            + MakeControls(u"TdvEdit Name=|QLabel id=|QLineEdit OTHER=kept"_s, &form);
        dvt::test::MessageLog log;
        QVERIFY(dvLoadRecord(
            &form, u"select ID, NAME as NAME, ID * 10 as MISSING from PAYMENTS order by ID"_s,
            false));
        QCOMPARE(States(controls), u"|Cheque|1|kept"_s);
        QVERIFY(dvLoadRecord(&form, u"select NAME as oTHER from PAYMENTS where ID=2"_s));
        QCOMPARE(State(controls[3]), u"Transfer"_s);
        // Without an owner a load finds no components, but reads the row all the same.
        QVERIFY(dvLoadRecord(nullptr, u"select 1 from rdb$database"_s));
        QCOMPARE(log.texts, QStringList());
    }

    // A TdvComboBox is refilled from its SELECT before it is positioned, and after
    // it is cleared.
    void comboBoxIsReloaded()
    {
        QWidget form;
        auto *combo = new TdvComboBox(&form);
        combo->setObjectName(u"PAYMENT"_s);
        combo->SetSelect(u"select NAME from PAYMENTS order by ID"_s);
        combo->Reload(); // before Voucher exists
        QVERIFY(TdvQuery().Execute(u"insert into PAYMENTS values (3, 'Voucher')"_s));
        QVERIFY(dvLoadRecord(&form, uR"(select "voucher" as PAYMENT from rdb$database)"_s));
        QCOMPARE(State(combo), u"2:Voucher"_s);
        combo->SetSelect(u"select NAME from PAYMENTS order by ID desc"_s);
        dvClearRecord({combo});
        QCOMPARE(State(combo), u"0:Voucher"_s);
    }

    // A plain combo box takes its first item; controls of no class the clearing
    // knows, and null entries, are left alone.
    void clearLeavesOtherControls()
    {
        QWidget form;
        const QList<QObject *> controls = MakeControls(
            u"QComboBox A=2|TdvRadioButton B=checked|TdvCheckListBox C=x|QWidget D=|null"_s, &form);
        dvt::test::MessageLog log;
        dvClearRecord(controls);
        QCOMPARE(States(controls), u"0:Cash|checked|x|-|-"_s);
        QCOMPARE(log.texts, QStringList());
    }
};

QTEST_MAIN(tst_dvRecords)
#include "tst_dvRecords.moc"
