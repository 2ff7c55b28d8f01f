#include <QDialog>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTest>

#include <functional>

#include "dvButton.h"
#include "dvDate.h"
#include "dvEdit.h"
#include "dvMemo.h"
#include "dvValue.h"
#include "dvtControl.h"
#include "dvtMessageDlg.h"
#include "dvtTestForm.h"

using namespace Qt::StringLiterals;

// Stands in for the lookup key edit of a higher layer: the button knows that
// class by its name.
class TdvKey : public TdvEdit
{
    Q_OBJECT

public:
    using TdvEdit::TdvEdit;
};

namespace {

// Answers every message with the given button and records the requests.
struct Answering
{
    explicit Answering(dvt::TModalResult answer)
        : handler([this, answer](const dvt::TMessageRequest &request) {
            requests << request;
            return answer;
        })
    {}
    QList<dvt::TMessageRequest> requests;
    dvt::ScopedMessageHandler handler;
};

// Makes one control of the validation walk, named after its position; every
// edit is required (NotNull).
QWidget *makeControl(TestForm<> &form, const QString &kind, int index)
{
    const QString name = u"Control%1"_s.arg(index);
    QWidget *control;
    if (kind == u"key")
        control = form.add<TdvKey>(name);
    else if (kind == u"value")
        control = form.add<TdvValue>(name);
    else if (kind == u"date")
        control = form.add<TdvDate>(name);
    else if (kind == u"memo")
        control = form.add<TdvMemo>(name);
    else
        control = form.add<TdvEdit>(name);
    control->setProperty("NotNull", true);
    control->setVisible(kind != u"hidden blank");
    return control;
}

// The text that a kind of control holds when the button checks it (loading the
// form empties the text typed before).
QString textOf(const QString &kind)
{
    if (kind == u"ok")
        return u"x"_s;
    if (kind == u"blank")
        return u"  "_s;
    if (kind == u"value")
        return u"abc"_s;
    if (kind == u"date")
        return u"99/99/9999"_s;
    return QString();
}

// A form with a required edit and a Save button that counts its clicks.
struct SaveForm
{
    TestForm<> form;
    TdvEdit *name = form.add<TdvEdit>(u"Name"_s);
    TdvButton *save = form.add<TdvButton>(u"Save"_s);
    int clicks = 0;

    SaveForm()
    {
        name->SetNotNull(true);
        save->setText(u"&Save"_s);
        QObject::connect(save, &QPushButton::clicked, save, [this] { ++clicks; });
    }
};

} // namespace

