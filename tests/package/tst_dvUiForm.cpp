// A form made in Qt Designer and loaded at run time behaves as the same form
// built in code: the same components, texts, kept values, list rows, shortcut
// keys, panel settings and statements, whether uic compiled it, QUiLoader makes
// the components through the Designer plugin or dvt::UiLoader makes them from
// the registry.

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QUiLoader>
#include <QVBoxLayout>

#include <memory>

#include "../db/dvtTestDatabase.h"
#include "dvButton.h"
#include "dvCheckBox.h"
#include "dvCheckListBox.h"
#include "dvComboBox.h"
#include "dvControlPanel.h"
#include "dvDate.h"
#include "dvEdit.h"
#include "dvGrid.h"
#include "dvKey.h"
#include "dvMemo.h"
#include "dvQuery.h"
#include "dvRadioButton.h"
#include "dvShortCut.h"
#include "dvTime.h"
#include "dvValue.h"
#include "dvtComponent.h"
#include "dvtComponentFace.h"
#include "dvtContract.h"
#include "dvtRecordsTestSupport.h"
#include "dvtUiLoader.h"
#include "ui_allComponents.h"

using namespace Qt::StringLiterals;

namespace {

// What a loaded form shows: one line per component, its settings and state,
// and the statements its loading sent.
struct Outcome
{
    QStringList components;
    QStringList statements;
};

// allComponents.ui, written as an application writes it in code.
std::unique_ptr<QWidget> buildInCode()
{
    auto form = std::make_unique<QWidget>();
    form->setObjectName(u"OrderForm"_s);
    form->setWindowTitle(u"Order"_s);
    auto *column = new QVBoxLayout(form.get());
    const auto add = [&](auto *control, const QString &name) {
        control->setObjectName(name);
        column->addWidget(control);
        return control;
    };
    const QColor yellow(255, 240, 160);
    auto *label = add(new QLabel(u"Customer name"_s), u"lblCustName"_s);
    auto *customer = add(new TdvEdit, u"CUSTNAME"_s);
    label->setBuddy(customer);
    customer->setText(u"typed in the designer"_s);
    customer->SetNotNull(true);
    auto *note = add(new TdvEdit, u"NOTE"_s);
    note->setAlignment(Qt::AlignCenter);
    note->setPlaceholderText(u"the reference"_s);
    note->SetAutoTrimText(true);
    note->SetEnterAsTab(true);
    note->SetCloseOnEsc(true);
    note->SetKeepValue(true);
    note->setHighlight(yellow);
    note->SetAlignment(dvt::taRightJustify);
    auto *amount = add(new TdvValue, u"AMOUNT"_s);
    amount->setText(u"12"_s);
    amount->SetAlignment(dvt::taCenter);
    amount->SetFormatStr(u"%.2f"_s);
    amount->SetTrigger(u"#"_s);
    auto *date = add(new TdvDate, u"ORDERDATE"_s);
    date->SetAlignment(dvt::taCenter);
    date->SetDefaultNow(true);
    date->SetFormatStr(u"dd.mm.yyyy"_s);
    date->SetTrigger(QString());
    auto *time = add(new TdvTime, u"ORDERTIME"_s);
    time->setText(u"10:30"_s);
    time->SetDefaultNow(true);
    time->SetFormatStr(u"hh:nn"_s);
    auto *key = add(new TdvKey, u"CUSTNO"_s);
    key->SetNotNull(false);
    key->SetKeepValue(true);
    key->SetKeyTable(u"CUSTOMERS"_s);
    key->SetKeyField(u"ID"_s);
    key->SetKeyDescription(u"NAME"_s);
    key->SetKeyOrder(u"NAME"_s);
    key->SetKeyWhere(u"ID > 0"_s);
    key->SetTrigger(u"*"_s);
    auto *memo = add(new TdvMemo, u"REMARKS"_s);
    memo->setPlainText(u"designed lines"_s);
    memo->SetNotNull(true);
    memo->SetCloseOnEsc(true);
    memo->setHighlight(QColor(200, 255, 200));
    // The controls of a choice, all marked alike.
    const auto choice = [&](auto *control) {
        control->SetEnterAsTab(true);
        control->SetCloseOnEsc(true);
        control->setHighlight(yellow);
        return control;
    };
    choice(add(new TdvCheckBox(u"Paid"_s), u"PAID"_s))->SetKeepValue(true);
    choice(add(new TdvRadioButton(u"Urgent"_s), u"URGENT"_s))->SetKeepValue(true);
    auto *colour = choice(add(new TdvComboBox, u"COLOUR"_s));
    colour->SetKeepValue(true);
    colour->SetSelect(u"select NAME from COLOURS order by NAME"_s);
    choice(add(new TdvCheckListBox, u"OPTIONS"_s))->addItems({u"Gift wrap"_s, u"Express"_s});
    auto *grid = add(new TdvGrid, u"ORDERS"_s);
    grid->SetSelect(u"select id, name from customers"_s);
    grid->SetHeaders(u",Code,Name"_s);
    grid->SetFormats(u",%.0f"_s);
    grid->SetDefaultRowHeight(24);
    grid->SetFixedCols(1);
    grid->setHighlight(QColor(160, 200, 255));
    grid->SetColCount(8);
    grid->SetRowCount(4);
    grid->SetNoSelectCells(6);
    grid->SetCloseOnEsc(true);
    grid->SetTrigger(u"#"_s);
    grid->SetOptions(TdvGrid::goVertLine | TdvGrid::goHorzLine | TdvGrid::goColSizing);
    auto *save = add(new TdvButton(u"Save"_s), u"SAVE"_s);
    save->SetCloseOnEsc(true);
    save->SetValidate(true);
    save->SetConfirm(true);
    add(new TdvButton(u"E&xit"_s), u"EXIT"_s);
    auto *panel = new TdvControlPanel(form.get());
    panel->SetEnterAsTab(true);
    panel->SetHighlight(dvt::clYellow);
    (new TdvQuery(form.get()))->setObjectName(u"QUERY"_s);
    new TdvShortCut(form.get());
    return form;
}

std::unique_ptr<QWidget> loadUi(QUiLoader &loader)
{
    QFile file(u":/forms/allComponents.ui"_s);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    std::unique_ptr<QWidget> form(loader.load(&file));
    if (!form)
        qWarning() << loader.errorString();
    return form;
}

QString describe(const QObject *component)
{
    QString line = QString::fromLatin1(component->metaObject()->className()) + u' '
                   + component->objectName() + u": "_s + dvt::test::State(component);
    for (const char *property : {"text", "EnterAsTab", "Highlight", "Connected", "KeepValue"}) {
        const QVariant value = component->property(property);
        if (value.isValid())
            line += u' ' + QString::fromLatin1(property) + u'=' + value.toString();
    }
    if (dvt::IsDesigning(component))
        line += u" designing"_s;
    return line;
}

// Loads the form as an application does and tells what it shows.
Outcome load(QWidget *form)
{
    Outcome outcome;
    auto *panel = form->findChild<TdvControlPanel *>();
    if (!panel)
        return outcome;
    const QMetaObject::Connection log =
        QObject::connect(panel, &dvt::TDatabase::statementExecuted, form,
                         [&outcome](const QString &statement) { outcome.statements << statement; });
    dvt::LoadForm(form);
    QObject::disconnect(log);
    // Faces leave once they have handed their components over.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const QObject *component : dvt::Components(form))
        outcome.components << describe(component);
    return outcome;
}

} // namespace

