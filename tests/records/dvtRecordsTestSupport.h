#pragma once

// What the record tests share: a fresh database on the control panel's
// connection, an independent reader (isql-fb), and controls of every class the
// record routines know, made and inspected through short texts so that test
// tables can name them.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <memory>

#include "dvCheckBox.h"
#include "dvCheckListBox.h"
#include "dvComboBox.h"
#include "dvControlPanel.h"
#include "dvDate.h"
#include "dvEdit.h"
#include "dvMemo.h"
#include "dvQuery.h"
#include "dvRadioButton.h"
#include "dvTime.h"
#include "dvValue.h"
#include "dvtApplication.h"
#include "dvtMessageDlg.h"

namespace dvt::test {

using namespace Qt::StringLiterals;

// The columns of the first row of a SELECT as isql-fb, a separate client
// process, shows them ("<null>" for NULL); empty when there is no row. Text
// columns keep their blanks; a value may span lines.
inline QMap<QString, QString> IsqlRow(const QString &database, const QString &select)
{
    QProcess isql;
    isql.start(QStandardPaths::findExecutable(u"isql-fb"_s),
               {u"-q"_s, u"-ch"_s, u"UTF8"_s, database});
    isql.write((u"set list on;\n"_s + select + u";\n"_s).toUtf8());
    isql.closeWriteChannel();
    if (!isql.waitForFinished(60000))
        return {{u"isql-fb"_s, u"did not finish"_s}};
    // "set list on" writes each column as its name, padded to 32 characters,
    // and its value; a row ends with a blank line.
    QMap<QString, QString> row;
    QString last;
    const QStringList lines = QString::fromUtf8(isql.readAllStandardOutput()).split(u'\n');
    for (const QString &line : lines) {
        if (line.isEmpty() && !row.isEmpty())
            break;
        const QString name = line.left(32).trimmed();
        if (line.size() > 32 && !name.isEmpty() && !name.contains(u' ') && line.at(31) == u' '
            && !row.contains(name)) {
            last = name;
            row.insert(name, line.mid(32));
        } else if (!last.isEmpty()) {
            row[last] += u'\n' + line;
        }
    }
    const QString errors = QString::fromUtf8(isql.readAllStandardError()).trimmed();
    if (!errors.isEmpty()) {
        qWarning("isql-fb: %s", qPrintable(errors));
        row.insert(u"isql-fb"_s, errors);
    }
    return row;
}

// An empty database in a temporary folder, reached by the control panel of a
// main form, as an application reaches its own.
class RecordsDatabase
{
public:
    RecordsDatabase() : m_panel(new TdvControlPanel(&m_mainForm))
    {
        m_mainForm.setObjectName(u"MainForm"_s);
        dvt::SetMainForm(&m_mainForm);
        m_panel->SetConnectionString(m_folder.filePath(u"records.fdb"_s));
    }
    ~RecordsDatabase() { dvt::SetMainForm(nullptr); }

    bool open() { return m_folder.isValid() && m_panel->Open(); }
    TdvControlPanel *panel() const { return m_panel; }
    QString path() const { return m_panel->ConnectionString(); }

    // Runs statements through the library's own query; the first failure's message
    // is the answer (empty when all ran).
    static QString execute(const QStringList &statements)
    {
        TdvQuery query;
        for (const QString &statement : statements) {
            if (!query.Execute(statement))
                return statement + u": "_s + query.Error();
        }
        return {};
    }

    QMap<QString, QString> isqlRow(const QString &select) const { return IsqlRow(path(), select); }

