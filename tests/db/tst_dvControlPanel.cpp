#include <QFile>
#include <QFrame>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>

#include <memory>

#include "dvControlPanel.h"
#include "dvQuery.h"
#include "dvtApplication.h"
#include "dvtException.h"
#include "dvtFolders.h"
#include "dvtTestDatabase.h"

using dvt::test::TestDatabase;

namespace {

enum class Placement {
    NoMainForm,
    OnMainForm,
    InContainerOfMainForm,
    InNestedOwner,
    OnSecondaryForm,
};

// The three Booleans and the colour that the lookups answer, as one comparable value.
struct Settings
{
    bool autoTrimText;
    bool closeOnEsc;
    bool enterAsTab;
    dvt::TColor highlight;
    friend bool operator==(const Settings &, const Settings &) = default;
};

Settings lookedUp()
{
    return {dvControlPanelAutoTrimText(), dvControlPanelCloseOnEsc(), dvControlPanelEnterAsTab(),
            dvControlPanelHighlight()};
}

char *toString(const Settings &s)
{
    return QTest::toString(QStringLiteral("trim=%1 esc=%2 enter=%3 highlight=%4")
                               .arg(s.autoTrimText)
                               .arg(s.closeOnEsc)
                               .arg(s.enterAsTab)
                               .arg(s.highlight.value(), 8, 16, QLatin1Char('0')));
}

const Settings noPanel{false, false, false, dvt::clWindow};

} // namespace

Q_DECLARE_METATYPE(Placement)

