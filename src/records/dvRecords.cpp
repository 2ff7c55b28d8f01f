#include "dvRecords.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <cmath>
#include <limits>

#include "dvControlPanel.h"
#include "dvMessages.h"
#include "dvQuery.h"
#include "dvSQL.h"
#include "dvtClassDispatch_p.h"
#include "dvtColumnType_p.h"
#include "dvtComponent.h"
#include "dvtDataControl.h"
#include "dvtDateTime.h"
#include "dvtFormat.h"
#include "dvtLogging.h"
#include "dvtRecordStatements_p.h"

using namespace Qt::StringLiterals;

namespace {

QString ColumnName(const QObject *control)
{
    return control ? control->objectName() : QString();
}

// The second paragraph of a failure message: the database's own words, if any.
QString ErrorSuffix(const TdvQuery &query)
{
    return query.Error().isEmpty() ? QString() : u"\r\r"_s + query.Error();
}

// Why a control cannot take part in a statement.
QString UnusableReason(const QObject *control)
{
    if (!control)
        return u"The control array holds a null entry."_s;
    const QString className = QString::fromLatin1(control->metaObject()->className());
    if (control->objectName().isEmpty())
        return u"The control %1 has no name to give its column."_s.arg(dvt::Describe(control));
    return u"The control %1 (%2) has no value to store."_s.arg(control->objectName(), className);
}

// The routines run on the control panel's connection; without a panel they can
// only fail, which deserves a word beyond the database's.
void WarnIfNoPanel(const char *routine)
{
    if (TdvControlPanel::ObjCount() == 0)
        qCWarning(dvt::lcRecords, "%s: there is no TdvControlPanel, so no \"dvTools\" connection",
                  routine);
}

// A control without a name or a value leaves a statement malformed, and the
// database may read it otherwise than meant: "set A= B=1" assigns the comparison
// B=1 to A. So such a statement is never sent.
bool RunStatement(TdvQuery &query, const QString &statement, const QList<QObject *> &unusable,
                  const QString &failure)
{
    if (!unusable.isEmpty()) {
        const QString reason = UnusableReason(unusable.constFirst());
        qCWarning(dvt::lcRecords).noquote() << failure << reason << "Nothing was sent.";
        dvErrorMsg(failure + u"\r\r"_s + reason);
        return false;
    }
    if (query.Execute(statement))
        return true;
    dvErrorMsg(failure + ErrorSuffix(query));
    return false;
}

// The text of a result column in the current row, by the column's type; empty
// for NULL and for types that have no text form.
QString ColumnText(const TdvQuery &query, int field)
{
    if (query.IsNull(field))
        return {};
    switch (query.FieldDefs().at(field).DataType) {
    case dvt::ftString:
    case dvt::ftFixedChar:
    case dvt::ftWideString:
        return dvt::Trim(query.AsString(field));
    case dvt::ftMemo:
        return query.AsString(field);
    case dvt::ftSmallint:
    case dvt::ftInteger:
    case dvt::ftWord:
    case dvt::ftAutoInc:
    case dvt::ftLargeint: {
        // Integers are handed on as 32-bit values: a larger one cannot be read so.
        const qint64 value = query.AsLargeInt(field);
        if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
            return {};
        return QString::number(value);
    }
    case dvt::ftFloat:
    case dvt::ftCurrency:
        return dvSQLFloat(query.AsFloat(field));
    case dvt::ftBoolean:
        return query.AsBoolean(field) ? u"Y"_s : u"N"_s;
    case dvt::ftDateTime:
    case dvt::ftDate:
        return dvt::FormatDateTime(u"ddddd"_s, std::trunc(query.AsDateTime(field)));
    case dvt::ftTime:
        return dvt::FormatDateTime(u"t"_s, query.AsDateTime(field));
    default:
        return {};
    }
}

// The library's controls answer through their contract (dvtDataControl.h); the
// plain Qt controls a form may hold beside them are served by class, the first
// of each list that the control is an instance of.

// clang-format off
std::optional<QString> PlainValueText(QObject *control, const QString &table, TdvQuery &query)
{
    std::optional<QString> text;
    dvt::DispatchByClass(control,
        [&](QComboBox *combo) {
            text = dvt::IsCharacterColumn(query, table, combo->objectName())
                       ? u'"' + combo->currentText() + u'"'
                       : QString::number(combo->currentIndex());
        },
        [&](QLineEdit *edit) { text = dvSQLString(edit->text()); },
        [&](QLabel *label) { text = dvSQLString(label->text()); },
        [&](QPlainTextEdit *memo) { text = dvSQLString(memo->toPlainText()); },
        [&](QCheckBox *check) { text = dvSQLBoolean(check->isChecked()); });
    return text;
}

// A plain combo box is left as it is: its items do not come from the database.
void LoadPlainControl(QObject *control, const QString &text)
{
    dvt::DispatchByClass(control,
        [&](QLineEdit *edit) { edit->setText(text); },
        [&](QLabel *label) { label->setText(text); },
        [&](QPlainTextEdit *memo) { memo->setPlainText(text); },
        [&](QCheckBox *check) { check->setChecked(text.toUpper().contains(u'Y')); });
}

void ClearPlainControl(QObject *control)
{
    dvt::DispatchByClass(control,
        [](QComboBox *combo) { combo->setCurrentIndex(0); },
        [](QLabel *label) { label->clear(); },
        [](QPlainTextEdit *memo) { memo->clear(); },
        [](QCheckBox *check) { check->setChecked(false); },
        [](QLineEdit *edit) { edit->clear(); });
}
// clang-format on

} // namespace

