#pragma once

#include <QChar>
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
// An empty file name means the table name followed by ".dat". Both routines run
// on the connection of TdvQuery (the control panel's, "dvTools") and start and
// end no transaction of their own. As they go they let the application handle
// its pending events (dvt::ProcessMessages) every 10 ms, so that it stays
// responsive during long transfers. (Code run then that ends the transaction
// they work in makes an export write nothing, and an import commit its remaining
// rows one by one.) Database failures are not reported: they are ignored as
// described below. A file that cannot be created, written or opened raises
// dvt::EInOutError.

namespace dvt {

// A data file that cannot be opened, created, read or written; Message() names the
// file and the system's reason.
class EInOutError : public Exception
{
public:
    using Exception::Exception;
};

} // namespace dvt

// Writes every row of "select * from TABLE" to the file, replacing it. A table
// that is empty, missing or unreadable writes nothing and leaves an existing file
// alone; so does a read that fails part way (a lost connection): the file is
// replaced only once every row has been written.
void dvExport(const QString &table, const QString &fileName, QChar separator, bool scrambled);

// Inserts the rows of the file into the table, then re-seeds the generator named
// like the table.
//
// The header's names are looked up among the table's columns, ignoring letter
// case; the reading stops at the first empty name. Columns of the file that the
// table lacks are left out of every row, columns of the table that the file lacks
// get their defaults. Each data line is inserted as
//   insert into TABLE (A,B) values (a,b)
// with the file's values unchanged, quotes included, after "||" has become CR LF
// and æ the separator; a bare Y or N (a Boolean) is inserted as TRUE or FALSE.
// Items past the header's count are ignored, missing ones are empty (which the
// database refuses). Each row is stored whole or not at all: a row the database
// refuses (a duplicate key, a bad value, a malformed or empty line) is skipped
// and the import goes on.
//
// Rows whose values are all plain literals (texts, null, numbers without an
// exponent, TRUE and FALSE) go through one INSERT prepared for the whole file,
// with parameters that the database converts exactly as it converts the literals,
// so they store exactly what the statement text above would store, several times
// faster; a text too long to be a literal in a statement (over 16,383
// characters) is stored this way too.
//
// Then "select code from TABLE order by code descending" is run and, when it gives
// a row, "set generator TABLE to HIGHEST"; any failure there (no code column, no
// such generator, an empty table) is ignored. This step runs even for a file
// without data lines.
//
// Outside a transaction every row commits on its own, which costs a write to disk
// per row. For speed, import inside one:
//   panel.StartTransaction();
//   dvImport("CUSTOMER", "customer.dat", u';', false);
//   panel.Commit();
void dvImport(const QString &table, const QString &fileName, QChar separator, bool scrambled);