class tst_dvControlPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void cleanup()
    {
        dvt::SetMainForm(nullptr);
        QCOMPARE(TdvControlPanel::ObjCount(), 0);
    }

    void oneInstanceAtATime()
    {
        QWidget form;
        auto *first = new TdvControlPanel(&form);
        QCOMPARE(first->Target(), dvt::UserFolder() + QStringLiteral("dvTools.fdb"));
        QCOMPARE(dvt::TDatabase::Find(QStringLiteral("DVTOOLS")), first);
        const qsizetype children = form.children().size();
        try {
            new TdvControlPanel(&form);
            QFAIL("a second panel was constructed");
        } catch (const dvt::Exception &e) {
            QCOMPARE(e.Message(), QStringLiteral("Only one instance allowed!"));
        }
        QCOMPARE(TdvControlPanel::ObjCount(), 1);
        QCOMPARE(form.children().size(), children); // nothing half-built is left
        delete first;
        QCOMPARE(dvt::TDatabase::Find(QStringLiteral("dvTools")), nullptr);
        TdvControlPanel again;
        QCOMPARE(TdvControlPanel::ObjCount(), 1);
    }

    void lookups_data()
    {
        QTest::addColumn<Placement>("placement");
        QTest::addColumn<bool>("found");
        QTest::newRow("no main form") << Placement::NoMainForm << false;
        QTest::newRow("on the main form") << Placement::OnMainForm << true;
        QTest::newRow("in a container of the main form")
            << Placement::InContainerOfMainForm << true;
        QTest::newRow("in a nested owner") << Placement::InNestedOwner << false;
        QTest::newRow("on a secondary form") << Placement::OnSecondaryForm << false;
    }

    void lookups()
    {
        QFETCH(Placement, placement);
        QFETCH(bool, found);
        QWidget mainForm;
        QWidget secondary;
        auto *container = new QFrame(&mainForm);
        container->setObjectName(QStringLiteral("Container"));
        if (placement == Placement::InNestedOwner)
            dvt::SetOwnerMark(container);
        if (placement != Placement::NoMainForm)
            dvt::SetMainForm(&mainForm);

        QObject *owner = nullptr;
        switch (placement) {
        case Placement::OnMainForm:
            owner = &mainForm;
            break;
        case Placement::InContainerOfMainForm:
        case Placement::InNestedOwner:
            owner = container;
            break;
        case Placement::OnSecondaryForm:
            owner = &secondary;
            break;
        default:
            break;
        }
        auto panel = std::make_unique<TdvControlPanel>(owner);
        panel->SetAutoTrimText(true);
        panel->SetCloseOnEsc(true);
        panel->SetEnterAsTab(true);
        panel->SetHighlight(dvt::clYellow);
        const Settings expected = found ? Settings{true, true, true, dvt::clYellow} : noPanel;
        QCOMPARE(lookedUp(), expected);
    }

    void settingsAreReadAtEveryCall_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<Settings>("expected");
        QTest::newRow("CloseOnEsc") << QStringLiteral("CloseOnEsc") << QVariant(true)
                                    << Settings{false, true, false, dvt::clWindow};
        QTest::newRow("Highlight cleared")
            << QStringLiteral("Highlight") << QVariant(QColor()) << noPanel;
    }

    // Through the properties, as the form designer sets them.
    void settingsAreReadAtEveryCall()
    {
        QFETCH(QString, property);
        QFETCH(QVariant, value);
        QFETCH(Settings, expected);
        QWidget mainForm;
        dvt::SetMainForm(&mainForm);
        auto *panel = new TdvControlPanel(&mainForm);
        QCOMPARE(lookedUp(), noPanel);
        QVERIFY(panel->setProperty(property.toLatin1().constData(), value));
        QCOMPARE(lookedUp(), expected);
        QCOMPARE(panel->property(property.toLatin1().constData()), value);
    }

    void loaded_data()
    {
        QTest::addColumn<bool>("designing");
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<bool>("server");
        QTest::newRow("run time") << false << true << false;
        QTest::newRow("design time") << true << true << false;
        QTest::newRow("run time, unreachable") << false << false << false;
        QTest::newRow("server, run time") << false << true << true;
    }

    // Loaded connects at run time, silently, and never in the designer.
    void loaded()
    {
        QFETCH(bool, designing);
        QFETCH(bool, reachable);
        QFETCH(bool, server);
        if (server && !TestDatabase::ServerConfigured())
            QSKIP(TestDatabase::ServerSkipReason());
        TestDatabase db(server ? TestDatabase::Where::Server : TestDatabase::Where::Embedded);
        QVERIFY2(db.isValid(), qPrintable(db.error()));
        QWidget form;
        dvt::SetDesigning(&form, designing);
        auto *panel = new TdvControlPanel(&form);
        db.configure(*panel);
        if (!reachable) {
            panel->SetConnectionString(db.target() + QStringLiteral(".missing"));
            panel->SetAutoCreate(false);
        }
        dvt::LoadForm(&form);
        QCOMPARE(panel->Connected(), reachable && !designing);
        QCOMPARE(panel->LastError().isEmpty(), reachable);

        // The reason surfaces as the error of the first query.
        TdvQuery query;
        QCOMPARE(query.Select(QStringLiteral("select 1 from rdb$database")), reachable);
        QCOMPARE(query.Error(), panel->LastError());
    }

    // The default alias: a dialect-1 UTF8 database file in the per-user folder,
    // created when missing.
    void localAliasCreatesItsDatabase()
    {
        const QString file = dvt::UserFolder() + QStringLiteral("dvTools.fdb");
        QFile::remove(file);
        QWidget form;
        auto *panel = new TdvControlPanel(&form);
        dvt::LoadForm(&form);
        QVERIFY2(panel->Connected(), qPrintable(panel->LastError()));
        QVERIFY(QFile::exists(file));
        TdvQuery query;
        QVERIFY2(query.Select(QStringLiteral("select d.mon$sql_dialect, c.rdb$character_set_name "
                                             "from mon$database d, rdb$database c")),
                 qPrintable(query.Error()));
        QCOMPARE(query.AsInteger(0), 1);
        QCOMPARE(query.AsString(1).trimmed(), QStringLiteral("UTF8"));
        delete panel;
        QVERIFY(QFile::remove(file));
    }

    void aliases()
    {
        TestDatabase db;
        QVERIFY2(db.isValid(), qPrintable(db.error()));
        dvt::TDatabase::DefineAlias(QStringLiteral("Archive"), db.target());
        TdvControlPanel panel;
        panel.SetAliasName(QStringLiteral("ARCHIVE"));
        QCOMPARE(panel.Target(), db.target());
        QVERIFY2(panel.Open(), qPrintable(panel.LastError()));
        panel.Close();

        // An explicit connection string wins over the alias.
        panel.SetConnectionString(db.target() + QStringLiteral(".other"));
        QCOMPARE(panel.Target(), db.target() + QStringLiteral(".other"));
        panel.SetConnectionString(QString());

        dvt::TDatabase::DefineAlias(QStringLiteral("archive"), QString());
        QVERIFY(panel.Target().isEmpty());
        QVERIFY(!panel.Open());
        QCOMPARE(panel.LastError(), QStringLiteral("Unknown database alias \"ARCHIVE\""));
    }
};

QTEST_MAIN(tst_dvControlPanel)
#include "tst_dvControlPanel.moc"