namespace dvt {

std::optional<QString> ValueText(QObject *control, const QString &table, TdvQuery &query)
{
    if (const auto *contract = qobject_cast<DataControl *>(control))
        return contract->sqlLiteral(table);
    return PlainValueText(control, table, query);
}

QString InsertStatement(const QString &table, const QList<QObject *> &controls, TdvQuery &query,
                        QList<QObject *> *unusable)
{
    // Joining with commas leaves no comma before either closing parenthesis; a
    // control without a value adds none to the value list.
    QStringList columns;
    QStringList values;
    for (QObject *control : controls) {
        const auto value = ValueText(control, table, query);
        if (value)
            values << *value;
        if ((!value || ColumnName(control).isEmpty()) && unusable)
            *unusable << control;
        columns << ColumnName(control);
    }
    return u"insert into "_s + table + u" ("_s + columns.join(u',') + u") values ("_s
           + values.join(u',') + u')';
}

QString UpdateStatement(const QString &table, const QString &where,
                        const QList<QObject *> &controls, TdvQuery &query,
                        QList<QObject *> *unusable)
{
    QString statement = u"update "_s + table + u" set "_s;
    for (QObject *control : controls) {
        statement += u' ' + ColumnName(control) + u'=';
        const auto value = ValueText(control, table, query);
        if (value)
            statement += *value + u',';
        if ((!value || ColumnName(control).isEmpty()) && unusable)
            *unusable << control;
    }
    // The final comma; with no controls, the blank after "set".
    statement.chop(1);
    return statement + u" where "_s + where;
}

QString DeleteStatement(const QString &table, const QString &where)
{
    return u"delete from "_s + table + u" where "_s + where;
}

} // namespace dvt

bool dvInsertRecord(const QString &table, const QList<QObject *> &controls, bool)
{
    WarnIfNoPanel("dvInsertRecord");
    TdvQuery query;
    QList<QObject *> unusable;
    const QString statement = dvt::InsertStatement(table, controls, query, &unusable);
    return RunStatement(query, statement, unusable, u"It was not possible to insert the record!"_s);
}

bool dvUpdateRecord(const QString &table, const QString &where, const QList<QObject *> &controls,
                    bool)
{
    WarnIfNoPanel("dvUpdateRecord");
    TdvQuery query;
    QList<QObject *> unusable;
    const QString statement = dvt::UpdateStatement(table, where, controls, query, &unusable);
    return RunStatement(query, statement, unusable, u"It was not possible to update the record!"_s);
}

bool dvDeleteRecord(const QString &table, const QString &where, bool)
{
    WarnIfNoPanel("dvDeleteRecord");
    TdvQuery query;
    return RunStatement(query, dvt::DeleteStatement(table, where), {},
                        u"It was not possible to delete the record!"_s);
}

bool dvLoadRecord(QObject *owner, const QString &select, bool)
{
    WarnIfNoPanel("dvLoadRecord");
    TdvQuery query(owner);
    if (!query.Select(select)) {
        dvErrorMsg(u"It was not possible to load the record!"_s + ErrorSuffix(query));
        return false;
    }
    for (int field = 0; field < query.FieldCount(); ++field) {
        QObject *component = dvt::FindComponent(owner, query.FieldDefs().at(field).Name);
        if (!component)
            continue;
        const QString text = ColumnText(query, field);
        if (auto *contract = qobject_cast<dvt::DataControl *>(component))
            contract->loadText(text);
        else
            LoadPlainControl(component, text);
    }
    return true;
}

void dvClearRecord(const QList<QObject *> &controls)
{
    for (QObject *control : controls) {
        if (auto *contract = qobject_cast<dvt::DataControl *>(control))
            contract->clearValue();
        else
            ClearPlainControl(control);
    }
}
