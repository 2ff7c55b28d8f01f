#pragma once

#include <QString>

// The four standard message boxes: modal, with the icon and caption of their
// kind. They go through dvt::MessageDlg, so an application (or a test) that
// installs a message handler receives them instead of a dialog.

// An error with an OK button.
void dvErrorMsg(const QString &message);

// A piece of information with an OK button.
void dvInfoMsg(const QString &message);

// A warning with an OK button.
void dvWarningMsg(const QString &message);

// A question with Yes and No buttons; true when the user answered Yes. Enter
// answers Yes when yesIsDefault, otherwise No. Closing the box without an answer
// counts as No. The application's events keep running while the box is open.
bool dvConfirmMsg(const QString &message, bool yesIsDefault);
