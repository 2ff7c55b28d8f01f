#include "dvTransfer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QSet>
#include <QStringList>
#include <QStringView>

#include <cmath>
#include <vector>

#include "dvCrypt.h"
#include "dvQuery.h"
#include "dvStrings.h"
#include "dvTransfer_p.h"
#include "dvtApplication.h"
#include "dvtDateTime.h"
#include "dvtFormat.h"

using namespace Qt::StringLiterals;

namespace {

// What stands in a value for the separator, and for a line break.
constexpr QChar SeparatorSubstitute = u'\u00E6'; // æ
const QString LineBreakSubstitute = u"||"_s;

// Lines are collected and written, and read, in blocks of this size.
constexpr qsizetype BlockSize = qsizetype(1) << 20;

QString dataFileName(const QString &table, const QString &fileName)
{
    return fileName.isEmpty() ? table + u".dat"_s : fileName;
}

[[noreturn]] void raiseInOutError(const QString &what, const QFileDevice &file)
{
    throw dvt::EInOutError(u"%1 \"%2\": %3"_s.arg(what, file.fileName(), file.errorString()));
}

// Lets the application handle its pending events as a transfer goes on. An event
// round costs some microseconds, as much as a row itself; taking one after a row
// only when EventInterval has passed keeps the application as responsive for a
// fraction of the cost.
class EventPump
{
public:
    EventPump() { m_timer.start(); }

    void Tick()
    {
        if (m_timer.hasExpired(EventInterval)) {
            dvt::ProcessMessages();
            m_timer.restart();
        }
    }

private:
    static constexpr qint64 EventInterval = 10; // milliseconds
    QElapsedTimer m_timer;
};

// --- Writing ----------------------------------------------------------------------

// How a column's values are written.
enum class Form { Text, Memo, Integer, Float, Boolean, Date, Time, Null };

Form formOf(dvt::TFieldType type)
{
    switch (type) {
    case dvt::ftString:
    case dvt::ftFixedChar:
    case dvt::ftWideString:
        return Form::Text;
    case dvt::ftMemo:
        return Form::Memo;
    case dvt::ftSmallint:
    case dvt::ftInteger:
    case dvt::ftWord:
    case dvt::ftAutoInc:
    case dvt::ftLargeint:
        return Form::Integer;
    case dvt::ftFloat:
    case dvt::ftCurrency:
        return Form::Float;
    case dvt::ftBoolean:
        return Form::Boolean;
    case dvt::ftDate:
    case dvt::ftDateTime:
        return Form::Date;
    case dvt::ftTime:
        return Form::Time;
    case dvt::ftUnknown:
    case dvt::ftBCD:
    case dvt::ftBlob:
    case dvt::ftBytes:
    case dvt::ftVarBytes:
        break;
    }
    return Form::Null;
}

// Appends a value with the separator written as æ.
void appendPlain(QString &line, QStringView value, QChar separator)
{
    for (const QChar c : value)
        line += c == separator ? SeparatorSubstitute : c;
}

// Appends the inside of a quoted value: double quotes deleted, each line break
// (CR LF, LF or CR) as "||", the separator as æ. One pass gives what the three
// substitutions give one after the other, so with "|" as the separator a line
// break becomes "ææ".
void appendQuoted(QString &line, QStringView value, QChar separator)
{
    const QChar bar = separator == u'|' ? SeparatorSubstitute : QChar(u'|');
    line += u'"';
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'"')
            continue;
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < value.size() && value[i + 1] == u'\n')
                ++i;
            line += bar;
            line += bar;
        } else {
            line += c == separator ? SeparatorSubstitute : c;
        }
    }
    line += u'"';
}

