#include "dvMessages.h"

#include "dvtMessageDlg.h"

namespace {

void notify(const QString &message, dvt::TMsgDlgType type)
{
    dvt::MessageDlg(message, type, dvt::mbOK, dvt::mbOK);
}

} // namespace

void dvErrorMsg(const QString &message)
{
    notify(message, dvt::TMsgDlgType::mtError);
}

void dvInfoMsg(const QString &message)
{
    notify(message, dvt::TMsgDlgType::mtInformation);
}

void dvWarningMsg(const QString &message)
{
    notify(message, dvt::TMsgDlgType::mtWarning);
}

bool dvConfirmMsg(const QString &message, bool yesIsDefault)
{
    return dvt::MessageDlg(message, dvt::TMsgDlgType::mtConfirmation, dvt::mbYes | dvt::mbNo,
                           yesIsDefault ? dvt::mbYes : dvt::mbNo)
           == dvt::mrYes;
}