class tst_dvUiForm : public QObject
{
    Q_OBJECT

    dvt::test::TestDatabase m_db;

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        const QString created =
            m_db.isql(u"create table COLOURS (NAME varchar(10));"
                      u"insert into COLOURS values ('red'); insert into COLOURS values ('blue');"
                      u"create table CUSTOMERS (ID integer, NAME varchar(20));"
                      u"insert into CUSTOMERS values (1, 'Ada'); commit;"_s);
        QVERIFY2(created.isEmpty(), qPrintable(created));
        // The form's panel has no connection string: it connects where its alias
        // points, as a deployed application's does.
        dvt::TDatabase::DefineAlias(u"IBLocal"_s, m_db.target());
        // Values kept from an earlier run.
        QWidget earlier;
        earlier.setObjectName(u"OrderForm"_s);
        for (const auto &[name, value] :
             {std::pair(u"NOTE"_s, u"kept note"_s), std::pair(u"CUSTNO"_s, u"1"_s),
              std::pair(u"PAID"_s, u"Yes"_s)}) {
            QObject control(&earlier);
            control.setObjectName(name);
            dvt::WriteKeptValue(&control, value);
        }
    }

    void loadsAsTheFormBuiltInCode_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("uic") << u"uic"_s;
        QTest::newRow("QUiLoader and the Designer plugin") << u"plugin"_s;
        QTest::newRow("dvt::UiLoader") << u"UiLoader"_s;
    }
    void loadsAsTheFormBuiltInCode()
    {
        QFETCH(QString, how);
        Outcome expected;
        {
            const std::unique_ptr<QWidget> form = buildInCode();
            expected = load(form.get());
        }
        QCOMPARE(expected.statements, QStringList{u"select NAME from COLOURS order by NAME"_s});
        QVERIFY(expected.components.join(u'\n').contains(u"Connected=true"_s));

        std::unique_ptr<QWidget> form;
        dvt::UiLoader ownLoader;
        QUiLoader pluginLoader;
        pluginLoader.clearPluginPaths();
        pluginLoader.addPluginPath(QStringLiteral(DVTOOLS_PLUGIN_DIR));
        if (how == u"uic") {
            form = std::make_unique<QWidget>();
            Ui::OrderForm().setupUi(form.get());
        } else if (how == u"plugin") {
            QVERIFY(pluginLoader.availableWidgets().contains(u"TdvControlPanelFace"_s));
            form = loadUi(pluginLoader);
        } else {
            form = loadUi(ownLoader);
        }
        QVERIFY(form);
        QVERIFY(form->findChild<dvt::ComponentFace *>());
        const Outcome loaded = load(form.get());
        QVERIFY(!form->findChild<dvt::ComponentFace *>());
        QCOMPARE(loaded.components, expected.components);
        QCOMPARE(loaded.statements, expected.statements);
    }

    // A form shown without dvt::LoadForm() loads on its first showing, faces
    // included: the panel connects and the shortcut keys are there.
    void loadsOnFirstShow()
    {
        dvt::UiLoader loader;
        const std::unique_ptr<QWidget> form = loadUi(loader);
        QVERIFY(form);
        auto *panel = form->findChild<TdvControlPanel *>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QVERIFY(panel->Connected());
        QCOMPARE(form->findChild<QLabel *>()->text(), u"&Customer name"_s);
        QTRY_VERIFY(!form->findChild<dvt::ComponentFace *>());
        QCOMPARE(panel->parent(), form.get());
        QCOMPARE(panel->objectName(), u"dvControlPanel"_s);
    }
};

QTEST_MAIN(tst_dvUiForm)
#include "tst_dvUiForm.moc"