void appendValue(QString &line, const TdvQuery &query, int field, Form form, QChar separator)
{
    // Numbers read NULL as 0, which is what is written for them.
    if (form == Form::Integer) {
        appendPlain(line, QString::number(query.AsLargeInt(field)), separator);
        return;
    }
    if (form == Form::Float) {
        const double value = query.AsFloat(field);
        appendPlain(line, std::isfinite(value) ? dvt::FloatToStr(value) : u"0"_s, separator);
        return;
    }
    if (form == Form::Null || query.IsNull(field)) {
        appendPlain(line, u"null", separator);
        return;
    }
    switch (form) {
    case Form::Text:
        appendQuoted(line, dvt::Trim(query.AsString(field)), separator);
        break;
    case Form::Memo:
        appendQuoted(line, query.AsString(field), separator);
        break;
    case Form::Boolean:
        appendPlain(line, query.AsBoolean(field) ? u"Y" : u"N", separator);
        break;
    case Form::Date:
    case Form::Time:
        try {
            appendQuoted(line,
                         dvt::FormatDateTime(form == Form::Date ? u"mm/dd/yyyy"_s : u"hh:nn:ss"_s,
                                             query.AsDateTime(field)),
                         separator);
        } catch (const dvt::Exception &) { // outside the years 1 to 9999
            appendPlain(line, u"null", separator);
        }
        break;
    case Form::Integer:
    case Form::Float:
    case Form::Null:
        break;
    }
}

// The lines of a data file, UTF-8 with CR LF, written to a new file that replaces
// the old one only when Commit is called.
class DataFileWriter
{
public:
    DataFileWriter(const QString &fileName, bool scrambled)
        : m_file(fileName), m_scrambled(scrambled)
    {
        m_file.setDirectWriteFallback(true); // a folder where no new file can be made
        if (!m_file.open(QIODevice::WriteOnly))
            raiseInOutError(u"Cannot create"_s, m_file);
        m_buffer.reserve(BlockSize + BlockSize / 4);
    }

    void Write(const QString &line)
    {
        m_buffer += (m_scrambled ? dvEnCrypt(line, 0) : line).toUtf8();
        m_buffer += "\r\n";
        if (m_buffer.size() >= BlockSize)
            Flush();
    }

    void Commit()
    {
        Flush();
        if (!m_file.commit())
            raiseInOutError(u"Cannot write"_s, m_file);
    }

private:
    void Flush()
    {
        if (m_file.write(m_buffer) != m_buffer.size())
            raiseInOutError(u"Cannot write"_s, m_file);
        m_buffer.clear();
    }

    QSaveFile m_file; // discarded unless committed
    bool m_scrambled;
    QByteArray m_buffer;
};

// --- Reading ----------------------------------------------------------------------

// The lines of a data file: UTF-8, ended by CR LF or LF; a last line may lack its
// end. A byte-order mark at the start is skipped.
class DataFileReader
{
public:
    explicit DataFileReader(const QString &fileName) : m_file(fileName)
    {
        if (!m_file.open(QIODevice::ReadOnly))
            raiseInOutError(u"Cannot open"_s, m_file);
        Fill();
        if (m_buffer.startsWith("\xEF\xBB\xBF"))
            m_next = 3;
    }

    // The next line without its end; false at the end of the file.
    bool Next(QString &line)
    {
        qsizetype end;
        // A long line is searched for its end once, block by block.
        qsizetype from = m_next;
        while ((end = m_buffer.indexOf('\n', from)) < 0 && !m_atEnd) {
            from = m_buffer.size() - m_next;
            Fill();
        }
        if (end < 0) {
            if (m_next >= m_buffer.size())
                return false;
            end = m_buffer.size(); // the last line, without its end
        }
        qsizetype length = end - m_next;
        if (length > 0 && end < m_buffer.size() && m_buffer[end - 1] == '\r')
            --length;
        line = QString::fromUtf8(m_buffer.constData() + m_next, length);
        m_next = end + 1;
        return true;
    }

private:
    void Fill()
    {
        m_buffer.remove(0, m_next);
        m_next = 0;
        const qsizetype size = m_buffer.size();
        m_buffer.resize(size + BlockSize);
        const qint64 read = m_file.read(m_buffer.data() + size, BlockSize);
        if (read < 0)
            raiseInOutError(u"Cannot read"_s, m_file);
        m_buffer.resize(size + read);
        m_atEnd = read == 0;
    }

