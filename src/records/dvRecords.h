#pragma once

#include <QList>
#include <QObject>
#include <QString>

// Storing, loading and clearing a whole form with one call each.
//
// The convention: a control's objectName is the name of the column it edits,
// used unchanged (no quoting, no case change). The routines build the statement
// text themselves, in the literal forms of dvSQL.h, and run it with a TdvQuery
// on the control panel's connection ("dvTools"). They start and commit no
// transaction: each statement runs under the connection's commit mode, so a
// record is stored whole or not at all. A statement the database refuses is
// reported in an error dialog (dvErrorMsg) with the routine's sentence followed,
// when the database gave a message, by two carriage returns and that message;
// the routine then answers false. Nothing raises.
//
// A control's value is chosen by its class, the first of these that it is an
// instance of:
//
//   QComboBox       when the column is CHAR or VARCHAR (the rdb$ catalogue is
//                   asked), its current text in double quotes, unchanged;
//                   otherwise its current index, bare (-1: nothing chosen)
//   TdvDate         its GetSQL(): "mm/dd/yyyy" in double quotes, or null
//   TdvTime         its GetSQL() in double quotes ("" for an unreadable time)
//   TdvValue        its GetSQL(), bare
//   QLineEdit       its text without double quotes, in double quotes, not trimmed
//                   (so TdvEdit's AutoTrimText does not apply)
//   QLabel          its text, as QLineEdit
//   QPlainTextEdit  its whole text, line breaks included, as QLineEdit
//   QCheckBox       "Y" when checked, "N" when not
//
// Any other control (a radio button, a check list box, ...) has no value, which
// would leave the statement malformed; the routine then sends nothing, names the
// control in its error dialog and answers false. The application stores such
// controls itself.
//
// The trailing Boolean of the store and load routines changes nothing: both
// values behave alike.

// Sends "insert into TABLE (A,B) values (a,b)", one column and one value per
// control in array order. True when the statement ran.
bool dvInsertRecord(const QString &table, const QList<QObject *> &controls, bool = true);

// Sends "update TABLE set  A=a, B=b where CONDITION", the condition unchanged
// (without the word where; dvSQL.h forms its values). True when the statement ran.
bool dvUpdateRecord(const QString &table, const QString &where, const QList<QObject *> &controls,
                    bool = true);

// Sends "delete from TABLE where CONDITION". True when the statement ran.
bool dvDeleteRecord(const QString &table, const QString &where, bool = true);

// Runs the SELECT and hands each column of its first row to the component of the
// owner (dvt::FindComponent: the same name, letter case ignored); columns without
// a component are skipped. A column's value becomes text by its type: text
// trimmed (a memo's kept as it is), integers in decimal, numbers in the form of
// dvSQLFloat, Booleans Y or N, dates in the short date format, times in the short
// time format; NULL and any other type give an empty text. The component takes
// the text by its class, the first of these that it is an instance of:
//
//   TdvDate         SetDate(text); a text it refuses empties it
//   TdvTime         SetTime(text); a text it refuses empties it
//   TdvValue        SetValue(dvStrToFloat(text))
//   QLineEdit       the text
//   QLabel          the text
//   QPlainTextEdit  the text
//   QCheckBox       checked when the text, upper-cased, contains a Y
//   QComboBox       a TdvComboBox is reloaded (Reload) and shows the first item
//                   that equals the text, trimmed and ignoring letter case, or
//                   else the item at the index the text gives (none when it is
//                   out of range); any other combo box is left as it is
//
// A failure while converting or handing over one value is ignored. True when the
// SELECT returned a row; a failing or empty SELECT shows "It was not possible to
// load the record!" (with the database's message when there is one), changes no
// control and answers false.
bool dvLoadRecord(QObject *owner, const QString &select, bool = true);

// Empties the controls for the next entry, each by the first of these classes
// that it is an instance of:
//
//   QComboBox       the first item is chosen; a TdvComboBox is then reloaded
//   QLabel          empty text
//   QPlainTextEdit  empty text
//   TdvDate         empty text
//   TdvValue        SetFValue(0)
//   TdvTime         empty text
//   QCheckBox       unchecked
//   QLineEdit       empty text
//
// Other controls are left as they are. Reports nothing.
void dvClearRecord(const QList<QObject *> &controls);
