#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include <memory>

#include "dvEdit.h"
#include "dvtFolders.h"
#include "dvtIniFile.h"
#include "dvtTestForm.h"

using namespace Qt::StringLiterals;

namespace {

// A form with two edits, first and second, in tab order, and the control panel.
template<class Window>
struct TwoEdits
{
    TestForm<Window> form;
    TdvEdit *first = form.template add<TdvEdit>(u"First"_s);
    TdvEdit *second = form.template add<TdvEdit>(u"Second"_s);
    TdvControlPanel *panel = nullptr;

    bool show()
    {
        form.resize(300, form.sizeHint().height());
        if (!form.showForm())
            return false;
        panel = form.addPanel();
        first->setFocus();
        return first->hasFocus();
    }
};

QColor shownBackground(TdvEdit *edit)
{
    const QImage image = edit->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

QColor colorOf(dvt::TColor color, const QWidget *control)
{
    return color.toQColor(QApplication::palette(control));
}

const QString keptSection = u"ComponentsValues"_s;

} // namespace

class tst_dvEdit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QFile::remove(dvt::UserFolder() + dvt::KeptValuesFileName());
    }

    // A moving Enter reaches the application's key handler as the null key.
    void enterAndEsc_data() { ContractKeyCase::addRows(); }
    void enterAndEsc()
    {
        const auto keyCase = ContractKeyCase::fetch();
        TwoEdits<QWidget> f;
        f.first->SetEnterAsTab(keyCase.ownEnterAsTab());
        f.first->SetCloseOnEsc(keyCase.ownCloseOnEsc());
        QList<quint16> seen;
        f.first->OnKeyDown = [&](QObject *, quint16 &key, dvt::TShiftState) { seen << key; };
        QVERIFY(f.form.showForm());
        keyCase.press(f.form, f.first);
        keyCase.verify(f.form, f.first, f.second);
        if (keyCase.key == Qt::Key_Return)
            QCOMPARE(seen, QList<quint16>{keyCase.moves() ? quint16(0) : dvt::vk::Return});
    }

    void enterWithFlagsOffPressesTheDialogsDefaultButton()
    {
        TwoEdits<QDialog> f;
        auto *ok = new QPushButton(u"OK"_s, &f.form);
        f.form.layout()->addWidget(ok);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, &f.form, &QDialog::accept);
        QVERIFY(f.show());
        f.form.key(Qt::Key_Return);
        QCOMPARE(f.form.result(), int(QDialog::Accepted));
        QVERIFY(!f.form.isVisible());
    }

    void highlight_data()
    {
        QTest::addColumn<dvt::TColor>("initial");
        QTest::addColumn<dvt::TColor>("own");
        QTest::addColumn<dvt::TColor>("panel");
        QTest::addColumn<dvt::TColor>("focused");
        using namespace dvt;
        QTest::newRow("own colour") << clWindow << clAqua << clWindow << clAqua;
        QTest::newRow("panel wins") << clWindow << clAqua << clYellow << clYellow;
        QTest::newRow("panel colour, coloured control")
            << clLime << clWindow << clYellow << clYellow;
    }
    void highlight()
    {
        QFETCH(dvt::TColor, initial);
        QFETCH(dvt::TColor, own);
        QFETCH(dvt::TColor, panel);
        QFETCH(dvt::TColor, focused);

        TwoEdits<QWidget> f;
        QVERIFY(f.show());
        f.panel->SetHighlight(panel);
        f.second->SetHighlight(own);
        dvt::SetColor(f.second, initial);
        QCOMPARE(shownBackground(f.second), colorOf(initial, f.second));

        f.form.key(Qt::Key_Tab);
        QVERIFY(f.second->hasFocus());
        QCOMPARE(dvt::Color(f.second), focused);
        QCOMPARE(shownBackground(f.second), colorOf(focused, f.second));

        f.form.key(Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(f.first->hasFocus());
        QCOMPARE(dvt::Color(f.second), initial);
        QCOMPARE(shownBackground(f.second), colorOf(initial, f.second));
    }

    void alignmentIsDrawn_data()
    {
        QTest::addColumn<dvt::TAlignment>("alignment");
        QTest::newRow("right") << dvt::taRightJustify;
        QTest::newRow("centre") << dvt::taCenter;
    }
    void alignmentIsDrawn()
    {
        QFETCH(dvt::TAlignment, alignment);

        TwoEdits<QWidget> f;
        f.second->SetAlignment(alignment);
        QVERIFY(f.show());
        f.second->setText(u"8888"_s);
        const int width = f.second->width();
        // The inset is the text margin less one, plus the frame and the glyphs' own
        // side bearing.
        const int inset = f.second->CalcTextMargin() - 1;

        const auto checkIdle = [&] {
            const auto [first, last] = InkColumns(f.second);
            QVERIFY(first > 0);
            if (alignment == dvt::taRightJustify) {
                const int right = width - 1 - inset - 2;
                QVERIFY2(last <= right && last >= right - 4, qPrintable(u"%1"_s.arg(last)));
            } else {
                QVERIFY2(qAbs((first + last) / 2 - width / 2) <= 2,
                         qPrintable(u"%1..%2"_s.arg(first).arg(last)));
            }
        };
        checkIdle();

        f.form.key(Qt::Key_Tab);
        QVERIFY(f.second->hasFocus());
        QCOMPARE(f.second->Alignment(), dvt::taLeftJustify);
        f.form.key(Qt::Key_End); // Tab selected the text: draw it unselected
        const auto [first, last] = InkColumns(f.second);
        QVERIFY2(first <= 8 && last < width / 2, qPrintable(u"%1..%2"_s.arg(first).arg(last)));

        f.form.key(Qt::Key_Tab);
        QVERIFY(!f.second->hasFocus());
        QCOMPARE(f.second->Alignment(), alignment);
        checkIdle();
    }

    void alignmentSetWhileActiveHasNoLastingEffect()
    {
        TwoEdits<QWidget> f;
        f.first->SetAlignment(dvt::taCenter);
        QVERIFY(f.show());
        QCOMPARE(f.first->Alignment(), dvt::taLeftJustify);
        f.first->SetAlignment(dvt::taRightJustify);
        QCOMPARE(f.first->Alignment(), dvt::taLeftJustify);
        f.form.key(Qt::Key_Tab);
        QCOMPARE(f.first->Alignment(), dvt::taCenter);
    }

    void anotherWindowDoesNotEndTheActiveControl()
    {
        TwoEdits<QWidget> f;
        f.first->SetAlignment(dvt::taRightJustify);
        f.first->SetHighlight(dvt::clAqua);
        QVERIFY(f.show());
        QCOMPARE(dvt::Color(f.first), dvt::clAqua);

        QWidget tool(nullptr, Qt::Tool);
        tool.show();
        tool.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&tool));
        QVERIFY(!f.first->hasFocus());
        QCOMPARE(dvt::Color(f.first), dvt::clWindow);       // focus lost: colour restored
        QCOMPARE(f.first->Alignment(), dvt::taLeftJustify); // still the active control

        f.form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.form));
        QVERIFY(f.first->hasFocus());
        QCOMPARE(dvt::Color(f.first), dvt::clAqua);
        QCOMPARE(f.first->Alignment(), dvt::taLeftJustify);

        // The form's active control changes while the form is inactive: the form
        // learns it when it is activated again.
        tool.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&tool));
        f.second->setFocus();
        QCOMPARE(f.first->Alignment(), dvt::taLeftJustify);
        f.form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.form));
        QVERIFY(f.second->hasFocus());
        QCOMPARE(f.first->Alignment(), dvt::taRightJustify);
    }

    void keptValueSurvivesTheForm()
    {
        {
            TestForm<QWidget> form;
            auto *name = form.add<TdvEdit>(u"CustomerName"_s);
            name->SetKeepValue(true);
            form.add<TdvEdit>(u"City"_s);
            QVERIFY(form.showForm());
            QVERIFY(name->hasFocus());
            form.type(u"Smith & Co"_s);
            form.key(Qt::Key_Tab);
            QVERIFY(!name->hasFocus());
        }
        const QString file =
            dvt::UserFolder() + QCoreApplication::applicationName().toLower() + u".values.ini"_s;
        QVERIFY2(QFile::exists(file), qPrintable(file));
        QCOMPARE(dvt::TIniFile(file).ReadString(keptSection, u"OrderForm/CustomerName"_s, {}),
                 u"Smith & Co"_s);

        TestForm<QWidget> again;
        auto *name = again.add<TdvEdit>(u"CustomerName"_s);
        name->SetKeepValue(true);
        name->setText(u"typed in the designer"_s);
        QVERIFY(again.showForm());
        QCOMPARE(name->text(), u"Smith & Co"_s);
    }

    void loadedEmptiesDesignText_data()
    {
        QTest::addColumn<bool>("designing");
        QTest::addColumn<bool>("keepValue");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("expected");
        QTest::newRow("run time") << false << false << u"kept"_s << QString();
        QTest::newRow("run time, kept value") << false << true << u"kept"_s << u"kept"_s;
        QTest::newRow("designer") << true << false << u"kept"_s << u"design"_s;
    }
    void loadedEmptiesDesignText()
    {
        QFETCH(bool, designing);
        QFETCH(bool, keepValue);
        QFETCH(QString, kept);
        QFETCH(QString, expected);

        dvt::TIniFile(dvt::KeptValuesFileName()).WriteString(keptSection, u"LoadForm/Edit"_s, kept);
        QWidget form;
        form.setObjectName(u"LoadForm"_s);
        auto *edit = new TdvEdit(&form);
        edit->setObjectName(u"Edit"_s);
        edit->SetKeepValue(keepValue);
        edit->setText(u"design"_s);
        dvt::SetDesigning(&form, designing);
        dvt::LoadForm(&form);
        QCOMPARE(edit->text(), expected);
    }

    void getSQL_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ownTrim");
        QTest::addColumn<bool>("panelTrim");
        QTest::addColumn<QString>("sql");
        QTest::newRow("plain") << u"Smith"_s << false << false << u"Smith"_s;
        QTest::newRow("quotes removed") << u"say \"hi\""_s << false << false << u"say hi"_s;
        QTest::newRow("panel trim") << u" \"x\" "_s << false << true << u"x"_s;
        QTest::newRow("control characters trimmed") << u"\t x\x01"_s << true << false << u"x"_s;
    }
    void getSQL()
    {
        QFETCH(QString, text);
        QFETCH(bool, ownTrim);
        QFETCH(bool, panelTrim);
        QFETCH(QString, sql);

        TwoEdits<QWidget> f;
        QVERIFY(f.show());
        f.panel->SetAutoTrimText(panelTrim);
        f.first->SetAutoTrimText(ownTrim);
        f.first->setText(text);
        QCOMPARE(f.first->GetSQL(), sql);
    }

    void valid_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("notNull");
        QTest::addColumn<int>("handler"); // 0 none, 1 accepts, -1 refuses
        QTest::addColumn<bool>("handlerSees");
        QTest::addColumn<bool>("valid");
        QTest::newRow("empty, NotNull") << QString() << true << 0 << false << false;
        QTest::newRow("control characters, NotNull") << u"\t\r\n"_s << true << 0 << false << false;
        QTest::newRow("handler accepts blanks") << u"   "_s << true << 1 << false << true;
        QTest::newRow("handler refuses text") << u"abc"_s << false << -1 << true << false;
    }
    void valid()
    {
        QFETCH(QString, text);
        QFETCH(bool, notNull);
        QFETCH(int, handler);
        QFETCH(bool, handlerSees);
        QFETCH(bool, valid);

        TdvEdit edit;
        edit.setText(text);
        edit.SetNotNull(notNull);
        QObject *sender = nullptr;
        QString seenText;
        bool seenVerdict = !handlerSees;
        if (handler != 0) {
            edit.OnValidation = [&](QObject *s, const QString &t, bool &v) {
                sender = s;
                seenText = t;
                seenVerdict = v;
                v = handler > 0;
            };
        }
        QCOMPARE(edit.Valid(), valid);
        if (handler != 0) {
            QCOMPARE(sender, &edit);
            QCOMPARE(seenText, text);
            QCOMPARE(seenVerdict, handlerSees);
        }
    }

    void highlightProperty()
    {
        TdvEdit edit;
        QCOMPARE(edit.Highlight(), dvt::clWindow);
        QVERIFY(!edit.property("Highlight").value<QColor>().isValid());
        edit.setProperty("Highlight", QColor(0, 255, 255));
        QCOMPARE(edit.Highlight(), dvt::clAqua);
        edit.setProperty("Highlight", QColor());
        QCOMPARE(edit.Highlight(), dvt::clWindow);
    }

    void pastedTextIsTakenWhole()
    {
        TwoEdits<QWidget> f;
        QVERIFY(f.show());
        const QString pasted = QString(10'000, u'x') + u"\"\x01\x02"_s;
        QGuiApplication::clipboard()->setText(pasted);
        f.form.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.first->text().size(), pasted.size());
        QCOMPARE(f.first->GetSQL(), QString(10'000, u'x') + u"\x01\x02"_s);
        f.first->SetAutoTrimText(true);
        QCOMPARE(f.first->GetSQL(), QString(10'000, u'x'));
    }
};

QTEST_MAIN(tst_dvEdit)
#include "tst_dvEdit.moc"
