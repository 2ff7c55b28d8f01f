// The lookup key edit on a real embedded database: what Enter and leaving the
// field show, the code it stores, its outline, and its pick list driven with
// real keys and clicks while it runs modally.

#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

#include "../db/dvtPanelDatabase.h"
#include "dvControlPanel.h"
#include "dvGrid.h"
#include "dvGridModel.h"
#include "dvKey.h"
#include "dvQuery.h"
#include "dvRecords.h"
#include "dvSelectionForm.h"
#include "dvtApplication.h"
#include "dvtTestForm.h"

using namespace Qt::StringLiterals;

namespace {

// A form with a key edit over CUSTOMER (codes ID, descriptions NAME and CITY).
struct KeyForm : ControlForm<TdvKey>
{
    KeyForm() : ControlForm([](TestForm<> &form) { return form.add<TdvKey>(u"CUSTOMER_ID"_s); })
    {
        control->SetKeyTable(u"CUSTOMER"_s);
        control->SetKeyField(u"ID"_s);
        control->SetKeyDescription(u"NAME,CITY"_s);
        control->SetKeyOrder(u"ID"_s);
    }
};

// Runs action on the pick list once it is open and active. The list runs its
// own event loop, so the action closes it; the test goes on afterwards.
void WhenPickListOpens(const std::function<void(TdvSelectionForm *)> &action)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        auto *list = qobject_cast<TdvSelectionForm *>(QApplication::activeModalWidget());
        if (!list || !list->isActiveWindow())
            return;
        poll->stop();
        poll->deleteLater();
        list->Grid()->grab(); // drawn once, as the user sees it
        action(list);
    });
    poll->start();
}

// The codes the list shows, top to bottom.
QStringList Codes(TdvGrid *grid)
{
    QStringList codes;
    for (int row = 1; row < grid->RowCount(); ++row)
        codes << grid->CellValue(0, row);
    return codes;
}

void ClickRow(TdvSelectionForm *list, int row, bool twice)
{
    TdvGrid *grid = list->Grid();
    const QRect cell = grid->visualRect(grid->Model()->index(row - 1, 0));
    const QPoint at = grid->viewport()->mapTo(list, cell.center());
    if (twice)
        QTest::mouseDClick(list->windowHandle(), Qt::LeftButton, {}, at);
    else
        QTest::mouseClick(list->windowHandle(), Qt::LeftButton, {}, at);
}

const QStringList AllCodes{u"3"_s, u"7"_s, u"12"_s, u"20"_s, u"21"_s, u"30"_s, u"40"_s};

// name: typed, NotNull, key table, key field, descriptions, leaving key, text, valid
using Redraw = std::tuple<QString, bool, QString, QString, QString, Qt::Key, QString, bool>;
// name: typed, KeyWhere, codes listed
using Narrowing = std::tuple<QString, QString, QStringList>;
// name: typed, opened by right click, rows down (-1: double click on row 2),
//       closing key, text afterwards, codes signalled
using Choice = std::tuple<QString, bool, int, Qt::Key, QString, QList<int>>;
// name: text before storing, code stored, text after loading
using Stored = std::tuple<QString, int, QString>;

} // namespace

class tst_dvKey : public QObject
{
    Q_OBJECT

    dvt::test::PanelDatabase m_db;

