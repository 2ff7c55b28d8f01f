#include <QClipboard>
#include <QMenu>
#include <QStandardPaths>
#include <QTest>

#include "dvPopups.h"
#include "dvValue.h"
#include "dvtException.h"
#include "dvtFormatSettings.h"
#include "dvtIniFile.h"
#include "dvtTestForm.h"

using namespace Qt::StringLiterals;

namespace {

// A form with a value edit and a plain edit after it.
struct ValueForm : EditForm<TdvValue>
{
    ValueForm() : EditForm(u"Amount"_s) {}
};

// A menu left open by a test would take the keys of the next one.
void closePopups()
{
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
}

} // namespace

class tst_dvValue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init() { ResetEditGlobals(); }

    void typing_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("swallowed");
        QTest::addColumn<int>("opens");
        const QString q = u"?"_s;
        QTest::newRow("letters dropped") << q << u"12a3"_s << u"123"_s << 1 << 0;
        QTest::newRow("not checked per key") << q << u"1-2..3-"_s << u"1-2..3-"_s << 0 << 0;
        QTest::newRow("symbols dropped") << q << u"$ (x)%e+*/="_s << QString() << 11 << 0;
        QTest::newRow("C empties, typing goes on") << q << u"12C34"_s << u"34"_s << 1 << 0;
        QTest::newRow("trigger swallowed") << q << u"1?2"_s << u"12"_s << 1 << 1;
        QTest::newRow("any of several triggers") << u"#="_s << u"5=#"_s << u"5"_s << 2 << 2;
        QTest::newRow("? no trigger any more") << u"#"_s << u"5?"_s << u"5"_s << 1 << 0;
        QTest::newRow("trigger before clear") << u"c"_s << u"5c"_s << u"5"_s << 1 << 1;
    }
    void typing()
    {
        QFETCH(QString, trigger);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(int, swallowed);
        QFETCH(int, opens);

        ValueForm f;
        QVERIFY(f.showEmpty());
        f.edit->SetTrigger(trigger);
        // The application's handler sees each key, a swallowed one as the null
        // character.
        QList<QChar> seen;
        f.edit->OnKeyPress = [&](QObject *, QChar &key) { seen << key; };
        f.form.type(keys);
        QCOMPARE(f.edit->text(), text);
        QCOMPARE(dvPopups::OpenRequests(dvPopups::Calculator), opens);
        QCOMPARE(dvPopups::OpenRequests(dvPopups::Calendar), 0);
        QCOMPARE(seen.size(), keys.size());
        QCOMPARE(seen.count(QChar()), swallowed);
    }

    void openerReceivesTheOwner()
    {
        ValueForm f;
        QVERIFY(f.showEmpty());
        f.form.type(u"125"_s);
        // A stand-in calculator: reads the owner's value, writes a result back.
        QList<double> read;
        dvPopups::SetCalculatorOpener([&](QWidget *owner) {
            auto *value = qobject_cast<TdvValue *>(owner);
            QVERIFY(value);
            read << value->GetFValue();
            value->SetFValue(read.last() * 2);
        });
        f.form.type(u"?"_s);
        QCOMPARE(read, QList<double>{125});
        QCOMPARE(f.edit->text(), u"$250.00"_s);
        QCOMPARE(dvPopups::LastOwner(dvPopups::Calculator), f.edit);
    }

    void rightClick_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("opens");
        QTest::newRow("plain") << int(Qt::NoModifier) << true;
        QTest::newRow("with Ctrl") << int(Qt::ControlModifier) << false;
    }
    void rightClick()
    {
        QFETCH(int, modifiers);
        QFETCH(bool, opens);

        ValueForm f;
        QVERIFY(f.showEmpty());
        f.form.click(f.edit, Qt::RightButton, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(dvPopups::OpenRequests(dvPopups::Calculator), opens ? 1 : 0);
        // The click that opens the calculator shows no menu; any other shows the
        // edit's own.
        const bool menuShown = qobject_cast<QMenu *>(QApplication::activePopupWidget()) != nullptr;
        closePopups();
        QCOMPARE(menuShown, !opens);
        f.form.click(f.edit, Qt::LeftButton);
        QCOMPARE(dvPopups::OpenRequests(dvPopups::Calculator), opens ? 1 : 0);
    }

    void normalise_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("shown");
        const QString money = u"%m"_s;
        QTest::newRow("plain") << money << u"1234.5"_s << u"$1,234.50"_s;
        QTest::newRow("parenthesised") << money << u"(12)"_s << u"($12.00)"_s;
        QTest::newRow("rounded") << money << u"0.005"_s << u"$0.01"_s;
        QTest::newRow("letters") << money << u"abc"_s << u"$0.00"_s;
        QTest::newRow("too large for a double") << money << QString(400, u'9') << u"$0.00"_s;
        QTest::newRow("three decimals") << u"%.3f"_s << u"2.5"_s << u"2.500"_s;
        QTest::newRow("integer pattern fails") << u"%d"_s << u"2.5"_s << u"2.5"_s;
    }
    void normalise()
    {
        QFETCH(QString, format);
        QFETCH(QString, input);
        QFETCH(QString, shown);

        // By the keyboard: the text is normalised when the focus leaves.
        ValueForm f;
        f.edit->SetFormatStr(format);
        QVERIFY(f.showEmpty());
        f.edit->setText(input);
        f.form.key(Qt::Key_Tab);
        QVERIFY(f.next->hasFocus());
        QCOMPARE(f.edit->text(), shown);
    }

    void setValue()
    {
        TdvValue value;
        value.SetValue(u"1 234.5"_s);
        QCOMPARE(value.text(), u"$1,234.50"_s);
        value.SetValue(-0.5);
        QCOMPARE(value.text(), u"($0.50)"_s);
        // "%m" wants a floating argument.
        QVERIFY_THROWS_EXCEPTION(dvt::EConvertError, value.SetValue(7));
        QCOMPARE(value.text(), u"($0.50)"_s);
        value.SetFormatStr(u"%d"_s);
        value.SetValue(7);
        QCOMPARE(value.text(), u"7"_s);
    }

    void readers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("notNull");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("valid");
        QTest::newRow("money") << u"$1,234.50"_s << false << 1234.5 << u"1234.5"_s << true;
        QTest::newRow("empty, NotNull") << QString() << true << 0.0 << u"0"_s << false;
        QTest::newRow("two signs, NotNull") << u"1-2"_s << true << 0.0 << u"0"_s << false;
        QTest::newRow("tiny") << u"0.000001"_s << true << 1e-6 << u"1E-6"_s << true;
    }
    void readers()
    {
        QFETCH(QString, text);
        QFETCH(bool, notNull);
        QFETCH(double, value);
        QFETCH(QString, sql);
        QFETCH(bool, valid);

        TdvValue edit;
        edit.setText(text);
        edit.SetNotNull(notNull);
        bool asked = false;
        edit.OnValidation = [&](QObject *, const QString &, bool &) { asked = true; };
        QCOMPARE(edit.GetFValue(), value);
        QCOMPARE(edit.GetSQL(), sql);
        QCOMPARE(edit.Valid(), valid);
        QVERIFY(!asked);
    }

    void getWords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("currency");
        QTest::addColumn<QString>("words");
        QTest::newRow("money")
            << u"$1,234.56"_s << true
            << u"One Thousand, Two Hundred, Tirty Four Dollars and Fifty Six Cents"_s;
        QTest::newRow("whole only") << u"$1.01"_s << false << u"One "_s;
        QTest::newRow("empty") << QString() << true << u"Zero"_s;
    }
    void getWords()
    {
        QFETCH(QString, text);
        QFETCH(bool, currency);
        QFETCH(QString, words);
        TdvValue edit;
        edit.setText(text);
        QCOMPARE(edit.GetWords(currency), words);
    }

    void enterNormalisesBeforeMovingOn()
    {
        ValueForm f;
        QVERIFY(f.showEmpty());
        f.edit->SetEnterAsTab(true);
        QCOMPARE(f.typeAndLeave(u"1234.5"_s, Qt::Key_Return), u"$1,234.50"_s);
    }

    void keptValueIsTheTypedText()
    {
        ValueForm f;
        f.edit->SetKeepValue(true);
        QVERIFY(f.showEmpty());
        f.form.type(u"1234.5"_s);
        f.form.key(Qt::Key_Tab);
        QCOMPARE(f.edit->text(), u"$1,234.50"_s);
        QCOMPARE(dvt::TIniFile(dvt::KeptValuesFileName())
                     .ReadString(u"ComponentsValues"_s, u"OrderForm/Amount"_s, {}),
                 u"1234.5"_s);
    }

    void editingCommandsAreNoText()
    {
        ValueForm f;
        QVERIFY(f.showEmpty());
        f.form.type(u"42"_s);
        f.form.key(Qt::Key_A, Qt::ControlModifier); // select all
        f.form.key(Qt::Key_C, Qt::ControlModifier); // copy: does not empty the text
        QCOMPARE(f.edit->text(), u"42"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"42"_s);
        f.form.key(Qt::Key_End);
        f.form.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.edit->text(), u"4242"_s);
    }

    void pastedTextIsNormalised_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("shown");
        QTest::newRow("money") << u"$ 1,000"_s << u"$1,000.00"_s;
        QTest::newRow("ten thousand digits") << QString(10'000, u'1') << u"$0.00"_s;
    }
    void pastedTextIsNormalised()
    {
        QFETCH(QString, pasted);
        QFETCH(QString, shown);
        ValueForm f;
        QVERIFY(f.showEmpty());
        QGuiApplication::clipboard()->setText(pasted);
        f.form.key(Qt::Key_V, Qt::ControlModifier);
        f.form.key(Qt::Key_Tab);
        QCOMPARE(f.edit->text(), shown);
    }

    void hugeNumbersAreShown()
    {
        TdvValue edit;
        edit.SetValue(1e300);
        QVERIFY(edit.text().startsWith(u"$1,000,000,000,000,00"_s));
        QVERIFY(edit.text().endsWith(u".00"_s));
        QCOMPARE(edit.GetFValue(), 1e300);
        QCOMPARE(edit.GetSQL(), u"1E300"_s);
    }

    void otherLocale()
    {
        dvt::TFormatSettings &settings = dvt::FormatSettings();
        settings.CurrencyString = u"€"_s;
        settings.CurrencyFormat = 3; // "1 €"
        settings.NegCurrFormat = 8;  // "-1 €"
        settings.ThousandSeparator = u'.';
        settings.DecimalSeparator = u',';

        ValueForm f;
        QVERIFY(f.showEmpty());
        f.form.type(u"-1.234,5"_s);
        f.form.key(Qt::Key_Tab);
        QCOMPARE(f.edit->text(), u"-1.234,50 €"_s);
        QCOMPARE(f.edit->GetFValue(), -1234.5);
        QCOMPARE(f.edit->GetSQL(), u"-1234,5"_s);
        QVERIFY(f.edit->Valid());
    }
};

QTEST_MAIN(tst_dvValue)
#include "tst_dvValue.moc"
