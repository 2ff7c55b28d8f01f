#include <QLineEdit>
#include <QTest>

#include "dvtColor.h"
#include "dvtControl.h"

class tst_dvtControl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void plainColorsConvert_data()
    {
        QTest::addColumn<dvt::TColor>("color");
        QTest::addColumn<QColor>("qcolor");
        QTest::newRow("yellow") << dvt::clYellow << QColor(255, 255, 0);
        QTest::newRow("aqua") << dvt::clAqua << QColor(0, 255, 255);
        QTest::newRow("red") << dvt::clRed << QColor(255, 0, 0);
        QTest::newRow("navy") << dvt::clNavy << QColor(0, 0, 128);
        QTest::newRow("BGR order") << dvt::TColor(0x123456) << QColor(0x56, 0x34, 0x12);
    }
    void plainColorsConvert()
    {
        QFETCH(dvt::TColor, color);
        QFETCH(QColor, qcolor);
        QVERIFY(!color.isSystemColor());
        QCOMPARE(color.toQColor(), qcolor);
        QCOMPARE(dvt::TColor::fromQColor(qcolor), color);
        QCOMPARE(dvt::FromPropertyColor(dvt::ToPropertyColor(color)), color);
    }

    void systemColorsFollowThePalette()
    {
        QPalette palette;
        palette.setColor(QPalette::Base, QColor(1, 2, 3));
        palette.setColor(QPalette::Highlight, QColor(4, 5, 6));
        QCOMPARE(dvt::clWindow.value(), 0x80000005u);
        QVERIFY(dvt::clWindow.isSystemColor());
        QCOMPARE(dvt::clWindow.toQColor(palette), QColor(1, 2, 3));
        QCOMPARE(dvt::clHighlight.toQColor(palette), QColor(4, 5, 6));
        QVERIFY(!dvt::ToPropertyColor(dvt::clWindow).isValid());
        QCOMPARE(dvt::FromPropertyColor(QColor()), dvt::clWindow);
    }

    void backgroundColorIsSetAndRestored()
    {
        QLineEdit edit;
        const QColor standard = edit.palette().color(QPalette::Base);
        QCOMPARE(dvt::Color(&edit), dvt::clWindow);

        dvt::SetColor(&edit, dvt::clYellow);
        QCOMPARE(dvt::Color(&edit), dvt::clYellow);
        QCOMPARE(edit.palette().color(QPalette::Base), QColor(Qt::yellow));
        QCOMPARE(edit.palette().color(QPalette::Inactive, QPalette::Base), QColor(Qt::yellow));

        dvt::SetColor(&edit, dvt::clWindow);
        QCOMPARE(dvt::Color(&edit), dvt::clWindow);
        QCOMPARE(edit.palette().color(QPalette::Base), standard);
    }

    void explicitPaletteCountsAsColor()
    {
        QLineEdit edit;
        QPalette palette = edit.palette();
        palette.setColor(QPalette::Base, Qt::red);
        edit.setPalette(palette);
        QCOMPARE(dvt::Color(&edit), dvt::clRed);
    }

    void boldIsSetAndCleared()
    {
        QLineEdit edit;
        QFont font = edit.font();
        font.setItalic(true);
        edit.setFont(font);
        dvt::SetBold(&edit, true);
        QVERIFY(dvt::IsBold(&edit));
        QVERIFY(edit.font().italic());
        dvt::SetBold(&edit, false);
        QVERIFY(!dvt::IsBold(&edit));
        QVERIFY(edit.font().italic());
    }
};

QTEST_MAIN(tst_dvtControl)
#include "tst_dvtControl.moc"
