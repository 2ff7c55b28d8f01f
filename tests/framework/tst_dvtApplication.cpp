#include <QCloseEvent>
#include <QDialog>
#include <QMessageBox>
#include <QTest>

#include "dvtApplication.h"

namespace {

// A form whose close event can refuse, like a form asking to save first.
class Form : public QWidget
{
public:
    bool allowClose = true;
    int closeRequests = 0;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        ++closeRequests;
        event->setAccepted(allowClose);
    }
};

} // namespace

class tst_dvtApplication : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { dvt::SetMainForm(nullptr); }

    void mainFormDefaultsToFirstShownWindow()
    {
        auto *first = new QWidget;
        QWidget second;
        QCOMPARE(dvt::MainForm(), nullptr);
        QMessageBox box; // message boxes never become the main form
        box.show();
        second.show();
        first->show();
        QCOMPARE(dvt::MainForm(), &second);
        second.hide();
        QCOMPARE(dvt::MainForm(), &second); // hidden is not gone
        dvt::SetMainForm(first);
        QCOMPARE(dvt::MainForm(), first);
        dvt::SetMainForm(nullptr);
        QCOMPARE(dvt::MainForm(), &second);
        delete first;
        QCOMPARE(dvt::MainForm(), &second);
    }

    void mainFormFallsBackWhenDestroyed()
    {
        auto *first = new QWidget;
        first->show();
        QDialog dialog;
        dialog.show();
        // Windows left from the previous test are gone by now, so these two lead.
        QCOMPARE(dvt::MainForm(), first);
        delete first;
        QCOMPARE(dvt::MainForm(), &dialog);
    }

    void explicitMainFormIsForgottenWhenDestroyed()
    {
        QWidget shown;
        shown.show();
        auto *chosen = new QWidget;
        dvt::SetMainForm(chosen);
        QCOMPARE(dvt::MainForm(), chosen);
        delete chosen;
        QCOMPARE(dvt::MainForm(), &shown);
    }

    void closeActiveFormRunsTheCloseEvent_data()
    {
        QTest::addColumn<bool>("allow");
        QTest::newRow("accepted") << true;
        QTest::newRow("refused") << false;
    }
    void closeActiveFormRunsTheCloseEvent()
    {
        QFETCH(bool, allow);
        Form form;
        form.allowClose = allow;
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(dvt::ActiveForm(), &form);
        QCOMPARE(dvt::CloseActiveForm(), allow);
        QCOMPARE(form.closeRequests, 1);
        QCOMPARE(form.isVisible(), !allow);
    }

    void closeActiveFormWithoutActiveForm()
    {
        QCOMPARE(dvt::ActiveForm(), nullptr);
        QVERIFY(!dvt::CloseActiveForm());
    }
};

QTEST_MAIN(tst_dvtApplication)
#include "tst_dvtApplication.moc"
