#pragma once

#include <QChar>
#include <QList>
#include <QString>

#include "dvtException.h"

// Moving a whole table to a delimited text file and back.
//
// The data file is UTF-8 text of lines ended by CR LF. The first line names the
// columns of "select * from TABLE" in their order, the following lines hold one
// row each; every name and every value is followed by the separator, so each
// line ends with it. Nothing in the file records the separator: the reader must
// be given the writer's. Values are written by the column's type:
//
//   CHAR, VARCHAR      the text without leading and trailing blanks and control
//                      characters, its double quotes deleted, in double quotes
//   BLOB SUB_TYPE TEXT the text untrimmed, its double quotes deleted, in double
//                      quotes
//   SMALLINT, INTEGER, the decimal digits, a leading "-" when negative; BIGINT
//   BIGINT             keeps its full value; NULL is written 0
//   DOUBLE, FLOAT,     dvt::FloatToStr: up to 15 significant digits with the
//   scaled NUMERIC     locale's decimal separator, "1E-6" style only below
//                      0.00001 or beyond 15 integer digits; NULL is written 0
//   BOOLEAN            Y or N, bare
//   DATE (timestamp)   "mm/dd/yyyy" in double quotes, the time of day left out
//   TIME               "hh:nn:ss" (24-hour) in double quotes
//   anything else      null
//
// with "/" and ":" the locale's date and time separators (dvt::FormatSettings()).
// A NULL of the other types is written as the bare word null, and so is a date
// outside the years 1 to 9999 or a memo that cannot be read.
//
// So that a value never breaks its line, every line break inside a text (CR LF,
// LF or CR) is written as "||" and every separator inside any value as the
// character æ (U+00E6). The reader turns every "||" back into CR LF and then
// every æ into the separator. A text that holds "||" or æ of its own therefore
// reads back with CR LF or the separator in their place; and with "|" as the
// separator a line break is written "ææ" and reads back as "||". The separator
// must not be a double quote, CR, LF or æ.
//
// When scrambled is true, every line, the header included, is written through
// dvEnCrypt and read through dvDeCrypt (dvCrypt.h). A scrambled file read without
// unscrambling (or the reverse) names no column of the table, so nothing is
// inserted.
//
// The table name must be an identifier: a plain one (a letter, then letters,
// digits, "_" and "$") or one in double quotes (inner quotes doubled). Anything
// else, such as "(select ... from T)" or "T where ...", raises dvt::EConvertError
// before a file or the database is touched.
//
// An empty file name means the table name followed by ".dat". Both routines run
// on the connection of TdvQuery (the control panel's, "dvTools") and start and
// end no transaction of their own. As they go they let the application handle
// its pending events (dvt::ProcessMessages) every 10 ms, so that it stays
// responsive during long transfers. (Code run then that ends the transaction
// they work in makes an export write nothing, and an import commit its remaining
// rows one by one.) Database failures are not raised: the export ignores them
// as described below, the import reports them in its TImportReport. A file that
// cannot be created, written or opened raises dvt::EInOutError.

namespace dvt {

// A data file that cannot be opened, created, read or written; Message() names the
// file and the system's reason.
class EInOutError : public Exception
{
public:
    using Exception::Exception;
};

// How the bytes of a data file to import become text.
enum class TTextEncoding {
    // UTF-8 when the whole file is valid UTF-8 (what dvExport writes), otherwise
    // Windows-1252, the single-byte encoding that files of older systems use.
    Detect,
    // UTF-8 only: a line that is not valid UTF-8 is refused. In UTF-8 a
    // byte-order mark that starts a line is skipped.
    Utf8,
    // Windows-1252: every byte is one character (the five bytes that encoding
    // leaves undefined read as the control characters of the same number).
    Windows1252,
};

// What became of the lines of one import. Line numbers count from 1, the
// header being line 1.
struct TImportReport
{
    struct TRefusal
    {
        qint64 Line = 0;
        // Why the line was not stored: the database's message for a row it
        // refused, or what in the line is not a value.
        QString Reason;
    };

    qint64 RowsStored = 0;
    qint64 LinesRefused = 0;
    // The first MaxRefusals refused lines, in file order; LinesRefused counts all.
    QList<TRefusal> Refused;
    // True when the import ended before the end of the file: its last refusal
    // says why (a header that names no column of the table, a lost connection).
    bool Stopped = false;

    static constexpr int MaxRefusals = 1000;
};

} // namespace dvt

// Writes every row of "select * from TABLE" to the file, replacing it. A table
// that is empty, missing or unreadable writes nothing and leaves an existing file
// alone; so does a read that fails part way (a lost connection): the file is
// replaced only once every row has been written.
void dvExport(const QString &table, const QString &fileName, QChar separator, bool scrambled);

// Inserts the rows of the file into the table, then re-seeds the generator named
// like the table; the overload below also tells what became of each line.
//
// The header's names are looked up among the table's columns, ignoring letter
// case; the reading stops at the first empty name. Columns of the file that the
// table lacks are left out of every row, columns of the table that the file lacks
// get their defaults. A header that names no column of the table stores nothing.
//
// Each data line holds one item per header name (items past them are ignored).
// Every item must be a value as the export writes them, or the line is refused:
//   null                     NULL, in any letter case
//   "text"                   without a double quote inside; "||" becomes CR LF
//                            and then æ the separator. Dates and times are texts
//                            that the database converts to the column's type.
//   -12, 3.25, 1.5E-10       numbers: an optional sign, digits with "." or the
//                            locale's decimal separator, an optional exponent.
//                            As for a literal, a number whose digits make a
//                            64-bit integer is exact; other integers are
//                            refused, other fractions and numbers with an
//                            exponent are doubles. The largest double, which 15
//                            digits write rounded up, reads back as itself.
//   Y, N, TRUE, FALSE        Booleans
// Blanks around an item are ignored. Anything else, an expression such as
// "(select count(*) from rdb$relations)" in particular, is never sent to the
// database. All rows go through one INSERT prepared for the whole file, with
// the values as its parameters, which the database converts to the columns'
// types as it converts literals.
//
// Each row is stored whole or not at all: a row the database refuses (a
// duplicate key, a number too large, a text too long) is refused, the import
// goes on with the next line, and the report keeps the database's message. A
// connection lost in the middle is opened again and the row tried once more;
// when that fails the import stops there.
//
// Then the highest code of the table is read (the first of its codes in
// descending order; NULL, read as 0, when all are NULL) and "set generator TABLE
// to HIGHEST" run; any failure there (no code column, no such generator, an
// empty table) is ignored. This step runs even for a file without data lines.
// "select max(code) from TABLE" reads it, first among the codes at or above the
// highest numeric code stored, which an index on the code finds without reading
// the table.
//
// Outside a transaction every row commits on its own, which costs a write to disk
// per row. For speed, import inside one:
//   dvt::TImportReport report;
//   panel.StartTransaction();
//   dvImport("CUSTOMER", "customer.dat", u';', false, &report);
//   if (report.LinesRefused == 0)
//       panel.Commit();
//   else
//       panel.Rollback(); // and show report.Refused
void dvImport(const QString &table, const QString &fileName, QChar separator, bool scrambled);
// As above; fills *report (when not null) and reads the file in the encoding given.
void dvImport(const QString &table, const QString &fileName, QChar separator, bool scrambled,
              dvt::TImportReport *report, dvt::TTextEncoding encoding = dvt::TTextEncoding::Detect);
