#include "dvtMessageDlg.h"

#include <QMessageBox>
#include <QPushButton>

#include <array>

#include "dvtApplication.h"

namespace dvt {

namespace {

struct ButtonMap
{
    TMsgDlgBtn button;
    QMessageBox::StandardButton standard;
    TModalResult result;
};

constexpr std::array buttonMaps{
    ButtonMap{mbYes, QMessageBox::Yes, mrYes},
    ButtonMap{mbNo, QMessageBox::No, mrNo},
    ButtonMap{mbOK, QMessageBox::Ok, mrOk},
    ButtonMap{mbCancel, QMessageBox::Cancel, mrCancel},
    ButtonMap{mbAbort, QMessageBox::Abort, mrAbort},
    ButtonMap{mbRetry, QMessageBox::Retry, mrRetry},
    ButtonMap{mbIgnore, QMessageBox::Ignore, mrIgnore},
    ButtonMap{mbAll, QMessageBox::YesToAll, mrAll},
};

QMessageBox::Icon icon(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning:
        return QMessageBox::Warning;
    case TMsgDlgType::mtError:
        return QMessageBox::Critical;
    case TMsgDlgType::mtInformation:
        return QMessageBox::Information;
    case TMsgDlgType::mtConfirmation:
        return QMessageBox::Question;
    case TMsgDlgType::mtCustom:
        break;
    }
    return QMessageBox::NoIcon;
}

TModalResult showMessageBox(const TMessageRequest &request)
{
    QMessageBox box(icon(request.Type), MessageCaption(request.Type), request.Message,
                    QMessageBox::NoButton, ActiveForm());
    for (const ButtonMap &map : buttonMaps) {
        if (request.Buttons.testFlag(map.button)) {
            QPushButton *button = box.addButton(map.standard);
            if (map.button == request.DefaultButton)
                box.setDefaultButton(button);
        }
    }
    box.exec();
    const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    for (const ButtonMap &map : buttonMaps) {
        if (map.standard == clicked)
            return map.result;
    }
    return mrCancel;
}

MessageHandler &currentHandler()
{
    static MessageHandler handler;
    return handler;
}

} // namespace

TModalResult MessageDlg(const QString &message, TMsgDlgType type, TMsgDlgButtons buttons,
                        TMsgDlgBtn defaultButton)
{
    const TMessageRequest request{message, type, buttons, defaultButton};
    const MessageHandler &handler = currentHandler();
    return handler ? handler(request) : showMessageBox(request);
}

QString MessageCaption(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning:
        return QStringLiteral("Warning");
    case TMsgDlgType::mtError:
        return QStringLiteral("Error");
    case TMsgDlgType::mtInformation:
        return QStringLiteral("Information");
    case TMsgDlgType::mtConfirmation:
        return QStringLiteral("Confirm");
    case TMsgDlgType::mtCustom:
        break;
    }
    return QStringLiteral("dvTools");
}

MessageHandler SetMessageHandler(MessageHandler handler)
{
    return std::exchange(currentHandler(), std::move(handler));
}

} // namespace dvt
