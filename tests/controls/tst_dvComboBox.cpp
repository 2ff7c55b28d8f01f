#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include <memory>

#include "../db/dvtTestDatabase.h"
#include "dvComboBox.h"
#include "dvQuery.h"
#include "dvtFolders.h"
#include "dvtTestForm.h"

using namespace Qt::StringLiterals;

namespace {

// A combo box that lists the PAY table and keeps its position, and an edit after it.
struct ComboForm : ControlForm<TdvComboBox>
{
    ComboForm()
        : ControlForm([](TestForm<> &form) { return form.add<TdvComboBox>(u"PayMethod"_s); })
    {
        control->SetSelect(u"select NAME from PAY order by ID"_s);
        control->SetKeepValue(true);
    }
};

using Reload = std::tuple<QString, QStringList>;
using Loaded = std::tuple<QString, bool, int>;

} // namespace

class tst_dvComboBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One database for all cases, reached by the name "dvTools" as a control
    // panel's would be.
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        m_connection.SetDatabaseName(u"dvTools"_s);
        m_db.configure(m_connection);
        TdvQuery query;
        for (const QString &statement :
             {u"create table PAY (ID integer, NAME varchar(30), NOTE varchar(10))"_s,
              u"create table NOTHING (NAME varchar(10))"_s,
              u"insert into PAY values (1, \"Cash\", null)"_s,
              u"insert into PAY values (2, \"Card\", \"x\")"_s,
              u"insert into PAY values (3, ' On \"account\" ', null)"_s})
            QVERIFY2(query.Execute(statement), qPrintable(query.Error()));
    }
    void init() { QFile::remove(dvt::UserFolder() + dvt::KeptValuesFileName()); }

    // The list from the rows of the Select, or as designed when it has none.
    void reload_data()
    {
        const auto row = RowColumn<Reload>(); // select, items
        const QStringList designed{u"Designed"_s, u"Items"_s};
        row("rows",
            {u"select NAME from PAY order by ID"_s, {u"Cash"_s, u"Card"_s, u" On \"account\" "_s}});
        row("numbers", {u"select ID from PAY order by ID"_s, {u"1"_s, u"2"_s, u"3"_s}});
        row("NULLs", {u"select NOTE from PAY order by ID"_s, {QString(), u"x"_s, QString()}});
        row("no rows", {u"select NAME from NOTHING"_s, designed});
        row("missing table", {u"select NAME from NO_SUCH_TABLE"_s, designed});
        row("not a select", {u"selct NAME from PAY"_s, designed});
    }
    void reload()
    {
        const auto &[select, items] = Row<Reload>();
        TdvComboBox combo;
        combo.addItems({u"Designed"_s, u"Items"_s});
        combo.SetSelect(select);
        combo.Reload();
        QStringList texts;
        for (int i = 0; i < combo.count(); ++i)
            texts << combo.itemText(i);
        QCOMPARE(texts, items);
        // The query was the combo box's own and is gone.
        QVERIFY(combo.findChildren<TdvQuery *>().isEmpty());
    }

    // The position read back from the kept values, the first item without one;
    // in the designer the kept value is not read.
    void loadedChoosesAnItem_data()
    {
        const auto row = RowColumn<Loaded>(); // kept (null: no key at all), designing, index
        row("first item", {QString(), false, 0});
        row("kept position", {u"2"_s, false, 2});
        row("kept beyond the list", {u"3"_s, false, -1});
        row("kept, not a number", {u"abc"_s, false, 0});
        row("kept, in the designer", {u"2"_s, true, 0});
    }
    void loadedChoosesAnItem()
    {
        const auto &[kept, designing, index] = Row<Loaded>();
        ComboForm f;
        if (!kept.isNull())
            dvt::WriteKeptValue(f.control, kept);
        f.control->addItems({u"Designed"_s, u"Items"_s});
        f.control->setCurrentIndex(-1);
        dvt::SetDesigning(&f.form, designing);
        dvt::LoadForm(&f.form);
        QCOMPARE(f.control->count(), 3);
        QCOMPARE(f.control->currentIndex(), index);
    }

    void keptPositionSurvivesASecondInstance()
    {
        {
            ComboForm f;
            QVERIFY(f.show());
            f.form.key(Qt::Key_Down);
            f.form.key(Qt::Key_Down);
            f.form.key(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), f.after);
            QCOMPARE(dvt::ReadKeptValue(f.control), u"2"_s);
        }
        ComboForm second;
        QVERIFY(second.show());
        QCOMPARE(second.control->currentIndex(), 2);
        QCOMPARE(second.control->GetSQL(), u" On account "_s); // quotes removed, blanks kept
        second.control->setCurrentIndex(-1);
        QCOMPARE(second.control->GetSQL(), QString()); // no choice
    }

private:
    // Declared in this order, the connection goes before the database.
    dvt::test::TestDatabase m_db;
    dvt::TDatabase m_connection;
};

QTEST_MAIN(tst_dvComboBox)
#include "tst_dvComboBox.moc"
