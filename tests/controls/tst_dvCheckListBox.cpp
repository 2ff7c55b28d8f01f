#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "dvCheckListBox.h"
#include "dvtTestForm.h"

using namespace Qt::StringLiterals;

namespace {

// A check list of five items between two line edits, focus on the first.
struct CheckListForm
{
    TestForm<> form;
    QLineEdit *before = form.add<QLineEdit>(u"Before"_s);
    TdvCheckListBox *list = form.add<TdvCheckListBox>(u"Extras"_s);
    QLineEdit *after = form.add<QLineEdit>(u"After"_s);

    CheckListForm()
    {
        list->addItems({u"Wrap"_s, u"Card"_s, u"Ribbon"_s, u"Bag"_s, u"Note"_s});
        form.move(0, 0);
    }

    // The check marks as "1" and "0", first item first.
    QString marks() const
    {
        QString result;
        for (int row = 0; row < list->count(); ++row)
            result += list->Checked(row) ? u'1' : u'0';
        return result;
    }
    void setMarks(const QString &marks)
    {
        for (int row = 0; row < marks.size(); ++row)
            list->SetChecked(row, marks.at(row) == u'1');
    }
    QMenu *menu() const { return list->findChild<QMenu *>(); }
};

} // namespace

class tst_dvCheckListBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyItemIsCheckable()
    {
        TdvCheckListBox list;
        list.addItem(u"Plain"_s);
        auto *checked = new QListWidgetItem(u"Checked"_s);
        checked->setCheckState(Qt::Checked);
        list.addItem(checked);
        list.insertItem(0, u"Inserted"_s);
        for (int row = 0; row < list.count(); ++row)
            QVERIFY(list.item(row)->flags() & Qt::ItemIsUserCheckable);
        QCOMPARE(list.item(0)->checkState(), Qt::Unchecked);
        QCOMPARE(list.item(1)->checkState(), Qt::Unchecked);
        QCOMPARE(list.item(2)->checkState(), Qt::Checked);
        QVERIFY(!list.Checked(7));
        list.SetChecked(7, true); // no such row: nothing happens
    }

    void spaceTogglesTheCurrentItem()
    {
        CheckListForm f;
        QVERIFY(f.form.showForm());
        f.list->setFocus();
        f.list->setCurrentRow(2);
        f.form.key(Qt::Key_Space);
        QCOMPARE(f.marks(), u"00100"_s);
    }

    void menuCommands_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<QString>("after");
        QTest::newRow("select all") << u"10110"_s << u"Select &All"_s << false << u"11111"_s;
        QTest::newRow("invert") << u"10110"_s << u"&Invert Selection"_s << false << u"01001"_s;
        QTest::newRow("unselect all, key U")
            << u"11011"_s << u"&Unselect All"_s << true << u"00000"_s;
    }
    void menuCommands()
    {
        QFETCH(QString, before);
        QFETCH(QString, caption);
        QFETCH(bool, byKey);
        QFETCH(QString, after);
        CheckListForm f;
        f.setMarks(before);
        QVERIFY(f.form.showForm());
        QMenu *menu = f.menu();
        QVERIFY(menu);
        QStringList captions;
        for (const QAction *action : menu->actions())
            captions << action->text();
        QCOMPARE(captions,
                 QStringList({u"Select &All"_s, u"&Unselect All"_s, u"&Invert Selection"_s}));

        // A right click near a corner: the menu opens centred on the control.
        QWidget *viewport = f.list->viewport();
        QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(5, viewport->height() - 5));
        QTRY_VERIFY(menu->isVisible());
        const QPoint centre = f.list->mapToGlobal(f.list->contentsRect().topLeft())
                              + QPoint(f.list->width() / 2, f.list->height() / 2);
        QCOMPARE(menu->pos(), centre);
        const QList<QListWidgetItem *> selection = f.list->selectedItems();

        if (byKey) {
            const QChar accelerator = caption.at(caption.indexOf(u'&') + 1);
            QTest::keyClick(menu->windowHandle(), accelerator.toLower().toLatin1());
        } else {
            QAction *action = nullptr;
            for (QAction *candidate : menu->actions()) {
                if (candidate->text() == caption)
                    action = candidate;
            }
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        }
        QTRY_VERIFY(!menu->isVisible());
        QCOMPARE(f.marks(), after);
        QCOMPARE(f.list->selectedItems(), selection);
    }

    void noOtherMenuOnTheRightButton()
    {
        CheckListForm f;
        bool parentMenu = false;
        f.form.setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(&f.form, &QWidget::customContextMenuRequested, [&] { parentMenu = true; });
        QVERIFY(f.form.showForm());
        QTest::mouseClick(f.list->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QTRY_VERIFY(f.menu()->isVisible());
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                f.list->viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(f.list->viewport(), &event);
        QVERIFY(!parentMenu);
        f.menu()->close();
    }

    void focusColourStaysWhileTheMenuIsOpen()
    {
        CheckListForm f;
        f.list->SetHighlight(dvt::clAqua);
        QVERIFY(f.form.showForm());
        f.before->setFocus();
        const QColor unfocused = BackgroundPixel(f.list->viewport());
        QVERIFY(!LooksLike(unfocused, Qt::cyan));

        f.form.key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.list);
        QCOMPARE(BackgroundPixel(f.list->viewport()), QColor(Qt::cyan));

        QTest::mouseClick(f.list->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QTRY_VERIFY(f.menu()->isVisible());
        QCOMPARE(BackgroundPixel(f.list->viewport()), QColor(Qt::cyan));
        f.menu()->close();
        QTRY_VERIFY(!QApplication::activePopupWidget());
        f.form.activateWindow(); // offscreen leaves the closed menu active
        QVERIFY(QTest::qWaitForWindowActive(&f.form));
        QCOMPARE(BackgroundPixel(f.list->viewport()), QColor(Qt::cyan));

        f.form.key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.after);
        QCOMPARE(BackgroundPixel(f.list->viewport()), unfocused);
    }

    void enterAndEsc_data() { ContractKeyCase::addRows(); }
    void enterAndEsc()
    {
        const auto keyCase = ContractKeyCase::fetch();
        CheckListForm f;
        f.list->SetEnterAsTab(keyCase.ownEnterAsTab());
        f.list->SetCloseOnEsc(keyCase.ownCloseOnEsc());
        QVERIFY(f.form.showForm());
        keyCase.press(f.form, f.list);
        keyCase.verify(f.form, f.list, f.after);
        QCOMPARE(f.marks(), u"00000"_s);
    }
};

QTEST_MAIN(tst_dvCheckListBox)
#include "tst_dvCheckListBox.moc"
