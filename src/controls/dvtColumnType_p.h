#pragma once

#include <QString>
#include <QStringList>

class TdvQuery;

namespace dvt {

// The catalogue query that tells a column's type; "fieldtype" 14 is CHAR, 37 VARCHAR.
QStringList ColumnTypeProbe(const QString &table, const QString &column);

// Whether the table's column is CHAR or VARCHAR, asked on the query; a probe
// that fails or finds nothing answers false.
bool IsCharacterColumn(TdvQuery &query, const QString &table, const QString &column);

} // namespace dvt
