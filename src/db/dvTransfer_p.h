#pragma once

// Internal: the parts of dvImport that read a data file, for the tests and the
// fuzzers that feed them any bytes.

#include <QByteArray>
#include <QChar>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

#include "dvTransfer.h"
#include "dvtFieldDef.h"

namespace dvt::transfer {

// The lines of a data file, ended by CR LF or LF; a last line may lack its end.
// A UTF-8 byte-order mark at the start is skipped.
class LineReader
{
public:
    // Raises EInOutError when the file cannot be opened or read.
    LineReader(const QString &fileName, TTextEncoding encoding);

    // The next line without its end; false at the end of the file. decoded is
    // false (and the line empty) when the line is not valid in the encoding.
    bool Next(QString &line, bool &decoded);
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

// Matches the header's names to the fields, ignoring letter case.
Header MatchHeader(QStringView line, QChar separator, const QList<TFieldDef> &fields);

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
    QString text;
    qint64 integer = 0;
    int scale = 0;
    double number = 0;
};

// Reads the values of a data line in the order of header.Columns. False, with
// the reason, when an item is no value or is missing.
bool ReadValues(QStringView line, QChar separator, const Header &header, std::vector<Value> &values,
                QString &reason);

} // namespace dvt::transfer
