#pragma once

// What the record tests and the demo's test share: an independent reader of the
// database (isql-fb), the messages shown, and controls' states as short texts.

#include <QAbstractButton>
#include <QComboBox>
#include <QListWidget>
#include <QProcess>
#include <QTest>

#include "dvtMessageDlg.h"

namespace dvt::test {

using namespace Qt::StringLiterals;

// The values of the first row of a SELECT, joined by "|", as isql-fb, a separate
// client process, shows them ("<null>" for NULL); empty when there is no row.
// Texts keep their blanks and line breaks. isql-fb's errors follow the values.
inline QString IsqlValues(const QString &database, const QString &select)
{
    QProcess isql;
    isql.start(u"isql-fb"_s, {u"-q"_s, u"-ch"_s, u"UTF8"_s, database});
    isql.write((u"set list on;\n"_s + select + u";\n"_s).toUtf8());
    isql.closeWriteChannel();
    if (!isql.waitForFinished(60000))
        return isql.errorString();
    // "set list on" writes each column as its name, padded to 32 characters,
    // and its value; a value may go on over more lines; a blank line ends the row.
    QStringList values;
    for (const QString &line : QString::fromUtf8(isql.readAllStandardOutput()).split(u'\n')) {
        const QString name = line.left(32).trimmed();
        if (line.isEmpty() && !values.isEmpty())
            break;
        if (line.size() > 32 && line.at(31) == u' ' && !name.isEmpty() && !name.contains(u' '))
            values << line.mid(32);
        else if (!values.isEmpty())
            values.last() += u'\n' + line;
    }
    return values.join(u'|') + QString::fromUtf8(isql.readAllStandardError()).trimmed();
}

// Collects the messages instead of showing them: an error dialog as its text,
// any other kind marked as such.
struct MessageLog
{
    QStringList texts;
    dvt::ScopedMessageHandler handler{[this](const dvt::TMessageRequest &request) {
        texts << (request.Type == dvt::TMsgDlgType::mtError ? QString() : u"not an error: "_s)
                     + request.Message;
        return dvt::mrOk;
    }};
};

// The property that holds the text of a text control; none for other controls.
inline const char *TextProperty(const QObject *control)
{
    const auto has = [control](const char *name) {
        return control && control->metaObject()->indexOfProperty(name) >= 0;
    };
    return has("plainText") ? "plainText" : has("text") ? "text" : nullptr;
}

// A control's state as a short text: "checked" or "unchecked" for check boxes
// and radio buttons, "index:text" for combo boxes, the checked items of a list,
// the text of text controls and "-" for anything else.
inline QString State(const QObject *control)
{
    if (auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->isChecked() ? u"checked"_s : u"unchecked"_s;
    if (auto *combo = qobject_cast<const QComboBox *>(control))
        return QString::number(combo->currentIndex()) + u':' + combo->currentText();
    if (auto *list = qobject_cast<const QListWidget *>(control)) {
        QStringList checked;
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->checkState() == Qt::Checked)
                checked << list->item(row)->text();
        }
        return checked.join(u',');
    }
    const char *text = TextProperty(control);
    return text ? control->property(text).toString() : u"-"_s;
}

} // namespace dvt::test
