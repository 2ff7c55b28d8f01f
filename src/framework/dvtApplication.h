#pragma once

class QWidget;

// The application-wide notions the controls rely on: the main form, the active
// form and the processing of pending events.
namespace dvt {

// The application's main form: the one set with SetMainForm(), or, until one is
// set, the first window shown by the application that still exists (message
// boxes, pop-ups and tool tips do not count). nullptr when there is none.
QWidget *MainForm();

// Makes the form the main form; nullptr returns to the default rule.
void SetMainForm(QWidget *form);

// The window that has the keyboard focus, or nullptr.
QWidget *ActiveForm();

// Closes the active form as its close button would: its close event runs first
// and may refuse. Answers whether a form was closed.
bool CloseActiveForm();

// Handles the events that are waiting, then returns.
void ProcessMessages();

} // namespace dvt