    QFile m_file;
    QByteArray m_buffer;
    qsizetype m_next = 0;
    bool m_atEnd = false;
};

// The items of a line split at every separator, as dvStringItem numbers them:
// item k (from 1) of "a;b;" is "a", "b" and then empty.
class Items
{
public:
    Items(QStringView line, QChar separator, qsizetype count)
    {
        m_items.reserve(count);
        qsizetype from = 0;
        while (qsizetype(m_items.size()) < count && from <= line.size()) {
            qsizetype at = line.indexOf(separator, from);
            if (at < 0)
                at = line.size();
            m_items.push_back(line.mid(from, at - from));
            from = at + 1;
        }
    }

    QStringView At(qsizetype k) const
    {
        return k >= 1 && k <= qsizetype(m_items.size()) ? m_items[k - 1] : QStringView();
    }

private:
    std::vector<QStringView> m_items;
};

// An item as it goes into the INSERT: "||" back to CR LF and æ to the separator,
// and the bare Boolean codes Y and N as the literals the database accepts.
QString insertValue(QStringView item, QChar separator)
{
    if (item == u"Y")
        return u"TRUE"_s;
    if (item == u"N")
        return u"FALSE"_s;
    QString value = item.toString();
    if (!value.contains(LineBreakSubstitute) && !value.contains(SeparatorSubstitute))
        return value;
    value.replace(LineBreakSubstitute, u"\r\n"_s);
    value.replace(SeparatorSubstitute, separator);
    return value;
}

// Values that a parameter can carry with the very result that the literal has
// in the statement text. Anything else goes into the statement text.
enum class Literal {
    Other,
    Null,    // null, in any letter case
    Text,    // "..." without a double quote inside: its inside, as text
    Number,  // -ddd or -ddd.ddd, at most 18 digits: an exact decimal (a 64-bit
             // integer with a scale), which is what the literal is
    Boolean, // TRUE or FALSE: the text, converted like the literal
};
// A number with an exponent is a double literal, which the database reads with
// rounding of its own, and writes into a text column in a form of its own: as
// neither a double nor a text parameter gives the same for every column type,
// such rows (rare: the export writes exponents only below 0.00001 and beyond
// 15 integer digits) go as text.

Literal literalOf(QStringView value)
{
    const qsizetype n = value.size();
    if (n >= 2 && value.front() == u'"' && value.back() == u'"')
        return value.mid(1, n - 2).contains(u'"') ? Literal::Other : Literal::Text;
    if (value.compare(u"null", Qt::CaseInsensitive) == 0)
        return Literal::Null;
    if (value == u"TRUE" || value == u"FALSE")
        return Literal::Boolean;
    qsizetype i = value.startsWith(u'-') ? 1 : 0;
    bool fraction = false;
    int digits = 0; // without the zeros that lead the integer part
    const auto skipDigits = [&] {
        const qsizetype start = i;
        for (; i < n && value[i] >= u'0' && value[i] <= u'9'; ++i) {
            if (fraction || digits > 0 || value[i] != u'0')
                ++digits;
        }
        return i > start;
    };
    if (!skipDigits())
        return Literal::Other;
    if (i < n && value[i] == u'.') {
        ++i;
        fraction = true;
        if (!skipDigits())
            return Literal::Other;
    }
    return i == n && digits <= 18 ? Literal::Number : Literal::Other;
}

// Inserts the rows of one file.
class Importer
{
public:
    Importer(const QString &table, QChar separator, dvt::transfer::Statements statements)
        : m_table(table)
        , m_separator(separator)
        , m_usePrepared(statements == dvt::transfer::Statements::Prepared)
    {}

