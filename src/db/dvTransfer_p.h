#pragma once

// Internal: the parts of dvImport that read a data file, for the tests and the
// fuzzers that feed them any bytes. Lines are read and split as UTF-8: a value
// goes to the database as the bytes the file holds, never through QString.

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

#include "dvTransfer.h"
#include "dvtFieldDef.h"

namespace dvt::transfer {

// The lines of a data file, ended by CR LF or LF; a last line may lack its end.
// In UTF-8 a byte-order mark that starts a line is skipped, so that files joined
// from several read as one.
class LineReader
{
public:
    // Raises EInOutError when the file cannot be opened or read.
    LineReader(const QString &fileName, TTextEncoding encoding);

    // The next line without its end, in UTF-8, valid until the next call; false
    // at the end of the file. decoded is false (and the line empty) when the
    // line is not valid in the encoding.
    bool Next(QByteArrayView &line, bool &decoded);
    // The number of the line last read, from 1.
    qint64 LineNumber() const { return m_lineNumber; }
    // The encoding the file is read in: never Detect.
    TTextEncoding Encoding() const { return m_encoding; }

private:
    void Fill();
    bool IsValidUtf8();

    QFile m_file;
    TTextEncoding m_encoding;
    QByteArray m_buffer;
    QByteArray m_converted;   // the last line, when read in Windows-1252
    qint64 m_bufferStart = 0; // where m_buffer starts in the file
    qint64 m_checked = 0;     // the bytes from the start found valid UTF-8
    qsizetype m_next = 0;
    bool m_atEnd = false;
    qint64 m_lineNumber = 0;
};

// A header line matched against the table's columns.
struct Header
{
    // The names up to the first empty one.
    qsizetype Items = 0;
    // Per item (from 0): its place among Columns, or -1 when the table lacks it.
    std::vector<int> Place;
    // The columns of the INSERT, as the header names them, in file order.
    QStringList Columns;
};

// Matches the header's names (a UTF-8 line) to the fields, ignoring letter case.
Header MatchHeader(QByteArrayView line, QChar separator, const QList<TFieldDef> &fields);

// One value of a data line, as it is bound to the INSERT.
struct Value
{
    enum class Kind {
        Null,
        Text,    // text: also the date and time texts, and TRUE or FALSE for Y and N
        Decimal, // integer × 10^scale, exact
        Double,  // number
    };
    Kind kind = Kind::Null;
    // UTF-8: within the line read, or within buffer when the file's substitutes
    // for line breaks and the separator were replaced.
    QByteArrayView text;
    std::string buffer;
    qint64 integer = 0;
    int scale = 0;
    double number = 0;
};

// Reads the values of a data line (UTF-8) in the order of header.Columns; their
// texts are valid while the line is. False, with the reason, when an item is no
// value or is missing.
bool ReadValues(QByteArrayView line, QChar separator, const Header &header,
                std::vector<Value> &values, QString &reason);

} // namespace dvt::transfer
