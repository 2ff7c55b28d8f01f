#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include "dvtColumnType_p.h"

class QObject;
class TdvQuery;

// The statement texts of the record routines. The insert and update texts ask the
// database about the column types of combo boxes, on the given query.
namespace dvt {

// The value text of one control: the library's controls give their contract's
// literal, plain Qt controls theirs by class (dvRecords.h); none for a control
// that contributes no value.
std::optional<QString> ValueText(QObject *control, const QString &table, TdvQuery &query);

// The controls that cannot take part (no name, or no value) are added, in
// order, to *unusable when it is given; a statement with such a control is
// malformed and must not be sent.
QString InsertStatement(const QString &table, const QList<QObject *> &controls, TdvQuery &query,
                        QList<QObject *> *unusable = nullptr);
QString UpdateStatement(const QString &table, const QString &where,
                        const QList<QObject *> &controls, TdvQuery &query,
                        QList<QObject *> *unusable = nullptr);
QString DeleteStatement(const QString &table, const QString &where);

} // namespace dvt
