// The Qt side of the controls: the virtual control contract reached through
// base pointers, the signals beside the handlers, the USER properties that
// QDataWidgetMapper binds, loading on first show, and the warnings of misuse.

#include <QDataWidgetMapper>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>

#include "dvButton.h"
#include "dvCheckBox.h"
#include "dvCheckListBox.h"
#include "dvComboBox.h"
#include "dvDate.h"
#include "dvMemo.h"
#include "dvRadioButton.h"
#include "dvRecords.h"
#include "dvTime.h"
#include "dvValue.h"
#include "dvtContract.h"
#include "dvtDataControl.h"
#include "dvtException.h"
#include "dvtFormatSettings.h"
#include "dvtIniFile.h"
#include "dvtMessageDlg.h"
#include "dvtTestForm.h"

using namespace Qt::StringLiterals;

namespace {

// Puts a text into a control as typing would leave it, without normalising.
void PutText(QWidget *control, const QString &text)
{
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        edit->setText(text);
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(control))
        memo->setPlainText(text);
    else
        qobject_cast<dvt::DataControl *>(control)->loadText(text);
}

// Collects the message dialogs instead of showing them.
struct Messages
{
    QStringList texts;
    dvt::ScopedMessageHandler handler{[this](const dvt::TMessageRequest &request) {
        texts << request.Message;
        return dvt::mrOk;
    }};
};

using ContractRow = std::tuple<QString, QString, bool, bool, std::optional<QString>>;

} // namespace

Q_DECLARE_METATYPE(ContractRow)