    int isqlCount(const QString &table, const QString &where = u"1=1"_s) const
    {
        return isqlRow(u"select count(*) as N from "_s + table + u" where "_s + where)
            .value(u"N"_s, u"-1"_s)
            .toInt();
    }

private:
    QTemporaryDir m_folder;
    QWidget m_mainForm;
    TdvControlPanel *m_panel;
};

// Collects the messages the routines show instead of showing them.
class MessageLog
{
public:
    MessageLog()
        : m_handler([this](const dvt::TMessageRequest &request) {
            m_messages << request;
            return dvt::mrOk;
        })
    {}
    const QList<dvt::TMessageRequest> &messages() const { return m_messages; }
    // The texts of the error dialogs shown so far.
    QStringList errors() const
    {
        QStringList texts;
        for (const auto &message : m_messages) {
            if (message.Type == dvt::TMsgDlgType::mtError)
                texts << message.Message;
        }
        return texts;
    }

private:
    QList<dvt::TMessageRequest> m_messages;
    dvt::ScopedMessageHandler m_handler;
};

// The items of every combo box made by MakeControl.
inline const QStringList comboItems = {u"Cash"_s, u"Card"_s, u"Invoice"_s};

// A control of the named class ("TdvEdit", "QLineEdit", "QLabel", ... as the
// class names read, or "QWidget" for a control of no known class), a child of
// the form, named after the column. Combo boxes hold comboItems.
inline QWidget *MakeControl(const QString &className, const QString &name, QWidget *form)
{
    QWidget *control = nullptr;
    if (className == u"TdvEdit")
        control = new TdvEdit(form);
    else if (className == u"TdvValue")
        control = new TdvValue(form);
    else if (className == u"TdvDate")
        control = new TdvDate(form);
    else if (className == u"TdvTime")
        control = new TdvTime(form);
    else if (className == u"QLineEdit")
        control = new QLineEdit(form);
    else if (className == u"QLabel")
        control = new QLabel(form);
    else if (className == u"TdvMemo")
        control = new TdvMemo(form);
    else if (className == u"QPlainTextEdit")
        control = new QPlainTextEdit(form);
    else if (className == u"TdvCheckBox")
        control = new TdvCheckBox(form);
    else if (className == u"QCheckBox")
        control = new QCheckBox(form);
    else if (className == u"TdvRadioButton")
        control = new TdvRadioButton(form);
    else if (className == u"QRadioButton")
        control = new QRadioButton(form);
    else if (className == u"TdvComboBox")
        control = new TdvComboBox(form);
    else if (className == u"QComboBox")
        control = new QComboBox(form);
    else if (className == u"TdvCheckListBox")
        control = new TdvCheckListBox(form);
    else if (className == u"QWidget")
        control = new QWidget(form);
    if (!control)
        qFatal("MakeControl: unknown class %s", qPrintable(className));
    if (auto *combo = qobject_cast<QComboBox *>(control))
        combo->addItems(comboItems);
    control->setObjectName(name);
    return control;
}

// A control's state as a short text: the text of text controls, "checked" or
// "unchecked" for check boxes and radio buttons, "index:text" for combo boxes,
// the checked items for a check list box, and "-" for anything else.
inline QString State(const QObject *control)
{
    if (auto *edit = qobject_cast<const QLineEdit *>(control))
        return edit->text();
    if (auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    if (auto *memo = qobject_cast<const QPlainTextEdit *>(control))
        return memo->toPlainText();
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
    return u"-"_s;
}

// Sets the state State() reads: a text, "checked" or "unchecked", a combo box's
// index (or "index:text", which also gives that item the text), or a check list
// box's comma-separated items, all of them checked.
inline void SetState(QObject *control, const QString &state)
{
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        edit->setText(state);
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(state);
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(control))
        memo->setPlainText(state);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setChecked(state == u"checked");
    else if (auto *combo = qobject_cast<QComboBox *>(control)) {
        const int index = state.section(u':', 0, 0).toInt();
        if (state.contains(u':'))
            combo->setItemText(index, state.section(u':', 1));
        combo->setCurrentIndex(index);
    } else if (auto *list = qobject_cast<QListWidget *>(control)) {
        list->clear();
        for (const QString &item : state.split(u',', Qt::SkipEmptyParts)) {
            list->addItem(item);
            list->item(list->count() - 1)->setCheckState(Qt::Checked);
        }
    }
}

// Controls from "Class NAME=state" texts (MakeControl, SetState), children of the
// form, in the order given.
inline QList<QObject *> MakeControls(const QStringList &descriptions, QWidget *form)
{
    QList<QObject *> controls;
    for (const QString &description : descriptions) {
        const QString assignment = description.section(u' ', 1);
        QWidget *control =
            MakeControl(description.section(u' ', 0, 0), assignment.section(u'=', 0, 0), form);
        SetState(control, assignment.section(u'=', 1));
        controls << control;
    }
    return controls;
}

} // namespace dvt::test
