#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include "dvMessages.h"
#include "dvtMessageDlg.h"

using namespace Qt::StringLiterals;
using dvt::TMessageRequest;
using dvt::TModalResult;
using dvt::TMsgDlgType;

Q_DECLARE_METATYPE(dvt::TMsgDlgType)
Q_DECLARE_METATYPE(dvt::TModalResult)

class tst_dvMessages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void notices_data();
    void notices();
    void confirm_data();
    void confirm();
    void confirmDialogEnter_data();
    void confirmDialogEnter();

private:
    // Runs show while a real dialog is open, presses key in it and answers
    // what show answered.
    static bool withKeyInDialog(Qt::Key key, const std::function<bool()> &show);
};

void tst_dvMessages::notices_data()
{
    QTest::addColumn<int>("routine");
    QTest::addColumn<TMsgDlgType>("type");
    QTest::newRow("error") << 0 << TMsgDlgType::mtError;
    QTest::newRow("information") << 1 << TMsgDlgType::mtInformation;
    QTest::newRow("warning") << 2 << TMsgDlgType::mtWarning;
}

void tst_dvMessages::notices()
{
    QFETCH(int, routine);
    QFETCH(TMsgDlgType, type);
    QList<TMessageRequest> requests;
    const dvt::ScopedMessageHandler handler([&](const TMessageRequest &request) {
        requests.append(request);
        return dvt::mrOk;
    });
    const QString message = u"It was not possible to insert the record!\r\rdetail"_s;
    using Notice = void (*)(const QString &);
    const Notice notices[] = {dvErrorMsg, dvInfoMsg, dvWarningMsg};
    notices[routine](message);
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].Message, message);
    QCOMPARE(requests[0].Type, type);
    QCOMPARE(requests[0].Buttons, dvt::TMsgDlgButtons(dvt::mbOK));
    QCOMPARE(requests[0].DefaultButton, dvt::mbOK);
}

void tst_dvMessages::confirm_data()
{
    QTest::addColumn<bool>("yesIsDefault");
    QTest::addColumn<TModalResult>("answer");
    QTest::addColumn<bool>("expected");
    QTest::newRow("Yes, Yes default") << true << dvt::mrYes << true;
    QTest::newRow("Yes, No default") << false << dvt::mrYes << true;
    QTest::newRow("No") << true << dvt::mrNo << false;
    QTest::newRow("closed") << false << dvt::mrCancel << false;
}

void tst_dvMessages::confirm()
{
    QFETCH(bool, yesIsDefault);
    QFETCH(TModalResult, answer);
    QFETCH(bool, expected);
    TMessageRequest seen;
    const dvt::ScopedMessageHandler handler([&](const TMessageRequest &request) {
        seen = request;
        return answer;
    });
    QCOMPARE(dvConfirmMsg(u"Are you sure?"_s, yesIsDefault), expected);
    QCOMPARE(seen.Message, u"Are you sure?"_s);
    QCOMPARE(seen.Type, TMsgDlgType::mtConfirmation);
    QCOMPARE(seen.Buttons, dvt::mbYes | dvt::mbNo);
    QCOMPARE(seen.DefaultButton, yesIsDefault ? dvt::mbYes : dvt::mbNo);
}

bool tst_dvMessages::withKeyInDialog(Qt::Key key, const std::function<bool()> &show)
{
    bool pressed = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || pressed)
            return;
        pressed = true;
        QTest::keyClick(box, key);
    });
    poll.start();
    return show();
}

void tst_dvMessages::confirmDialogEnter_data()
{
    QTest::addColumn<bool>("yesIsDefault");
    QTest::newRow("Enter answers Yes") << true;
    QTest::newRow("Enter answers No") << false;
}

void tst_dvMessages::confirmDialogEnter()
{
    QFETCH(bool, yesIsDefault);
    // The real dialog: Enter presses the default button.
    const bool answer = withKeyInDialog(
        Qt::Key_Return, [&] { return dvConfirmMsg(u"Are you sure?"_s, yesIsDefault); });
    QCOMPARE(answer, yesIsDefault);
    // Escape answers No, whichever button is the default.
    QVERIFY(!withKeyInDialog(Qt::Key_Escape, [] { return dvConfirmMsg(u"Sure?"_s, true); }));
}

QTEST_MAIN(tst_dvMessages)
#include "tst_dvMessages.moc"
