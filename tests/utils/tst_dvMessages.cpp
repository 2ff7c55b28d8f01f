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
    void confirmRequest_data();
    void confirmRequest();
    void confirmAnswer_data();
    void confirmAnswer();
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

void tst_dvMessages::confirmRequest_data()
{
    QTest::addColumn<bool>("yesIsDefault");
    QTest::addColumn<int>("defaultButton");
    QTest::newRow("Yes default") << true << int(dvt::mbYes);
    QTest::newRow("No default") << false << int(dvt::mbNo);
}

void tst_dvMessages::confirmRequest()
{
    QFETCH(bool, yesIsDefault);
    QFETCH(int, defaultButton);
    TMessageRequest seen;
    const dvt::ScopedMessageHandler handler([&](const TMessageRequest &request) {
        seen = request;
        return dvt::mrYes;
    });
    dvConfirmMsg(u"Are you sure?"_s, yesIsDefault);
    QCOMPARE(seen.Message, u"Are you sure?"_s);
    QCOMPARE(seen.Type, TMsgDlgType::mtConfirmation);
    QCOMPARE(seen.Buttons, dvt::mbYes | dvt::mbNo);
    QCOMPARE(int(seen.DefaultButton), defaultButton);
}

void tst_dvMessages::confirmAnswer_data()
{
    QTest::addColumn<TModalResult>("answer");
    QTest::addColumn<bool>("expected");
    QTest::newRow("Yes") << dvt::mrYes << true;
    QTest::newRow("No") << dvt::mrNo << false;
    QTest::newRow("closed") << dvt::mrCancel << false;
    QTest::newRow("nothing") << dvt::mrNone << false;
}

void tst_dvMessages::confirmAnswer()
{
    QFETCH(TModalResult, answer);
    QFETCH(bool, expected);
    const dvt::ScopedMessageHandler handler([&](const TMessageRequest &) { return answer; });
    QCOMPARE(dvConfirmMsg(u"Continue?"_s, true), expected);
    QCOMPARE(dvConfirmMsg(u"Continue?"_s, false), expected);
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
