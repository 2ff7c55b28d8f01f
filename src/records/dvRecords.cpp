#include "dvRecords.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <cmath>
#include <exception>
#include <limits>

#include "dvComboBox.h"
#include "dvDate.h"
#include "dvMessages.h"
#include "dvQuery.h"
#include "dvSQL.h"
#include "dvStrings.h"
#include "dvTime.h"
#include "dvValue.h"
#include "dvtClassDispatch_p.h"
#include "dvtComponent.h"
#include "dvtDateTime.h"
#include "dvtFormat.h"
#include "dvtRecordStatements_p.h"

using namespace Qt::StringLiterals;

namespace {

QString Quoted(const QString &text)
{
    return u'"' + text + u'"';
}

QString ColumnName(const QObject *control)
{
    return control ? control->objectName() : QString();
}

// The "fieldtype" of the catalogue: CHAR and VARCHAR.
constexpr int CharType = 14;
constexpr int VarCharType = 37;

// A probe that fails or finds nothing counts as "not a character column".
bool IsCharacterColumn(TdvQuery &query, const QString &table, const QString &column)
{
    if (!query.Select(dvt::ColumnTypeProbe(table, column)))
        return false;
    const int type = query.GetFieldValue(u"fieldtype"_s).toInt();
    query.Close();
    return type == CharType || type == VarCharType;
}

// A character column holds the text, unchanged (a double quote in it leaves the
// statement malformed); any other the item's position.
QString ComboBoxValue(const QComboBox *combo, const QString &table, TdvQuery &query)
{
    return IsCharacterColumn(query, table, combo->objectName())
               ? Quoted(combo->currentText())
               : QString::number(combo->currentIndex());
}

// The second paragraph of a failure message: the database's own words, if any.
QString ErrorSuffix(const TdvQuery &query)
{
    return query.Error().isEmpty() ? QString() : u"\r\r"_s + query.Error();
}

// A control without a value leaves a statement malformed, and the database may
// read it otherwise than meant: "set A= B=1" assigns the comparison B=1 to A. So
// such a statement is never sent.
bool RunStatement(TdvQuery &query, const QString &statement, const QList<QObject *> &withoutValue,
                  const QString &failure)
{
    if (!withoutValue.isEmpty()) {
        const QObject *control = withoutValue.constFirst();
        dvErrorMsg(
            failure + u"\r\r"_s
            + (control ? u"The control %1 (%2) has no value to store."_s.arg(
                   control->objectName(), QString::fromLatin1(control->metaObject()->className()))
                       : u"The control array holds a null entry."_s));
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

// Only a TdvComboBox is positioned: by the item that reads as the text, else by
// the index the text gives.
void SelectLoadedItem(QComboBox *plainCombo, const QString &text)
{
    auto *combo = qobject_cast<TdvComboBox *>(plainCombo);
    if (!combo)
        return;
    combo->Reload();
    combo->setCurrentIndex(-1);
    const QString wanted = text.toUpper();
    for (int item = 0; item < combo->count(); ++item) {
        if (dvt::Trim(combo->itemText(item)).toUpper() == wanted) {
            combo->setCurrentIndex(item);
            return;
        }
    }
    // Out of range leaves the combo box without a choice.
    combo->setCurrentIndex(dvStrToInt(text));
}

void ClearComboBox(QComboBox *combo)
{
    combo->setCurrentIndex(0);
    if (auto *dvCombo = qobject_cast<TdvComboBox *>(combo))
        dvCombo->Reload();
}

// Each table below lists the classes most specific first: a control takes the
// first row whose class it is an instance of.

// clang-format off
void LoadControl(QObject *component, const QString &text)
{
    dvt::DispatchByClass(component,
        [&](TdvDate *date) { if (!date->SetDate(text)) date->clear(); },
        [&](TdvTime *time) { if (!time->SetTime(text)) time->clear(); },
        [&](TdvValue *value) { value->SetValue(dvStrToFloat(text)); },
        [&](QLineEdit *edit) { edit->setText(text); },
        [&](QLabel *label) { label->setText(text); },
        [&](QPlainTextEdit *memo) { memo->setPlainText(text); },
        [&](QCheckBox *check) { check->setChecked(text.toUpper().contains(u'Y')); },
        [&](QComboBox *combo) { SelectLoadedItem(combo, text); });
}

void ClearControl(QObject *control)
{
    dvt::DispatchByClass(control,
        [](QComboBox *combo) { ClearComboBox(combo); },
        [](QLabel *label) { label->clear(); },
        [](QPlainTextEdit *memo) { memo->clear(); },
        [](TdvDate *date) { date->clear(); },
        [](TdvValue *value) { value->SetFValue(0); },
        [](TdvTime *time) { time->clear(); },
        [](QCheckBox *check) { check->setChecked(false); },
        [](QLineEdit *edit) { edit->clear(); });
}
// clang-format on

} // namespace

namespace dvt {

std::optional<QString> ValueText(QObject *control, const QString &table, TdvQuery &query)
{
    std::optional<QString> text;
    // clang-format off
    DispatchByClass(control,
        [&](QComboBox *combo) { text = ComboBoxValue(combo, table, query); },
        [&](TdvDate *date) { text = date->GetSQL(); },
        [&](TdvTime *time) { text = Quoted(time->GetSQL()); },
        [&](TdvValue *value) { text = value->GetSQL(); },
        [&](QLineEdit *edit) { text = dvSQLString(edit->text()); },
        [&](QLabel *label) { text = dvSQLString(label->text()); },
        [&](QPlainTextEdit *memo) { text = dvSQLString(memo->toPlainText()); },
        [&](QCheckBox *check) { text = dvSQLBoolean(check->isChecked()); });
    // clang-format on
    return text;
}

QStringList ColumnTypeProbe(const QString &table, const QString &column)
{
    return {
        u"select b.rdb$field_type as fieldtype"_s,
        u"from rdb$relation_fields a, rdb$fields b"_s,
        u"where b.rdb$field_name=a.rdb$field_source and"_s,
        u"a.rdb$relation_name="_s + Quoted(table.toUpper()) + u" and"_s,
        u"a.rdb$field_name="_s + Quoted(column.toUpper()),
    };
}

QString InsertStatement(const QString &table, const QList<QObject *> &controls, TdvQuery &query,
                        QList<QObject *> *withoutValue)
{
    // Joining with commas leaves no comma before either closing parenthesis; a
    // control without a value adds none to the value list.
    QStringList columns;
    for (const QObject *control : controls)
        columns << ColumnName(control);
    QStringList values;
    for (QObject *control : controls) {
        if (const auto value = ValueText(control, table, query))
            values << *value;
        else if (withoutValue)
            *withoutValue << control;
    }
    return u"insert into "_s + table + u" ("_s + columns.join(u',') + u") values ("_s
           + values.join(u',') + u')';
}

QString UpdateStatement(const QString &table, const QString &where,
                        const QList<QObject *> &controls, TdvQuery &query,
                        QList<QObject *> *withoutValue)
{
    QString statement = u"update "_s + table + u" set "_s;
    for (QObject *control : controls) {
        statement += u' ' + ColumnName(control) + u'=';
        if (const auto value = ValueText(control, table, query))
            statement += *value + u',';
        else if (withoutValue)
            *withoutValue << control;
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
    TdvQuery query;
    QList<QObject *> withoutValue;
    const QString statement = dvt::InsertStatement(table, controls, query, &withoutValue);
    return RunStatement(query, statement, withoutValue,
                        u"It was not possible to insert the record!"_s);
}

bool dvUpdateRecord(const QString &table, const QString &where, const QList<QObject *> &controls,
                    bool)
{
    TdvQuery query;
    QList<QObject *> withoutValue;
    const QString statement = dvt::UpdateStatement(table, where, controls, query, &withoutValue);
    return RunStatement(query, statement, withoutValue,
                        u"It was not possible to update the record!"_s);
}

bool dvDeleteRecord(const QString &table, const QString &where, bool)
{
    TdvQuery query;
    return RunStatement(query, dvt::DeleteStatement(table, where), {},
                        u"It was not possible to delete the record!"_s);
}

bool dvLoadRecord(QObject *owner, const QString &select, bool)
{
    TdvQuery query(owner);
    if (!query.Select(select)) {
        dvErrorMsg(u"It was not possible to load the record!"_s + ErrorSuffix(query));
        return false;
    }
    for (int field = 0; field < query.FieldCount(); ++field) {
        QObject *component = dvt::FindComponent(owner, query.FieldDefs().at(field).Name);
        if (!component)
            continue;
        try {
            LoadControl(component, ColumnText(query, field));
        } catch (const std::exception &) {
            // A value the control cannot take leaves it as it was.
        }
    }
    return true;
}

void dvClearRecord(const QList<QObject *> &controls)
{
    for (QObject *control : controls) {
        try {
            ClearControl(control);
        } catch (const std::exception &) {
            // Clearing reports nothing; the next control is cleared all the same.
        }
    }
}
