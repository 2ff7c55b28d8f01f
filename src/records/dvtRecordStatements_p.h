#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QObject;
class TdvQuery;

// The statement texts of the record routines. The insert and update texts ask the
// database about the column types of combo boxes, on the given query.
namespace dvt {

// The value text of one control, by its class (dvRecords.h); none for a control
// of a class that contributes no value.
std::optional<QString> ValueText(QObject *control, const QString &table, TdvQuery &query);

// The catalogue query that tells a column's type; "fieldtype" 14 is CHAR, 37 VARCHAR.
QStringList ColumnTypeProbe(const QString &table, const QString &column);

// The controls that contribute no value are added, in order, to *withoutValue
// when it is given.
QString InsertStatement(const QString &table, const QList<QObject *> &controls, TdvQuery &query,
                        QList<QObject *> *withoutValue = nullptr);
QString UpdateStatement(const QString &table, const QString &where,
                        const QList<QObject *> &controls, TdvQuery &query,
                        QList<QObject *> *withoutValue = nullptr);
QString DeleteStatement(const QString &table, const QString &where);

} // namespace dvt