    static bool run(const QString &statement) { return dvt::test::PanelDatabase::run(statement); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_db.open(u"key.fdb"_s));
        QVERIFY(run(u"create table CUSTOMER (ID integer not null primary key, "
                    u"NAME varchar(30), CITY char(12))"_s));
        for (const QString &values : {u"3, 'ACME Tools', 'Austin'"_s, u"7, 'Bond Ltd', 'London'"_s,
                                      u"12, 'Acme', 'Boston'"_s, u"20, '50% Off', 'Paris'"_s,
                                      u"21, 'Under_Score', 'Rome'"_s, u"30, 'Zeta', 'Acmeville'"_s,
                                      u"40, 'Nobody', null"_s})
            QVERIFY(run(u"insert into CUSTOMER values ("_s + values + u')'));
        // Codes of a text type, one of them no number.
        QVERIFY(run(u"create table CODES (CODE varchar(5), LABEL varchar(20))"_s));
        QVERIFY(run(u"insert into CODES values ('X1', 'Letters')"_s));
        QVERIFY(run(u"insert into CODES values ('12', 'Twelve')"_s));
        QVERIFY(run(u"create table ORDERS (ORDER_NO integer, CUSTOMER_ID integer)"_s));
        QVERIFY(m_db.createBig(100000));
    }

    void cleanup()
    {
        dvt::SetMainForm(&m_db.mainForm);
        QVERIFY(!QApplication::activeModalWidget());
    }

    // Enter and leaving the field look the code up: a known code shows its
    // descriptions, an unknown one is erased with NotNull and kept otherwise.
    void redrawOnEnterAndExit_data()
    {
        const auto row = RowColumn<Redraw>();
        const QString c = u"CUSTOMER"_s;
        const QString d = u"NAME,CITY"_s;
        const Qt::Key enter = Qt::Key_Return;
        row("known code", {u"12"_s, true, c, u"ID"_s, d, enter, u"12 Acme | Boston"_s, true});
        row("known code, leaving",
            {u"12"_s, true, c, u"ID"_s, d, Qt::Key_Tab, u"12 Acme | Boston"_s, true});
        row("leading zeros and a word",
            {u"007 Bond"_s, true, c, u"ID"_s, d, enter, u"7 Bond Ltd | London"_s, true});
        row("blanks around",
            {u"  3  "_s, true, c, u"ID"_s, d, enter, u"3 ACME Tools | Austin"_s, true});
        row("already shown",
            {u"12 Acme | Boston"_s, true, c, u"ID"_s, d, enter, u"12 Acme | Boston"_s, true});
        row("one description", {u"12"_s, true, c, u"ID"_s, u"NAME"_s, enter, u"12 Acme"_s, true});
        row("descriptions with blanks",
            {u"12"_s, true, c, u"ID"_s, u" CITY , NAME"_s, enter, u"12 Boston | Acme"_s, true});
        row("a NULL description", {u"40"_s, true, c, u"ID"_s, d, enter, u"40 Nobody | "_s, true});
        row("code of a text type",
            {u"12"_s, true, u"CODES"_s, u"CODE"_s, u"LABEL"_s, enter, u"12 Twelve"_s, true});
        row("unknown code, NotNull", {u"99"_s, true, c, u"ID"_s, d, enter, QString(), false});
        row("unknown code, leaving", {u"99"_s, true, c, u"ID"_s, d, Qt::Key_Tab, QString(), false});
        row("unknown code kept", {u" 99 "_s, false, c, u"ID"_s, d, enter, u"99"_s, false});
        row("no number kept", {u"abc"_s, false, c, u"ID"_s, d, enter, u"abc"_s, false});
        row("no such table", {u"12"_s, false, u"NO_SUCH"_s, u"ID"_s, d, enter, u"12"_s, false});
        row("no such column", {u"12"_s, false, c, u"ID"_s, u"NOPE"_s, enter, u"12"_s, false});
    }
    void redrawOnEnterAndExit()
    {
        const auto &[typed, notNull, table, field, descriptions, leave, text, valid] =
            Row<Redraw>();
        KeyForm f;
        f.control->SetNotNull(notNull);
        f.control->SetKeyTable(table);
        f.control->SetKeyField(field);
        f.control->SetKeyDescription(descriptions);
        QVERIFY(f.show());
        f.form.type(typed);
        f.form.key(leave);
        QCOMPARE(f.control->text(), text);
        QCOMPARE(f.control->Valid(), valid);
    }

    // The code is the first item of the text, as a decimal integer.
    void keyText_data()
    {
        const auto row = RowColumn<std::tuple<QString, QString>>(); // text, code
        row("code and descriptions", {u"12 Acme | Boston"_s, u"12"_s});
        row("leading zeros", {u"007 Bond"_s, u"7"_s});
        row("leading blanks", {u"   5 x"_s, u"5"_s});
        row("no number", {u"Acme 12"_s, u"0"_s});
        row("empty", {QString(), u"0"_s});
    }
    void keyText()
    {
        const auto &[text, keyText] = Row<std::tuple<QString, QString>>();
        TdvKey key;
        key.setText(text);
        QCOMPARE(key.KeyText(), keyText);
        QCOMPARE(key.sqlLiteral(u"ORDERS"_s), std::optional<QString>(keyText));
    }

    // The red outline is drawn round every key edit, whatever its code and focus.
    void redOutline_data()
    {
        const auto row = RowColumn<std::tuple<QString, bool>>(); // typed, focus kept
        row("known code", {u"12"_s, false});
        row("unknown code", {u"99"_s, false});
        row("while typing", {u"99"_s, true});
        row("empty", {QString(), false});
    }
    void redOutline()
    {
        const auto &[typed, focused] = Row<std::tuple<QString, bool>>();
        KeyForm f;
        f.control->SetNotNull(false);
        QVERIFY(f.show());
        f.form.type(typed);
        if (!focused)
            f.form.key(Qt::Key_Tab);
        QCOMPARE(f.control->hasFocus(), focused);
        const QImage image = f.control->grab().toImage();
        const int w = image.width();
        const int h = image.height();
        const QColor red(255, 0, 0);
        for (const QPoint edge : {QPoint(0, h / 2), QPoint(w - 1, h / 2), QPoint(w / 2, 0),
                                  QPoint(w / 2, h - 1), QPoint(0, 0), QPoint(w - 1, h - 1)})
            QCOMPARE(image.pixelColor(edge), red);
        QVERIFY(BackgroundPixel(f.control) != red);
    }

    // The pick list: the rows whose descriptions contain the typed text, else all.
    void pickListNarrowsByTypedText_data()
    {
        const auto row = RowColumn<Narrowing>();
        row("any column, any case", {u"acm"_s, QString(), {u"3"_s, u"12"_s, u"30"_s}});
        row("nothing contains it: all rows", {u"xyz"_s, QString(), AllCodes});
        row("nothing typed: all rows", {QString(), QString(), AllCodes});
        row("code and descriptions typed: all rows", {u"12 Acme | Boston"_s, QString(), AllCodes});
        row("percent sign is no wildcard", {u"%"_s, QString(), {u"20"_s}});
        row("underscore is no wildcard", {u"_"_s, QString(), {u"21"_s}});
        // Were the quotes kept, the condition would find code 12 alone.
        row("quotes do not end the text", {u"Boston\" and ID=\"12"_s, QString(), AllCodes});
        row("a quote inside a word", {u"Bo\"ston"_s, QString(), {u"12"_s}});
        row("KeyWhere replaces the typed text",
            {u"acm"_s, u"ID > 20"_s, {u"21"_s, u"30"_s, u"40"_s}});
    }
    void pickListNarrowsByTypedText()
    {
        const auto &[typed, where, codes] = Row<Narrowing>();
        KeyForm f;
        f.control->SetNotNull(false);
        f.control->SetKeyWhere(where);
        QVERIFY(f.show());
        f.form.type(typed);
        QStringList listed;
        QString caption;
        bool closed = false;
        WhenPickListOpens([&](TdvSelectionForm *list) {
            listed = Codes(list->Grid());
            caption = list->windowTitle();
            QTest::keyClick(list->windowHandle(), Qt::Key_Escape);
            closed = true;
        });
        f.form.type(u"?"_s);
        QTRY_VERIFY(closed);
        QCOMPARE(listed, codes);
        QCOMPARE(caption, u"Select Customer_id:"_s);
        // The trigger is not typed, and the list left the text alone.
        QCOMPARE(f.control->text(), typed);
    }

    // Enter or a double click chooses a row; Esc, or Enter on an empty list,
    // leaves the text as typed.
    void pickListChoice_data()
    {
        const auto row = RowColumn<Choice>();
        const Qt::Key enter = Qt::Key_Return;
        row("Enter on the first row",
            {QString(), false, 0, enter, u"3 ACME Tools | Austin"_s, {3}});
        row("Enter on the third row", {QString(), false, 2, enter, u"12 Acme | Boston"_s, {12}});
        row("opened by a right click", {QString(), true, 1, enter, u"7 Bond Ltd | London"_s, {7}});
        row("double click", {QString(), false, -1, Qt::Key_unknown, u"7 Bond Ltd | London"_s, {7}});
        row("narrowed, then chosen", {u"acm"_s, false, 2, enter, u"30 Zeta | Acmeville"_s, {30}});
        row("replaces a shown code",
            {u"12"_s, false, 0, enter, u"3 ACME Tools | Austin"_s, {1, 12, 3}});
        row("Esc", {u"12"_s, false, 1, Qt::Key_Escape, u"12"_s, {1, 12}});
        row("Esc after a right click", {u"99"_s, true, 0, Qt::Key_Escape, u"99"_s, {9, 99}});
    }
    void pickListChoice()
    {
        const auto &[typed, rightClick, down, key, text, signalled] = Row<Choice>();
        KeyForm f;
        QVERIFY(f.show());
        QSignalSpy changes(f.control, &TdvKey::keyChanged);
        f.form.type(typed);
        bool closed = false;
        WhenPickListOpens([&, down = down, key = key](TdvSelectionForm *list) {
            if (down < 0) {
                ClickRow(list, 2, true);
            } else {
                for (int i = 0; i < down; ++i)
                    QTest::keyClick(list->windowHandle(), Qt::Key_Down);
                QTest::keyClick(list->windowHandle(), key);
            }
            closed = true;
        });
        if (rightClick)
            f.form.click(f.control, Qt::RightButton);
        else
            f.form.type(u"?"_s);
        QTRY_VERIFY(closed);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(f.control->text(), text);
        QList<int> codes;
        for (const QList<QVariant> &change : changes)
            codes << change.at(0).toInt();
        QCOMPARE(codes, signalled);
        QTRY_COMPARE(QApplication::focusWidget(), f.control);
    }

    // A list without rows (no table, a KeyWhere nothing satisfies): Enter closes
    // it without a choice.
    void pickListWithoutRows_data()
    {
        const auto row = RowColumn<std::tuple<QString, QString>>(); // KeyTable, KeyWhere
        row("no row satisfies KeyWhere", {u"CUSTOMER"_s, u"ID < 0"_s});
        row("no such table", {u"NO_SUCH"_s, QString()});
    }
    void pickListWithoutRows()
    {
        const auto &[table, where] = Row<std::tuple<QString, QString>>();
        KeyForm f;
        f.control->SetKeyTable(table);
        f.control->SetKeyWhere(where);
        QVERIFY(f.show());
        f.form.type(u"5"_s);
        bool closed = false;
        WhenPickListOpens([&](TdvSelectionForm *list) {
            QTest::keyClick(list->windowHandle(), Qt::Key_Return);
            closed = true;
        });
        f.form.type(u"?"_s);
        QTRY_VERIFY(closed);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(f.control->text(), u"5"_s);
    }

    // A large code table: the list opens on the count alone, reading only the
    // rows it shows, and Enter takes the first.
    void pickListOverALargeTable()
    {
        KeyForm f;
        f.control->SetKeyTable(u"BIG"_s);
        f.control->SetKeyDescription(u"LABEL"_s);
        QVERIFY(f.show());
        int rows = 0;
        bool closed = false;
        WhenPickListOpens([&](TdvSelectionForm *list) {
            rows = list->Grid()->RowCount() - 1;
            QTest::keyClick(list->windowHandle(), Qt::Key_End, Qt::ControlModifier);
            QTest::keyClick(list->windowHandle(), Qt::Key_Return);
            closed = true;
        });
        f.form.type(u"?"_s);
        QTRY_VERIFY(closed);
        QCOMPARE(rows, 100000);
        QCOMPARE(f.control->text(), u"100000 row 100000"_s);
    }

    // The key edit destroyed while its list is open: the list goes with it.
    void ownerDestroyedWhileListIsOpen()
    {
        KeyForm f;
        QVERIFY(f.show());
        QPointer<TdvKey> key = f.control;
        QPointer<TdvSelectionForm> shown;
        WhenPickListOpens([&](TdvSelectionForm *list) {
            shown = list;
            delete key.data();
        });
        f.form.type(u"?"_s);
        QTRY_VERIFY(!key);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QVERIFY(!shown);
    }

    // The record routines store the code, bare; loading shows the code with its
    // descriptions; clearing redraws and keeps the code.
    void recordRoutines_data()
    {
        const auto row = RowColumn<Stored>();
        row("code and descriptions", {u"12 Acme | Boston"_s, 12, u"12 Acme | Boston"_s});
        row("a typed code", {u"7"_s, 7, u"7 Bond Ltd | London"_s});
        row("an unknown code", {u"99"_s, 99, QString()});
        row("no number", {u"abc"_s, 0, QString()});
    }
    void recordRoutines()
    {
        const auto &[before, stored, loaded] = Row<Stored>();
        QVERIFY(run(u"delete from ORDERS"_s));
        KeyForm f;
        dvt::LoadForm(&f.form);
        f.control->setText(before);
        auto *number = f.form.add<TdvEdit>(u"ORDER_NO"_s);
        number->setText(u"1"_s);
        QVERIFY(dvInsertRecord(u"ORDERS"_s, {number, f.control}));
        TdvQuery query;
        QVERIFY(query.Select(u"select CUSTOMER_ID from ORDERS where ORDER_NO = 1"_s));
        QCOMPARE(query.AsInteger(0), stored);
        query.Close();

        f.control->setText(u"3"_s);
        QVERIFY(dvLoadRecord(&f.form, u"select CUSTOMER_ID from ORDERS where ORDER_NO = 1"_s));
        QCOMPARE(f.control->text(), loaded);
        f.control->setText(u"  7 "_s);
        dvClearRecord({f.control});
        QCOMPARE(f.control->text(), u"7 Bond Ltd | London"_s);
    }

    // The code as the USER property: set, it is shown with its descriptions,
    // once; a model binds it.
    void keyProperty()
    {
        KeyForm f;
        QSignalSpy changes(f.control, &TdvKey::keyChanged);
        QCOMPARE(f.control->metaObject()->userProperty().name(), "Key");
        f.control->setProperty("Key", 12);
        QCOMPARE(f.control->text(), u"12 Acme | Boston"_s);
        f.control->SetKey(12);
        QCOMPARE(f.control->property("Key").toInt(), 12);
        QCOMPARE(changes.count(), 1);
        f.control->SetKey(99);
        QCOMPARE(f.control->text(), QString());
        QCOMPARE(changes.count(), 3); // 99, then erased (0)
    }

    // The pick list has the pop-ups' window menu: a right click on it offers the
    // About box.
    void pickListWindowMenu()
    {
        KeyForm f;
        QVERIFY(f.show());
        QString entry;
        bool closed = false;
        WhenPickListOpens([&](TdvSelectionForm *list) {
            QTimer::singleShot(0, list, [&entry] {
                if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                    entry = menu->actions().value(0)->text();
                    menu->close();
                }
            });
            TdvGrid *grid = list->Grid();
            const QRect cell = grid->visualRect(grid->Model()->index(0, 1));
            QTest::mouseClick(list->windowHandle(), Qt::RightButton, {},
                              grid->viewport()->mapTo(list, cell.center()));
            QTest::keyClick(list->windowHandle(), Qt::Key_Escape);
            closed = true;
        });
        f.form.type(u"?"_s);
        QTRY_VERIFY(closed);
        QCOMPARE(entry, u"&About..."_s);
    }

    // A key edit without its table, code or description column looks nothing
    // up and says so.
    void misuseIsLoud()
    {
        KeyForm f;
        f.control->SetKeyTable(QString());
        QVERIFY(f.show());
        f.form.type(u"12"_s);
        const QRegularExpression warning(u"^TdvKey \"CUSTOMER_ID\" on OrderForm needs KeyTable"_s);
        QTest::ignoreMessage(QtWarningMsg, warning);
        QVERIFY(!f.control->Valid());
        QTest::ignoreMessage(QtWarningMsg, warning);
        f.form.type(u"?"_s);
        QTest::qWait(50);
        QVERIFY(!QApplication::activeModalWidget());
        f.control->clear();
    }
};

QTEST_MAIN(tst_dvKey)
#include "tst_dvKey.moc"