class tst_dvButton : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void validation_data()
    {
        QTest::addColumn<QStringList>("kinds"); // in creation order
        QTest::addColumn<bool>("reverseTabOrder");
        QTest::addColumn<int>("focused"); // the control that gets the focus, -1: none
        QTest::addColumn<bool>("valid");
        QTest::newRow("all acceptable") << QStringList{u"ok"_s, u"ok"_s} << false << -1 << true;
        QTest::newRow("required blank") << QStringList{u"ok"_s, u"blank"_s} << false << 1 << false;
        QTest::newRow("first created, whatever the tab order")
            << QStringList{u"ok"_s, u"blank"_s, u"blank"_s} << true << 1 << false;
        QTest::newRow("value edit") << QStringList{u"ok"_s, u"value"_s} << false << 1 << false;
        QTest::newRow("date edit") << QStringList{u"date"_s, u"blank"_s} << false << 0 << false;
        QTest::newRow("lookup key edit not asked")
            << QStringList{u"key"_s, u"ok"_s} << false << -1 << true;
        QTest::newRow("memo not asked") << QStringList{u"memo"_s} << false << -1 << true;
        QTest::newRow("hidden: no focus, walk ends")
            << QStringList{u"hidden blank"_s, u"blank"_s} << false << -1 << false;
    }
    void validation()
    {
        QFETCH(QStringList, kinds);
        QFETCH(bool, reverseTabOrder);
        QFETCH(int, focused);
        QFETCH(bool, valid);
        TestForm<> form;
        QList<QWidget *> controls;
        for (const QString &kind : kinds)
            controls << makeControl(form, kind, int(controls.size()));
        auto *button = form.add<TdvButton>(u"Save"_s);
        QVERIFY(form.showForm());
        for (int i = 0; i < controls.size(); ++i) {
            if (auto *edit = qobject_cast<TdvEdit *>(controls.at(i)))
                edit->setText(textOf(kinds.at(i)));
        }
        if (reverseTabOrder) {
            for (qsizetype i = controls.size() - 1; i > 0; --i)
                QWidget::setTabOrder(controls.at(i), controls.at(i - 1));
        }
        button->setFocus();

        QCOMPARE(button->Validation(), valid);
        QWidget *const focus = focused < 0 ? button : controls.at(focused);
        QCOMPARE(QApplication::focusWidget(), focus);
        // A hidden control did not take the focus for later either.
        for (QWidget *control : controls)
            control->show();
        QCOMPARE(QApplication::focusWidget(), focus);
    }

    void onValidationRunsAfterTheValueEditsOwnTest()
    {
        TestForm<> form;
        auto *amount = form.add<TdvValue>(u"Amount"_s);
        auto *button = form.add<TdvButton>(u"Save"_s);
        QVERIFY(form.showForm());
        amount->SetNotNull(true);
        amount->setText(u"abc"_s);
        QList<bool> verdicts;
        amount->OnValidation = [&](QObject *sender, const QString &text, bool &valid) {
            QCOMPARE(sender, amount);
            QCOMPARE(text, u"abc"_s);
            verdicts << valid;
        };
        QVERIFY(!amount->Valid());
        QVERIFY(!button->Validation());
        QCOMPARE(verdicts, QList<bool>{true}); // the edit test itself passes: not blank
        QCOMPARE(QApplication::focusWidget(), amount);
    }

    // Every way of pressing the button goes through the checks.
    void activation_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("filled");
        for (const QString &how : {u"mouse"_s, u"Space"_s, u"Enter"_s, u"accelerator"_s})
            QTest::addRow("%s, refused", qPrintable(how)) << how << false;
        QTest::newRow("accelerator, passed") << u"accelerator"_s << true;
    }
    void activation()
    {
        QFETCH(QString, how);
        QFETCH(bool, filled);
        SaveForm f;
        f.save->SetValidate(true);
        QVERIFY(f.form.showForm());
        f.form.addPanel()->SetEnterAsTab(true); // not the button's: Enter presses it
        if (filled)
            f.name->setText(u"Smith"_s);
        f.save->setFocus();
        if (how == u"mouse")
            QTest::mouseClick(f.save, Qt::LeftButton);
        else if (how == u"Space")
            f.form.key(Qt::Key_Space);
        else if (how == u"Enter")
            f.form.key(Qt::Key_Return);
        else
            f.form.key(Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(f.clicks, filled ? 1 : 0);
        QTest::qWait(150); // an accelerator's click comes after a short animation
        QCOMPARE(f.clicks, filled ? 1 : 0);
        QCOMPARE(QApplication::focusWidget(), filled ? static_cast<QWidget *>(f.save) : f.name);
    }

    void aRefusedClickDoesNotSilenceTheNext()
    {
        SaveForm f;
        f.save->SetValidate(true);
        int released = 0;
        QObject::connect(f.save, &QPushButton::released, [&] { ++released; });
        QVERIFY(f.form.showForm());
        f.save->click();
        QCOMPARE(f.clicks, 0);
        QCOMPARE(released, 0);
        f.name->setText(u"Smith"_s);
        f.save->click(); // at once, before any event is processed
        QCOMPARE(f.clicks, 1);
        QCOMPARE(released, 1);
        f.name->clear();
        f.save->click();
        QCoreApplication::processEvents();
        QVERIFY(!f.save->signalsBlocked());
        QCOMPARE(f.clicks, 1);
    }

    void dialogDefaultButton_data()
    {
        QTest::addColumn<bool>("filled");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("refused, dialog stays") << false << false;
        QTest::newRow("passed, dialog accepted") << true << true;
    }
    void dialogDefaultButton()
    {
        QFETCH(bool, filled);
        QFETCH(bool, accepted);
        TestForm<QDialog> dialog;
        auto *name = dialog.add<TdvEdit>(u"Name"_s);
        auto *remark = dialog.add<QLineEdit>(u"Remark"_s);
        auto *ok = dialog.add<TdvButton>(u"OK"_s);
        name->SetNotNull(true);
        ok->SetValidate(true);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        QVERIFY(dialog.showForm());
        if (filled)
            name->setText(u"Smith"_s);
        remark->setFocus();
        dialog.key(Qt::Key_Return); // the line edit leaves Enter to the dialog
        QCOMPARE(dialog.isVisible(), !accepted);
        QCOMPARE(dialog.result(), int(accepted ? QDialog::Accepted : QDialog::Rejected));
        if (!accepted)
            QCOMPARE(QApplication::focusWidget(), name);
    }

    void confirmation_data()
    {
        QTest::addColumn<bool>("validate");
        QTest::addColumn<bool>("filled");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("clicked");
        QTest::newRow("Yes") << true << true << int(dvt::mrYes) << true << true;
        QTest::newRow("No") << true << true << int(dvt::mrNo) << true << false;
        QTest::newRow("invalid: not asked") << true << false << int(dvt::mrYes) << false << false;
        QTest::newRow("no validation: asked") << false << false << int(dvt::mrYes) << true << true;
    }
    void confirmation()
    {
        QFETCH(bool, validate);
        QFETCH(bool, filled);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, clicked);
        SaveForm f;
        f.save->SetValidate(validate);
        f.save->SetConfirm(true);
        QVERIFY(f.form.showForm());
        if (filled)
            f.name->setText(u"Smith"_s);
        Answering answering{dvt::TModalResult(answer)};
        f.save->setFocus();
        f.form.key(Qt::Key_Space);
        QCOMPARE(f.clicks, clicked ? 1 : 0);
        QCOMPARE(answering.requests.size(), asked ? 1 : 0);
        if (asked) {
            const dvt::TMessageRequest &request = answering.requests.constFirst();
            QCOMPARE(request.Message, u"Are you sure?"_s);
            QCOMPARE(request.Type, dvt::TMsgDlgType::mtConfirmation);
            QCOMPARE(request.Buttons, dvt::mbYes | dvt::mbNo);
            QCOMPARE(request.DefaultButton, dvt::mbYes);
        }
    }

    void boldMarking_data()
    {
        QTest::addColumn<dvt::TColor>("panel");
        QTest::addColumn<bool>("designedBold");
        QTest::newRow("panel asks") << dvt::clYellow << false;
        QTest::newRow("no highlight") << dvt::clWindow << false;
    }
    void boldMarking()
    {
        QFETCH(dvt::TColor, panel);
        QFETCH(bool, designedBold);
        const bool marking = panel != dvt::clWindow;
        SaveForm f;
        dvt::SetBold(f.save, designedBold);
        QVERIFY(f.form.showForm());
        f.form.addPanel()->SetHighlight(panel);
        f.name->setFocus();
        QTest::mouseMove(f.name);
        QCOMPARE(ShowsBold(f.save), designedBold);

        QTest::mouseMove(f.save);
        QTRY_COMPARE(ShowsBold(f.save), marking || designedBold);
        f.form.key(Qt::Key_Tab); // focus comes while hovered
        QCOMPARE(QApplication::focusWidget(), f.save);
        QCOMPARE(ShowsBold(f.save), marking || designedBold);
        QTest::mouseMove(f.name); // leaving ends the marking, focus or not
        QTRY_COMPARE(ShowsBold(f.save), designedBold);
        QTest::mouseMove(f.save);
        QTRY_COMPARE(ShowsBold(f.save), marking || designedBold);
        f.name->setFocus(); // so does losing the focus, hovered or not
        QCOMPARE(ShowsBold(f.save), designedBold);
        f.save->setFocus();
        QCOMPARE(ShowsBold(f.save), marking || designedBold);
    }

    // Enter presses the button (activation() above); Esc follows the contract.
    void esc_data() { ContractKeyCase::addRows({Qt::Key_Escape}); }
    void esc()
    {
        const auto keyCase = ContractKeyCase::fetch();
        SaveForm f;
        f.save->SetCloseOnEsc(keyCase.ownCloseOnEsc());
        QVERIFY(f.form.showForm());
        keyCase.press(f.form, f.save);
        keyCase.verify(f.form, f.save, f.save);
        QCOMPARE(f.clicks, 0);
    }
};

QTEST_MAIN(tst_dvButton)
#include "tst_dvButton.moc"
