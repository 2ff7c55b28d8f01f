#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "dvtMessageDlg.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(dvt::TMsgDlgType)

class tst_dvtMessageDlg : public QObject
{
    Q_OBJECT

    // Presses a key in the message box that is about to open.
    static void pressInNextMessageBox(Qt::Key key, QString *caption = nullptr)
    {
        QTimer::singleShot(0, qApp, [key, caption] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            if (caption)
                *caption = box->windowTitle();
            QTest::keyClick(box, key);
        });
    }

private Q_SLOTS:
    void handlerReceivesTheRequest()
    {
        dvt::TMessageRequest seen;
        dvt::ScopedMessageHandler handler([&](const dvt::TMessageRequest &request) {
            seen = request;
            return dvt::mrNo;
        });
        QCOMPARE(dvt::MessageDlg(u"Sure?"_s, dvt::TMsgDlgType::mtConfirmation,
                                 dvt::mbYes | dvt::mbNo, dvt::mbNo),
                 dvt::mrNo);
        QCOMPARE(seen.Message, u"Sure?"_s);
        QCOMPARE(seen.Type, dvt::TMsgDlgType::mtConfirmation);
        QCOMPARE(seen.Buttons, dvt::mbYes | dvt::mbNo);
        QCOMPARE(seen.DefaultButton, dvt::mbNo);
    }

    void scopedHandlersNest()
    {
        QStringList log;
        dvt::ScopedMessageHandler outer([&](const dvt::TMessageRequest &r) {
            log << u"outer:"_s + r.Message;
            return dvt::mrOk;
        });
        {
            dvt::ScopedMessageHandler inner([&](const dvt::TMessageRequest &r) {
                log << u"inner:"_s + r.Message;
                return dvt::mrOk;
            });
            dvt::MessageDlg(u"1"_s, dvt::TMsgDlgType::mtError, dvt::mbOK, dvt::mbOK);
        }
        dvt::MessageDlg(u"2"_s, dvt::TMsgDlgType::mtError, dvt::mbOK, dvt::mbOK);
        QCOMPARE(log, QStringList({u"inner:1"_s, u"outer:2"_s}));
    }

    void enterAnswersTheDefaultButton_data()
    {
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<int>("expected");
        QTest::newRow("Yes") << int(dvt::mbYes) << int(dvt::mrYes);
        QTest::newRow("No") << int(dvt::mbNo) << int(dvt::mrNo);
    }
    void enterAnswersTheDefaultButton()
    {
        QFETCH(int, defaultButton);
        QFETCH(int, expected);
        pressInNextMessageBox(Qt::Key_Return);
        QCOMPARE(int(dvt::MessageDlg(u"Sure?"_s, dvt::TMsgDlgType::mtConfirmation,
                                     dvt::mbYes | dvt::mbNo, dvt::TMsgDlgBtn(defaultButton))),
                 expected);
    }

    void standardDialogShowsTheTypeCaption_data()
    {
        QTest::addColumn<dvt::TMsgDlgType>("type");
        QTest::addColumn<QString>("caption");
        QTest::newRow("warning") << dvt::TMsgDlgType::mtWarning << u"Warning"_s;
        QTest::newRow("error") << dvt::TMsgDlgType::mtError << u"Error"_s;
        QTest::newRow("information") << dvt::TMsgDlgType::mtInformation << u"Information"_s;
        QTest::newRow("confirmation") << dvt::TMsgDlgType::mtConfirmation << u"Confirm"_s;
    }
    void standardDialogShowsTheTypeCaption()
    {
        QFETCH(dvt::TMsgDlgType, type);
        QFETCH(QString, caption);
        QString shown;
        pressInNextMessageBox(Qt::Key_Return, &shown);
        QCOMPARE(dvt::MessageDlg(u"Text"_s, type, dvt::mbOK, dvt::mbOK), dvt::mrOk);
        QCOMPARE(shown, caption);
    }
};

QTEST_MAIN(tst_dvtMessageDlg)
#include "tst_dvtMessageDlg.moc"
