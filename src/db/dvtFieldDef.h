#pragma once

#include <QString>

namespace dvt {

// The data type of a result column, as the record routines, the grid and the
// export tell columns apart. Firebird's types (SQL dialect 1) map onto it so:
//
//   CHAR(n)                                ftFixedChar   Size n, blank-padded text
//   VARCHAR(n)                             ftString      Size n
//   CHAR/VARCHAR CHARACTER SET OCTETS      ftBytes / ftVarBytes   (QByteArray)
//   SMALLINT                               ftSmallint
//   INTEGER                                ftInteger
//   BIGINT (a column made in dialect 3)    ftLargeint
//   NUMERIC/DECIMAL with a scale           ftFloat       (dialect 1 keeps precisions
//                                                         above 9 as DOUBLE anyway)
//   FLOAT, DOUBLE PRECISION                ftFloat
//   DATE (a timestamp in dialect 1),
//   TIMESTAMP                              ftDateTime
//   DATE, TIME made in dialect 3           ftDate, ftTime
//   BOOLEAN                                ftBoolean
//   BLOB SUB_TYPE TEXT                     ftMemo
//   any other BLOB                         ftBlob
//   ARRAY and anything else                ftUnknown
//
// ftWideString, ftWord, ftAutoInc, ftCurrency and ftBCD are never produced by
// Firebird; they exist because code that dispatches on the type names them.
enum TFieldType {
    ftUnknown,
    ftString,
    ftFixedChar,
    ftWideString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftAutoInc,
    ftLargeint,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftBoolean,
    ftDate,
    ftTime,
    ftDateTime,
    ftMemo,
    ftBlob,
    ftBytes,
    ftVarBytes,
};

// The definition of one result column.
struct TFieldDef
{
    // The column's name or alias, as the database gives it.
    QString Name;
    TFieldType DataType = ftUnknown;
    // The declared length of a text column in characters (bytes for OCTETS);
    // 0 for every other type.
    int Size = 0;
};

} // namespace dvt
