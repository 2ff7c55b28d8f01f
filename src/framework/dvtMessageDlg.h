#pragma once

#include <QFlags>
#include <QString>

#include <functional>

// Modal message dialogs, routed through a replaceable handler: by default a
// QMessageBox; an application (or a test) can install its own handler to log,
// restyle or answer messages without a modal loop.
namespace dvt {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn {
    mbYes = 0x001,
    mbNo = 0x002,
    mbOK = 0x004,
    mbCancel = 0x008,
    mbAbort = 0x010,
    mbRetry = 0x020,
    mbIgnore = 0x040,
    mbAll = 0x080,
};
Q_DECLARE_FLAGS(TMsgDlgButtons, TMsgDlgBtn)
Q_DECLARE_OPERATORS_FOR_FLAGS(TMsgDlgButtons)

enum TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
};

struct TMessageRequest
{
    QString Message;
    TMsgDlgType Type = TMsgDlgType::mtInformation;
    TMsgDlgButtons Buttons = mbOK;
    TMsgDlgBtn DefaultButton = mbOK; // the button that Enter presses
};

using MessageHandler = std::function<TModalResult(const TMessageRequest &)>;

// Shows the message modally and answers the button that closed it (mrCancel when
// the dialog was closed without a button).
TModalResult MessageDlg(const QString &message, TMsgDlgType type, TMsgDlgButtons buttons,
                        TMsgDlgBtn defaultButton);

// The caption of a dialog type: "Warning", "Error", "Information", "Confirm".
QString MessageCaption(TMsgDlgType type);

// Installs a handler and answers the one it replaces; an empty handler restores
// the standard dialog.
MessageHandler SetMessageHandler(MessageHandler handler);

// Installs a handler for the lifetime of the object.
class ScopedMessageHandler
{
public:
    explicit ScopedMessageHandler(MessageHandler handler)
        : m_previous(SetMessageHandler(std::move(handler)))
    {}
    ~ScopedMessageHandler() { SetMessageHandler(std::move(m_previous)); }
    ScopedMessageHandler(const ScopedMessageHandler &) = delete;
    ScopedMessageHandler &operator=(const ScopedMessageHandler &) = delete;

private:
    MessageHandler m_previous;
};

} // namespace dvt