    void ReadHeader(QStringView header)
    {
        // A table that cannot be read leaves every name unknown.
        m_query.Prepare(u"select * from "_s + m_table);
        QString skipList;
        const Items names(header, m_separator, header.count(m_separator) + 1);
        for (qsizetype k = 1; !names.At(k).isEmpty(); ++k) {
            const QString name = names.At(k).toString();
            ++m_count;
            if (m_query.FieldIndex(name) >= 0) {
                m_columnList += u',' + name;
                ++m_columnCount;
            } else {
                skipList += dvStrZero(double(k), 3, 0) + u',';
            }
            m_events.Tick();
        }
        m_columnList.remove(0, 1);
        m_query.Close();
        // An entry of the list, not any part of it: from item 1000 on, "001"
        // would also be found inside "1001".
        const QStringList skipped = skipList.split(u',');
        const QSet<QString> skippedSet(skipped.cbegin(), skipped.cend());
        m_included.resize(size_t(m_count) + 1);
        for (qsizetype k = 1; k <= m_count; ++k)
            m_included[size_t(k)] = !skippedSet.contains(dvStrZero(double(k), 3, 0));
        if (m_usePrepared)
            PrepareInsert();
    }

    void Insert(QStringView line)
    {
        const Items items(line, m_separator, m_count);
        m_values.clear();
        m_literals.clear();
        bool literals = true;
        for (qsizetype k = 1; k <= m_count; ++k) {
            if (!m_included[size_t(k)])
                continue;
            m_values.push_back(insertValue(items.At(k), m_separator));
            m_literals.push_back(literalOf(m_values.back()));
            literals = literals && m_literals.back() != Literal::Other;
        }
        if (literals && m_insertPrepared && qsizetype(m_values.size()) == m_columnCount) {
            BindValues();
            if (m_insert.ExecutePrepared()) {
                ++m_counts.prepared;
                return;
            }
            // A refused row is refused as text too; a statement lost with its
            // connection is prepared again after the text has run.
            if (m_insert.ParamCount() > 0) {
                ++m_counts.failed;
                return;
            }
            m_insertPrepared = false;
            InsertText();
            PrepareInsert();
            return;
        }
        InsertText();
    }

    // Sets the generator named like the table to the highest code.
    void ReseedGenerator()
    {
        if (!m_query.Select(
                QStringList{u"select code"_s, u"from "_s + m_table, u"order by code descending"_s}))
            return;
        // The code read as an integer: a number as it is (NULL as 0), a text
        // when it holds one; any other code is no integer.
        bool isInteger = false;
        qint64 code = 0;
        switch (formOf(m_query.FieldDefs().at(0).DataType)) {
        case Form::Integer:
        case Form::Float:
            code = m_query.AsLargeInt(0);
            isInteger = true;
            break;
        case Form::Text:
            code = m_query.AsString(0).trimmed().toLongLong(&isInteger);
            break;
        case Form::Memo:
        case Form::Boolean:
        case Form::Date:
        case Form::Time:
        case Form::Null:
            break;
        }
        m_query.Close();
        if (isInteger)
            m_query.Execute(u"set generator "_s + m_table + u" to "_s + QString::number(code));
    }

    const dvt::transfer::ImportCounts &Counts() const { return m_counts; }
    bool TransactionLost() const { return m_query.TransactionLost(); }
    EventPump &Events() { return m_events; }

private:
    void PrepareInsert()
    {
        if (m_columnList.isEmpty())
            return;
        QString marks = u"?"_s;
        for (qsizetype i = 1; i < m_columnCount; ++i)
            marks += u",?"_s;
        m_insertPrepared = m_insert.Prepare(u"insert into "_s + m_table + u" ("_s + m_columnList
                                            + u") values ("_s + marks + u')');
    }

