#include "dvQuery.h"
#include "dvSQL.h"
#include "dvtColumnType_p.h"

using namespace Qt::StringLiterals;

namespace dvt {

namespace {
// The "fieldtype" of the catalogue: CHAR and VARCHAR.
constexpr int CharType = 14;
constexpr int VarCharType = 37;
} // namespace

QStringList ColumnTypeProbe(const QString &table, const QString &column)
{
    return {
        u"select b.rdb$field_type as fieldtype"_s,
        u"from rdb$relation_fields a, rdb$fields b"_s,
        u"where b.rdb$field_name=a.rdb$field_source and"_s,
        u"a.rdb$relation_name="_s + dvSQLString(table.toUpper()) + u" and"_s,
        u"a.rdb$field_name="_s + dvSQLString(column.toUpper()),
    };
}

bool IsCharacterColumn(TdvQuery &query, const QString &table, const QString &column)
{
    if (!query.Select(ColumnTypeProbe(table, column)))
        return false;
    const int type = query.GetFieldValue(u"fieldtype"_s).toInt();
    query.Close();
    return type == CharType || type == VarCharType;
}

} // namespace dvt