class tst_dvQtSurface : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void init()
    {
        dvt::FormatSettings() = dvt::TFormatSettings();
        // Any warning a case does not expect is a fault (but the offscreen
        // platform's own about window sizes).
        QTest::failOnWarning(QRegularExpression(u"^(?!This plugin does not support).*"_s));
    }

    // Reached as a QWidget* found by name, each control gives its own verdict and
    // literal; through a TdvEdit* a typed edit gives its own Valid() and GetSQL().
    void contractThroughBasePointers_data()
    {
        const auto row = RowColumn<ContractRow>();
        // kind, text, NotNull, isValid(), literal
        row("edit: quotes removed, blanks kept",
            {u"edit"_s, u" a\"b "_s, false, true, u"\" ab \""_s});
        row("edit: blank with NotNull", {u"edit"_s, u"  "_s, true, false, u"\"  \""_s});
        row("value: the number, bare", {u"value"_s, u"$1,234.50"_s, false, true, u"1234.5"_s});
        row("value: no number, NotNull", {u"value"_s, u"abc"_s, true, false, u"0"_s});
        row("date: month first", {u"date"_s, u"1/31/1970"_s, false, true, u"\"01/31/1970\""_s});
        row("date: no date", {u"date"_s, u"13/45/1970"_s, true, false, u"null"_s});
        row("time: quoted, seconds added", {u"time"_s, u"9:05"_s, false, true, u"\"09:05:00\""_s});
        row("time: no time", {u"time"_s, u"99:99"_s, true, false, u"\"\""_s});
        row("memo: line breaks kept",
            {u"memo"_s, u"two\nlines"_s, false, true, u"\"two\nlines\""_s});
        row("memo: blank with NotNull", {u"memo"_s, u" \n "_s, true, false, u"\" \n \""_s});
        row("check box: Y", {u"check box"_s, u"yes"_s, false, true, u"\"Y\""_s});
        row("check box: N", {u"check box"_s, u"no"_s, false, true, u"\"N\""_s});
        row("radio button: no column value",
            {u"radio button"_s, QString(), false, true, std::nullopt});
        row("check list: no column value", {u"check list"_s, QString(), false, true, std::nullopt});
    }
    void contractThroughBasePointers()
    {
        const auto &[kind, text, notNull, valid, literal] = Row<ContractRow>();
        QWidget form;
        AddControl(&form, kind)->setProperty("NotNull", notNull);
        PutText(form.findChild<QWidget *>(u"Control"_s), text);

        auto *control = qobject_cast<dvt::DataControl *>(form.findChild<QWidget *>(u"Control"_s));
        QVERIFY(control);
        QCOMPARE(control->isValid(), valid);
        QCOMPARE(control->sqlLiteral(u"T"_s), literal);

        if (auto *edit = form.findChild<TdvEdit *>(u"Control"_s)) {
            // The typed edits' own answers, which the plain edit's would hide.
            if (auto *value = qobject_cast<TdvValue *>(edit))
                QCOMPARE(edit->GetSQL(), value->TdvValue::GetSQL());
            if (auto *date = qobject_cast<TdvDate *>(edit)) {
                QCOMPARE(edit->GetSQL(), date->TdvDate::GetSQL());
                QCOMPARE(edit->Valid(), date->TdvDate::Valid());
            }
        }
    }

    // isValid() asks OnValidation and validating() once each, even when a typed
    // edit's own test has failed, and a slot's verdict counts.
    void validationHandlerAndSignal_data()
    {
        const auto row = RowColumn<std::tuple<QString, QString, bool>>();
        // kind, text, the slot's verdict
        row("plain edit overruled", {u"edit"_s, QString(), true});
        row("value edit, own test failed", {u"value"_s, u"x"_s, true});
        row("date edit refused by the slot", {u"date"_s, u"1/1/2000"_s, false});
    }
    void validationHandlerAndSignal()
    {
        const auto &[kind, text, verdict] = Row<std::tuple<QString, QString, bool>>();
        QWidget form;
        auto *edit = qobject_cast<TdvEdit *>(AddControl(&form, kind));
        edit->SetNotNull(true);
        edit->setText(text);
        int handlerCalls = 0;
        edit->OnValidation = [&](QObject *, const QString &, bool &) { ++handlerCalls; };
        QSignalSpy spy(edit, &TdvEdit::validating);
        connect(edit, &TdvEdit::validating, this,
                [verdict = verdict](const QString &, bool *valid) { *valid = verdict; });

        const bool ownTest = kind == u"edit" || edit->Valid();
        handlerCalls = 0;
        spy.clear();
        QCOMPARE(qobject_cast<dvt::DataControl *>(edit)->isValid(), ownTest && verdict);
        QCOMPARE(handlerCalls, 1);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), text);
    }

    // Typed change signals: once per change of the value, none for a change of
    // its text alone, with the new value as argument.
    void valueSignals()
    {
        ControlForm<TdvValue> f([](QWidget &form) { return new TdvValue(&form); });
        QVERIFY(f.show());
        QSignalSpy changed(f.control, &TdvValue::valueChanged);
        f.control->selectAll();
        f.form.type(u"12"_s);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toDouble(), 12.0);
        f.form.key(Qt::Key_Return); // "$12.00": the same number
        QCOMPARE(f.control->text(), u"$12.00"_s);
        QCOMPARE(changed.count(), 2);
        f.form.type(u"c"_s);
        QCOMPARE(changed.count(), 3);
        QCOMPARE(changed.at(2).at(0).toDouble(), 0.0);
        QCOMPARE(f.control->value(), std::nullopt);
    }

    void dateSignals()
    {
        ControlForm<TdvDate> f([](QWidget &form) { return new TdvDate(&form); });
        QVERIFY(f.show());
        QSignalSpy changed(f.control, &TdvDate::dateChanged);
        QVERIFY(f.control->setDate(QDate(2000, 2, 28)));
        QVERIFY(f.control->setDate(QDate(2000, 2, 28)));
        QCOMPARE(changed.count(), 1);
        f.form.key(Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).value<QDate>(), QDate(2000, 2, 29));
        QVERIFY(f.control->setDate(QDate()));
        QCOMPARE(f.control->text(), QString());
        QCOMPARE(changed.count(), 3);
        QVERIFY(!changed.at(2).at(0).value<QDate>().isValid());
    }

    void timeSignals()
    {
        ControlForm<TdvTime> f([](QWidget &form) { return new TdvTime(&form); });
        QVERIFY(f.show());
        QSignalSpy changed(f.control, &TdvTime::timeChanged);
        f.form.type(u"10:30"_s);
        QVERIFY(changed.count() >= 1);
        QCOMPARE(changed.last().at(0).value<QTime>(), QTime(10, 30));
        const qsizetype typed = changed.count();
        f.form.key(Qt::Key_Return); // reformatted, the same time
        QCOMPARE(changed.count(), typed);
        f.control->Adjust(0, 1, 0);
        QCOMPARE(changed.last().at(0).value<QTime>(), QTime(10, 31));
    }

    void buttonAndListSignals()
    {
        TestForm<> form;
        auto *check = form.add<TdvCheckBox>(u"PAID"_s);
        auto *list = form.add<TdvCheckListBox>(u"TAGS"_s);
        list->addItems({u"a"_s, u"b"_s});
        auto *combo = form.add<TdvComboBox>(u"KIND"_s);
        combo->addItems({u"Cash"_s, u"Card"_s});
        QVERIFY(form.showForm());
        QSignalSpy toggled(check, &QAbstractButton::toggled);
        QSignalSpy ticked(list, &TdvCheckListBox::checkedItemsChanged);
        QSignalSpy picked(combo, &QComboBox::currentTextChanged);

        check->setFocus();
        form.key(Qt::Key_Space);
        QCOMPARE(toggled.count(), 1);
        list->setFocus();
        list->setCurrentRow(1);
        form.key(Qt::Key_Space);
        QCOMPARE(ticked.count(), 1);
        QCOMPARE(ticked.at(0).at(0).toStringList(), QStringList{u"b"_s});
        QCOMPARE(list->CheckedItems(), QStringList{u"b"_s});
        combo->setFocus();
        form.key(Qt::Key_Down);
        QCOMPARE(picked.count(), 1);
        QCOMPARE(picked.at(0).at(0).toString(), u"Card"_s);
    }

    // keyDown() and keyPress() come after the handlers, and a slot that consumes
    // the key keeps it out of the control.
    void keySignals()
    {
        ControlForm<TdvEdit> f([](QWidget &form) { return new TdvEdit(&form); });
        QVERIFY(f.show());
        QList<quint16> downs;
        connect(f.control, &TdvEdit::keyDown, this,
                [&](quint16 *key, dvt::TShiftState) { downs << *key; });
        connect(f.control, &TdvEdit::keyPress, this, [](QChar *key) {
            if (*key == u'x')
                *key = QChar();
        });
        f.form.type(u"axb"_s);
        QCOMPARE(f.control->text(), u"ab"_s);
        QCOMPARE(downs, (QList<quint16>{'A', 'X', 'B'}));
    }

    // The validation walk names the control it stops at.
    void validationFailedSignal()
    {
        TestForm<> form;
        form.add<TdvEdit>(u"NAME"_s);
        auto *due = form.add<TdvDate>(u"DUE"_s);
        due->SetNotNull(true);
        auto *save = form.add<TdvButton>(u"Save"_s);
        save->SetValidate(true);
        QVERIFY(form.showForm());
        QSignalSpy failed(save, &TdvButton::validationFailed);
        QSignalSpy clicked(save, &QPushButton::clicked);
        form.click(save, Qt::LeftButton);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).value<QWidget *>(), due);
        QCOMPARE(clicked.count(), 0);
        QVERIFY(due->hasFocus());
    }

    // QDataWidgetMapper binds every control kind by its USER property (or a named
    // one): the model's value shows in the control, and the control's value
    // reaches the model.
    void mapperRoundTrip_data()
    {
        const auto row = RowColumn<std::tuple<QString, QByteArray, QVariant, QString, QVariant>>();
        // kind, mapped property (empty: USER), model value, the control's state
        // after a user's change, the model value after submit()
        row("edit", {u"edit"_s, {}, u"Smith"_s, u"Jones"_s, u"Jones"_s});
        row("value", {u"value"_s, {}, 1234.5, u"99.5"_s, 99.5});
        row("value: NULL shows zero", {u"value"_s, {}, QVariant(), u"7"_s, 7.0});
        row("date", {u"date"_s, {}, QDate(2000, 1, 31), u"2/29/2000"_s, QDate(2000, 2, 29)});
        row("date: NULL empties", {u"date"_s, {}, QVariant(), QString(), QDate()});
        row("time", {u"time"_s, {}, QTime(10, 30), u"23:59"_s, QTime(23, 59)});
        row("memo", {u"memo"_s, {}, u"a\nb"_s, u"c"_s, u"c"_s});
        row("check box", {u"check box"_s, {}, true, u"N"_s, false});
        row("check box, Y/N column", {u"check box"_s, "YesNo", u"N"_s, u"Y"_s, u"Y"_s});
        row("combo box", {u"combo box"_s, {}, u"Card"_s, u"Cheque"_s, u"Cheque"_s});
        row("check list",
            {u"check list"_s, {}, QStringList{u"Wrap"_s}, u"Bag"_s, QStringList{u"Bag"_s}});
    }
    void mapperRoundTrip()
    {
        using MapperRow = std::tuple<QString, QByteArray, QVariant, QString, QVariant>;
        const auto &[kind, property, modelValue, userValue, submitted] = Row<MapperRow>();
        QWidget form;
        QWidget *control = AddControl(&form, kind);
        QStandardItemModel model(1, 1);
        model.setData(model.index(0, 0), modelValue, Qt::EditRole);
        QDataWidgetMapper mapper;
        mapper.setModel(&model);
        mapper.setSubmitPolicy(QDataWidgetMapper::ManualSubmit);
        if (property.isEmpty())
            mapper.addMapping(control, 0);
        else
            mapper.addMapping(control, 0, property);
        mapper.toFirst();

        const char *name = property.isEmpty() ? control->metaObject()->userProperty().name()
                                              : property.constData();
        if (modelValue.isValid())
            QCOMPARE(control->property(name).toString(), modelValue.toString());
        if (kind == u"check box" && !property.isEmpty())
            QVERIFY(!qobject_cast<QAbstractButton *>(control)->isChecked()); // "N" is no

        if (auto *list = qobject_cast<TdvCheckListBox *>(control))
            list->SetCheckedItems({userValue});
        else
            qobject_cast<dvt::DataControl *>(control)->loadText(userValue);
        QVERIFY(mapper.submit());
        QCOMPARE(model.data(model.index(0, 0)), submitted);
    }

    // A form shown without dvt::LoadForm loads itself before its first paint, as
    // one loaded explicitly; LoadForm afterwards changes nothing.
    void showWithoutLoadForm()
    {
        dvt::TIniFile(dvt::KeptValuesFileName())
            .WriteString(u"ComponentsValues"_s, u"AutoForm/KEPT"_s, u"kept text"_s);
        TestForm<> form(u"AutoForm"_s);
        auto *designed = form.add<TdvEdit>(u"DESIGNED"_s);
        designed->setText(u"typed at design time"_s);
        auto *kept = form.add<TdvEdit>(u"KEPT"_s);
        kept->SetKeepValue(true);
        auto *unnamedValue = new TdvValue(&form);
        form.layout()->addWidget(unnamedValue);

        form.show();
        QVERIFY(dvt::IsLoaded(designed) && dvt::IsLoaded(unnamedValue));
        QCOMPARE(designed->text(), QString());
        QCOMPARE(kept->text(), u"kept text"_s);
        QCOMPARE(unnamedValue->text(), u"$0.00"_s); // normalised by its Loaded()

        kept->setText(u"changed"_s);
        dvt::LoadForm(&form);
        QCOMPARE(kept->text(), u"changed"_s);
    }

    // Misuse is told in a warning that names the control's class and form, and
    // no malformed statement is built or sent.
    void misuseWarns()
    {
        Messages messages;
        QWidget form;
        form.setObjectName(u"OrderForm"_s);
        auto *unnamed = new TdvEdit(&form);
        auto *named = new TdvEdit(&form);
        named->setObjectName(u"CUSTOMER"_s);

        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(u"dvInsertRecord: there is no TdvControlPanel"_s));
        QTest::ignoreMessage(
            QtWarningMsg, QRegularExpression(u"TdvEdit \\(unnamed\\) on OrderForm has no name"_s));
        QVERIFY(!dvInsertRecord(u"ORDERS"_s, {named, unnamed}));
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY(messages.texts.at(0).contains(u"has no name to give its column"_s));

        unnamed->SetKeepValue(true);
        QTest::ignoreMessage(
            QtWarningMsg,
            QRegularExpression(
                u"TdvEdit \\(unnamed\\) on OrderForm has KeepValue but no object name"_s));
        dvt::LoadForm(&form);

        auto *panel = new TdvControlPanel(&form);
        QTest::ignoreMessage(
            QtWarningMsg,
            QRegularExpression(u"A second TdvControlPanel for QWidget \"x\".*refused"_s));
        QWidget other;
        other.setObjectName(u"x"_s);
        QVERIFY_THROWS_EXCEPTION(dvt::Exception, TdvControlPanel{&other});
        delete panel;
    }
};

QTEST_MAIN(tst_dvQtSurface)
#include "tst_dvQtSurface.moc"