    void BindValues()
    {
        for (int i = 0; i < int(m_values.size()); ++i) {
            const QString &value = m_values[size_t(i)];
            switch (m_literals[size_t(i)]) {
            case Literal::Null:
                m_insert.SetParamNull(i);
                break;
            case Literal::Text:
                m_insert.SetParamText(i, value.mid(1, value.size() - 2));
                break;
            case Literal::Number: {
                const qsizetype point = value.indexOf(u'.');
                if (point < 0) {
                    m_insert.SetParamInteger(i, value.toLongLong());
                } else {
                    const QString digits = value.left(point) + value.mid(point + 1);
                    m_insert.SetParamInteger(i, digits.toLongLong(), int(point - value.size() + 1));
                }
                break;
            }
            case Literal::Boolean:
            case Literal::Other:
                m_insert.SetParamText(i, value);
                break;
            }
        }
    }

    void InsertText()
    {
        QString statement = u"insert into "_s + m_table + u" ("_s + m_columnList + u") values ("_s;
        for (size_t i = 0; i < m_values.size(); ++i) {
            if (i > 0)
                statement += u',';
            statement += m_values[i];
        }
        statement += u')';
        if (m_query.Execute(statement))
            ++m_counts.text;
        else
            ++m_counts.failed;
    }

    QString m_table;
    QChar m_separator;
    bool m_usePrepared;
    qsizetype m_count = 0;        // items named by the header
    std::vector<bool> m_included; // by item number: the table has the column
    QString m_columnList;
    qsizetype m_columnCount = 0;     // in the column list
    std::vector<QString> m_values;   // of the row being inserted
    std::vector<Literal> m_literals; // what each of them is
    TdvQuery m_query;                // the table's columns, statement texts, the generator
    TdvQuery m_insert;               // the prepared INSERT
    bool m_insertPrepared = false;
    dvt::transfer::ImportCounts m_counts;
    EventPump m_events;
};

} // namespace

void dvExport(const QString &table, const QString &fileName, QChar separator, bool scrambled)
{
    TdvQuery query;
    query.SetUnidirectional(true);
    if (!query.Select(u"select * from "_s + table))
        return;

    DataFileWriter file(dataFileName(table, fileName), scrambled);
    const QList<dvt::TFieldDef> &fields = query.FieldDefs();
    QString line;
    for (const dvt::TFieldDef &field : fields) {
        line += field.Name;
        line += separator;
    }
    file.Write(line);

    EventPump events;
    std::vector<Form> forms;
    for (const dvt::TFieldDef &field : fields)
        forms.push_back(formOf(field.DataType));
    while (!query.Eof()) {
        line.clear();
        for (int i = 0; i < int(forms.size()); ++i) {
            appendValue(line, query, i, forms[size_t(i)], separator);
            line += separator;
        }
        file.Write(line);
        query.Next();
        events.Tick();
    }
    // A read that failed part way, or a result closed under the loop (its
    // transaction ended meanwhile), leaves the old file as it was.
    if (query.Error().isEmpty() && query.IsOpen())
        file.Commit();
}

void dvImport(const QString &table, const QString &fileName, QChar separator, bool scrambled)
{
    dvt::transfer::Import(table, fileName, separator, scrambled,
                          dvt::transfer::Statements::Prepared);
}

namespace dvt::transfer {

ImportCounts Import(const QString &table, const QString &fileName, QChar separator, bool scrambled,
                    Statements statements)
{
    DataFileReader file(dataFileName(table, fileName));
    const auto unscrambled = [scrambled](QString &line) {
        if (scrambled)
            line = dvDeCrypt(line, 0);
    };
    Importer importer(table, separator, statements);
    QString line;
    if (file.Next(line))
        unscrambled(line);
    importer.ReadHeader(line);
    // A transaction lost with its connection would refuse every further row.
    while (!importer.TransactionLost() && file.Next(line)) {
        unscrambled(line);
        importer.Insert(line);
        importer.Events().Tick();
    }
    importer.ReseedGenerator();
    return importer.Counts();
}

} // namespace dvt::transfer
