#include "dvTransfer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QStringView>
#include <QUtf8StringView>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dvCrypt.h"
#include "dvQuery.h"
#include "dvTransfer_p.h"
#include "dvtApplication.h"
#include "dvtDateTime.h"
#include "dvtFormat.h"
#include "dvtFormatSettings.h"
#include "dvtFormat_p.h"

using namespace Qt::StringLiterals;

namespace {

// What stands in a value for the separator; "||" stands for a line break.
constexpr QChar SeparatorSubstitute = u'\u00E6'; // æ
constexpr char SeparatorSubstituteUtf8[] = "\xC3\xA6";

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

    // Called for every row; the clock is read every so many rows only.
    void Tick()
    {
        if (++m_ticks % TicksPerLook == 0 && m_timer.hasExpired(EventInterval)) {
            dvt::ProcessMessages();
            m_timer.restart();
        }
    }

private:
    static constexpr qint64 EventInterval = 10; // milliseconds
    static constexpr unsigned TicksPerLook = 64;
    QElapsedTimer m_timer;
    unsigned m_ticks = 0;
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

// Lines are built and collected in std::string, which appends more cheaply than
// QByteArray.
void append(std::string &to, QByteArrayView bytes)
{
    to.append(bytes.data(), size_t(bytes.size()));
}

// A line is built as UTF-8 straight from the database's bytes: the values that
// stand in the file as they are stored (texts, memos) are never converted to
// QString and back.
class LineBuilder
{
public:
    explicit LineBuilder(QChar separator)
        : m_separator(QString(separator).toUtf8())
        , m_lineBreak(
              QString(separator == u'|' ? SeparatorSubstitute : QChar(u'|')).repeated(2).toUtf8())
        , m_dateSeparator(QString(dvt::FormatSettings().DateSeparator).toUtf8())
        , m_timeSeparator(QString(dvt::FormatSettings().TimeSeparator).toUtf8())
    {
        const auto mark = [](std::array<bool, 256> &bytes, char c) {
            bytes[static_cast<unsigned char>(c)] = true;
        };
        mark(m_special[0], m_separator.front());
        m_special[1] = m_special[0];
        const QChar decimalSeparator = dvt::FormatSettings().DecimalSeparator;
        m_numbersPlain =
            !QStringView(u"0123456789+-.E").contains(separator) && separator != decimalSeparator;
        for (const char c : {'"', '\r', '\n'})
            mark(m_special[1], c);
    }

    // Where the values are appended, from here on.
    void AppendTo(std::string &line) { m_line = &line; }

    void AppendSeparator() { append(*m_line, m_separator); }

    // A value with the separator written as æ.
    void AppendPlain(QByteArrayView value) { Append(value, false); }

    // A number's text, of digits, signs, "E" and the decimal separator: looked
    // through only when the separator is one of them.
    void AppendNumber(QByteArrayView value)
    {
        if (m_numbersPlain)
            append(*m_line, value);
        else
            AppendPlain(value);
    }

    // The inside of a quoted value: double quotes deleted, each line break (CR LF,
    // LF or CR) as "||", the separator as æ. One pass gives what the three
    // substitutions give one after the other, so with "|" as the separator a
    // line break becomes "ææ".
    void AppendQuoted(QByteArrayView value)
    {
        *m_line += '"';
        Append(value, true);
        *m_line += '"';
    }

    void AppendValue(const TdvQuery &query, int field, Form form)
    {
        // Numbers read NULL as 0, which is what is written for them.
        if (form == Form::Integer) {
            char digits[24];
            const auto end =
                std::to_chars(digits, digits + sizeof digits, query.AsLargeInt(field)).ptr;
            AppendNumber(QByteArrayView(digits, end - digits));
            return;
        }
        if (form == Form::Float) {
            const double value = query.AsFloat(field);
            if (std::isfinite(value))
                AppendFloat(value);
            else
                AppendPlain("0");
            return;
        }
        if (form == Form::Text || form == Form::Memo) {
            const QByteArrayView text = query.AsUtf8(field); // null for NULL
            if (text.isNull())
                AppendPlain("null");
            else
                AppendQuoted(form == Form::Text ? trimmed(text) : text);
            return;
        }
        if (form == Form::Null || query.IsNull(field)) {
            AppendPlain("null");
            return;
        }
        switch (form) {
        case Form::Boolean:
            AppendPlain(query.AsBoolean(field) ? "Y" : "N");
            break;
        case Form::Date:
        case Form::Time:
            AppendDateTime(query.AsDateTime(field), form);
            break;
        case Form::Text:
        case Form::Memo:
        case Form::Integer:
        case Form::Float:
        case Form::Null:
            break;
        }
    }

private:
    // The number's text is ASCII but for a decimal separator that may not be.
    void AppendFloat(double value)
    {
        std::array<char16_t, dvt::detail::MaxFloatText> text;
        const int length = dvt::detail::FiniteFloatToStr(value, text);
        const auto end = text.cbegin() + length;
        if (!std::all_of(text.cbegin(), end, [](char16_t c) { return c < 0x80; })) {
            AppendNumber(QStringView(text.data(), length).toUtf8());
            return;
        }
        char ascii[dvt::detail::MaxFloatText];
        std::transform(text.cbegin(), end, ascii, [](char16_t c) { return char(c); });
        AppendNumber(QByteArrayView(ascii, length));
    }

    // Blanks and control characters, single bytes in UTF-8, at both ends.
    static QByteArrayView trimmed(QByteArrayView text)
    {
        qsizetype start = 0;
        qsizetype end = text.size();
        while (start < end && static_cast<unsigned char>(text[start]) <= ' ')
            ++start;
        while (end > start && static_cast<unsigned char>(text[end - 1]) <= ' ')
            --end;
        return text.sliced(start, end - start);
    }

    // "mm/dd/yyyy" or "hh:nn:ss" in double quotes with the locale's separators,
    // as FormatDateTime writes them; null outside the years 1 to 9999.
    void AppendDateTime(dvt::TDateTime value, Form form)
    {
        int parts[3];
        int unused;
        try {
            if (form == Form::Date)
                dvt::DecodeDate(value, parts[2], parts[0], parts[1]);
            else
                dvt::DecodeTime(value, parts[0], parts[1], parts[2], unused);
        } catch (const dvt::Exception &) {
            AppendPlain("null");
            return;
        }
        const QByteArray &separator = form == Form::Date ? m_dateSeparator : m_timeSeparator;
        char text[32];
        char *at = text;
        for (int i = 0; i < 3; ++i) {
            const int digits = i == 2 && form == Form::Date ? 4 : 2;
            for (int k = digits - 1, rest = parts[i]; k >= 0; --k, rest /= 10)
                at[k] = char('0' + rest % 10);
            at += digits;
            if (i < 2)
                at = std::copy(separator.cbegin(), separator.cend(), at);
        }
        AppendQuoted(QByteArrayView(text, at - text));
    }

    void Append(QByteArrayView value, bool quoted)
    {
        const std::array<bool, 256> &special = m_special[quoted];
        const char first = m_separator.front();
        const char *data = value.data();
        const qsizetype n = value.size();
        qsizetype start = 0;
        qsizetype i = 0;
        while (i < n) {
            if (i + 8 <= n && !HoldsSpecial(data + i, quoted)) {
                i += 8;
                continue;
            }
            // One of the next eight bytes, or of the last few, may be special.
            const qsizetype end = std::min(i + 8, n);
            while (i < end && !special[static_cast<unsigned char>(data[i])])
                ++i;
            if (i == end)
                continue;
            const char c = data[i];
            if (c == first && !value.sliced(i).startsWith(m_separator)) {
                ++i; // the first byte of another character
                continue;
            }
            append(*m_line, value.sliced(start, i - start));
            if (c == first) {
                *m_line += SeparatorSubstituteUtf8;
                i += m_separator.size();
            } else if (c == '\r' || c == '\n') {
                append(*m_line, m_lineBreak);
                i += c == '\r' && i + 1 < n && data[i + 1] == '\n' ? 2 : 1;
            } else {
                ++i; // a double quote, deleted
            }
            start = i;
        }
        append(*m_line, value.sliced(start));
    }

    // Whether eight bytes hold one that Append looks at, tested all at once: a
    // byte equal to c is a zero byte of the word xor c repeated.
    bool HoldsSpecial(const char *bytes, bool quoted) const
    {
        constexpr std::uint64_t Ones = 0x0101010101010101;
        std::uint64_t word;
        std::memcpy(&word, bytes, sizeof word);
        const auto zeroBytes = [&](char c) {
            const std::uint64_t v = word ^ (Ones * static_cast<unsigned char>(c));
            return (v - Ones) & ~v & (Ones << 7);
        };
        std::uint64_t found = zeroBytes(m_separator.front());
        if (quoted)
            found |= zeroBytes('"') | zeroBytes('\r') | zeroBytes('\n');
        return found != 0;
    }

    QByteArray m_separator; // UTF-8
    // The bytes Append looks at: the separator's first, and in a quoted value
    // also the quote and the line breaks.
    std::array<bool, 256> m_special[2] = {};
    bool m_numbersPlain = false; // no number's text holds the separator
    QByteArray m_lineBreak;      // "||", or "ææ" with "|" as the separator
    QByteArray m_dateSeparator;
    QByteArray m_timeSeparator;
    std::string *m_line = nullptr;
};

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

    // Where the next line is appended, in UTF-8 without its end: the file's
    // buffer itself, unless the line is scrambled as a whole. EndLine ends it.
    std::string &Line() { return m_scrambled ? m_line : m_buffer; }

    void EndLine()
    {
        if (m_scrambled) {
            append(m_buffer, dvEnCrypt(QString::fromUtf8(m_line), 0).toUtf8());
            m_line.clear(); // keeps the capacity
        }
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
        if (m_file.write(m_buffer.data(), qint64(m_buffer.size())) != qint64(m_buffer.size()))
            raiseInOutError(u"Cannot write"_s, m_file);
        m_buffer.clear(); // keeps the capacity
    }

    QSaveFile m_file; // discarded unless committed
    bool m_scrambled;
    std::string m_buffer;
    std::string m_line; // a line to scramble
};

// --- Reading ----------------------------------------------------------------------

// Windows-1252 bytes 0x80 to 0x9F; the five it leaves undefined map to the
// control characters of the same number.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Writes a character as UTF-8; a surrogate, half of a character, becomes three
// bytes that valid UTF-8 never holds.
char *writeUtf8(char16_t c, char *out)
{
    if (c < 0x80) {
        *out++ = char(c);
    } else if (c < 0x800) {
        *out++ = char(0xC0 | c >> 6);
        *out++ = char(0x80 | (c & 0x3F));
    } else {
        *out++ = char(0xE0 | c >> 12);
        *out++ = char(0x80 | (c >> 6 & 0x3F));
        *out++ = char(0x80 | (c & 0x3F));
    }
    return out;
}

// A Windows-1252 line as UTF-8, into the buffer of the line before.
void convertWindows1252(QByteArrayView bytes, QByteArray &line)
{
    line.resize(bytes.size() * 3);
    char *out = line.data();
    for (const char b : bytes) {
        const auto byte = static_cast<unsigned char>(b);
        out = writeUtf8(byte >= 0x80 && byte < 0xA0 ? Windows1252High[byte - 0x80] : byte, out);
    }
    line.truncate(out - line.constData());
}

// Whether a table name is an identifier: plain, or in double quotes with inner
// quotes doubled.
bool isIdentifier(QStringView name)
{
    const auto isAsciiLetter = [](QChar c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    };
    if (name.size() >= 3 && name.front() == u'"' && name.back() == u'"') {
        const QStringView inside = name.mid(1, name.size() - 2);
        for (qsizetype i = 0; i < inside.size(); ++i) {
            if (inside[i] == u'"' && (++i == inside.size() || inside[i] != u'"'))
                return false;
        }
        return true;
    }
    if (name.isEmpty() || !isAsciiLetter(name.front()))
        return false;
    return std::all_of(name.begin(), name.end(), [&](QChar c) {
        return isAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u'_' || c == u'$';
    });
}

void requireIdentifier(const QString &table)
{
    if (!isIdentifier(table))
        throw dvt::EConvertError(u"'%1' is not a valid table name"_s.arg(table));
}

// A character as its UTF-8 bytes, found in UTF-8 text without decoding it.
class Utf8Char
{
public:
    explicit Utf8Char(QChar c) { m_size = writeUtf8(c.unicode(), m_bytes) - m_bytes; }

    QByteArrayView Bytes() const { return QByteArrayView(m_bytes, m_size); }

    // Where the character is in text from `from` on, or -1.
    qsizetype In(QByteArrayView text, qsizetype from) const
    {
        if (m_size > 1)
            return text.indexOf(Bytes(), from);
        if (from >= text.size())
            return -1;
        const void *at = std::memchr(text.data() + from, m_bytes[0], size_t(text.size() - from));
        return at ? static_cast<const char *>(at) - text.data() : -1;
    }

private:
    char m_bytes[3];
    qsizetype m_size;
};

// The items of a line split at every separator, taken one after the other as
// dvStringItem numbers them: "a;b;" holds "a", "b" and an empty last item.
class ItemSplitter
{
public:
    ItemSplitter(QByteArrayView line, const Utf8Char &separator)
        : m_line(line), m_separator(separator)
    {}

    // The next item into item; false after the last.
    bool Next(QByteArrayView &item)
    {
        if (m_from > m_line.size())
            return false;
        qsizetype at = m_separator.In(m_line, m_from);
        if (at < 0)
            at = m_line.size();
        item = m_line.sliced(m_from, at - m_from);
        m_from = at + m_separator.Bytes().size();
        return true;
    }

private:
    QByteArrayView m_line;
    const Utf8Char &m_separator;
    qsizetype m_from = 0;
};

bool holds(QByteArrayView text, char c)
{
    return !text.isEmpty() && std::memchr(text.data(), c, size_t(text.size()));
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether a character of valid UTF-8 is a space, as QChar::isSpace says.
bool isSpace(QByteArrayView character)
{
    char32_t c = static_cast<unsigned char>(character.front());
    if (character.size() > 1) {
        c &= 0x7Fu >> character.size(); // the bits of the lead byte
        for (const char b : character.sliced(1))
            c = c << 6 | (static_cast<unsigned char>(b) & 0x3F);
    }
    return QChar::isSpace(c);
}

// Without the spaces at both ends.
QByteArrayView trimmed(QByteArrayView item)
{
    const auto isPrintableAscii = [](char c) { return c > ' ' && c < '\x7F'; };
    if (!item.isEmpty() && isPrintableAscii(item.front()) && isPrintableAscii(item.back()))
        return item;
    while (!item.isEmpty()) {
        const auto lead = static_cast<unsigned char>(item.front());
        const qsizetype length = std::min<qsizetype>(lead < 0x80   ? 1
                                                     : lead < 0xE0 ? 2
                                                     : lead < 0xF0 ? 3
                                                                   : 4,
                                                     item.size());
        if (!isSpace(item.first(length)))
            break;
        item = item.sliced(length);
    }
    while (!item.isEmpty()) {
        qsizetype start = item.size() - 1;
        while (start > 0 && (item[start] & 0xC0) == 0x80)
            --start;
        if (!isSpace(item.sliced(start)))
            break;
        item.truncate(start);
    }
    return item;
}

// A number as the export writes it, with "." or the locale's decimal separator:
// [+-]digits[.digits][E[+-]digits]. Without an exponent, and with digits that
// make a 64-bit integer, it is exact, as the literal is to the database;
// otherwise a double (an integer beyond 64 bits is refused, as there).
bool readNumber(QByteArrayView item, const Utf8Char &decimalSeparator, dvt::transfer::Value &value)
{
    const qsizetype n = item.size();
    qsizetype i = 0;
    bool negative = false;
    if (i < n && (item[i] == '-' || item[i] == '+'))
        negative = item[i++] == '-';
    quint64 integer = 0;
    int digits = 0; // significant, those leading the integer part not counted
    int scale = 0;
    int mantissaDigits = 0;
    qsizetype point = -1; // where the decimal separator is
    for (; i < n; ++i) {
        const char c = item[i];
        if (isDigit(c)) {
            ++mantissaDigits;
            if (digits > 0 || c != '0' || point >= 0) {
                if (++digits <= 19)
                    integer = integer * 10 + quint64(c - '0');
            }
            if (point >= 0)
                --scale;
        } else if (point < 0 && c == '.') {
            point = i;
        } else if (point < 0 && item.sliced(i).startsWith(decimalSeparator.Bytes())) {
            point = i;
            i += decimalSeparator.Bytes().size() - 1;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return false;
    // The database takes a literal whose digits make a 64-bit integer for an
    // exact number, with the fraction's digits as its scale.
    constexpr auto Largest = quint64(std::numeric_limits<qint64>::max());
    const bool exact = digits <= 19 && integer <= Largest;
    if (i == n && point < 0 && !exact)
        return false; // an integer beyond 64 bits, which the database refuses too
    if (i == n && exact) {
        value.kind = dvt::transfer::Value::Kind::Decimal;
        value.integer = negative ? -qint64(integer) : qint64(integer);
        value.scale = scale;
        return true;
    }
    if (i < n && (item[i] == 'e' || item[i] == 'E')) {
        ++i;
        if (i < n && (item[i] == '-' || item[i] == '+'))
            ++i;
        const qsizetype exponentStart = i;
        while (i < n && isDigit(item[i]))
            ++i;
        if (i == exponentStart)
            return false;
    }
    if (i != n)
        return false;
    // from_chars reads "." and no plus sign.
    std::string ascii(item.data() + (item.front() == '+' ? 1 : 0), item.data() + n);
    if (point >= 0) {
        const qsizetype at = point - (item.front() == '+' ? 1 : 0);
        ascii.replace(size_t(at), size_t(item[point] == '.' ? 1 : decimalSeparator.Bytes().size()),
                      1, '.');
    }
    const char *first = ascii.data();
    const char *last = first + ascii.size();
    double number = 0;
    const auto [end, error] = std::from_chars(first, last, number);
    if (error == std::errc::result_out_of_range) {
        // The largest double with 15 digits rounds up beyond the range:
        // 1.79769313486232E308. Within that rounding it is the largest double.
        long double wide = 0;
        std::from_chars(first, last, wide);
        constexpr double LargestDouble = std::numeric_limits<double>::max();
        if (!(std::fabs(wide) <= static_cast<long double>(LargestDouble) * (1 + 5e-15L)))
            return false;
        number = std::copysign(LargestDouble, static_cast<double>(wide));
    } else if (error != std::errc() || end != last) {
        return false;
    }
    value.kind = dvt::transfer::Value::Kind::Double;
    value.number = number;
    return true;
}

// Reads one item; false when it is no value. "||" becomes CR LF and then æ the
// separator, in any item: a number written with the separator as its decimal
// separator reads back.
bool readValue(QByteArrayView item, const Utf8Char &separator, const Utf8Char &decimalSeparator,
               dvt::transfer::Value &value)
{
    using Kind = dvt::transfer::Value::Kind;
    item = trimmed(item);
    // Both substitutes in one pass, which gives what replacing every "||" and
    // then every æ gives.
    const std::string_view text(item.data(), size_t(item.size()));
    constexpr std::string_view LineBreak = "||";
    size_t lineBreak = text.find(LineBreak);
    size_t substitute = text.find(SeparatorSubstituteUtf8);
    if (lineBreak != text.npos || substitute != text.npos) {
        std::string &substituted = value.buffer;
        substituted.clear(); // keeps the capacity
        size_t start = 0;
        while (lineBreak != text.npos || substitute != text.npos) {
            const size_t at = std::min(lineBreak, substitute);
            substituted.append(text, start, at - start);
            if (at == lineBreak)
                substituted.append("\r\n");
            else
                substituted.append(separator.Bytes().data(), size_t(separator.Bytes().size()));
            start = at + 2; // both are two bytes
            if (lineBreak < start)
                lineBreak = text.find(LineBreak, start);
            if (substitute < start)
                substitute = text.find(SeparatorSubstituteUtf8, start);
        }
        substituted.append(text, start);
        item = QByteArrayView(substituted.data(), qsizetype(substituted.size()));
    }
    const qsizetype n = item.size();
    if (n >= 2 && item.front() == '"' && item.back() == '"') {
        const QByteArrayView inside = item.sliced(1, n - 2);
        if (holds(inside, '"'))
            return false;
        value.kind = Kind::Text;
        value.text = inside;
        return true;
    }
    // Numbers, the most common unquoted values, before the words.
    if (readNumber(item, decimalSeparator, value))
        return true;
    if (item.compare("null", Qt::CaseInsensitive) == 0) {
        value.kind = Kind::Null;
        return true;
    }
    const bool isTrue = item == "Y" || item.compare("TRUE", Qt::CaseInsensitive) == 0;
    if (isTrue || item == "N" || item.compare("FALSE", Qt::CaseInsensitive) == 0) {
        value.kind = Kind::Text;
        value.text = isTrue ? "TRUE" : "FALSE";
        return true;
    }
    return false;
}

} // namespace

namespace dvt::transfer {

LineReader::LineReader(const QString &fileName, TTextEncoding encoding)
    : m_file(fileName), m_encoding(encoding)
{
    if (!m_file.open(QIODevice::ReadOnly))
        raiseInOutError(u"Cannot open"_s, m_file);
    if (m_encoding == TTextEncoding::Detect) {
        m_encoding = IsValidUtf8() ? TTextEncoding::Utf8 : TTextEncoding::Windows1252;
        // Lines in what was checked are not checked again.
        if (m_encoding == TTextEncoding::Utf8)
            m_checked = m_file.pos();
        m_buffer.clear();
        m_bufferStart = 0;
        m_next = 0;
        m_atEnd = false;
        if (!m_file.seek(0))
            raiseInOutError(u"Cannot read"_s, m_file);
    }
    Fill();
}

// Reads the whole file, block by block; a character cut by the end of a block
// is checked with the next one.
bool LineReader::IsValidUtf8()
{
    while (!m_atEnd) {
        Fill();
        qsizetype end = m_buffer.size();
        if (!m_atEnd) {
            // Back to the start of the last character, which may be incomplete.
            qsizetype start = end;
            while (start > 0 && end - start < 4 && (m_buffer[start - 1] & 0xC0) == 0x80)
                --start;
            if (start > 0 && (m_buffer[start - 1] & 0x80))
                end = start - 1;
        }
        if (!QUtf8StringView(m_buffer.constData(), end).isValidUtf8())
            return false;
        m_next = end;
    }
    return true;
}

bool LineReader::Next(QByteArrayView &line, bool &decoded)
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
    QByteArrayView bytes(m_buffer.constData() + m_next, length);
    m_next = end + 1;
    ++m_lineNumber;
    if (m_encoding == TTextEncoding::Windows1252) {
        convertWindows1252(bytes, m_converted);
        line = m_converted;
        decoded = true;
        return true;
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    decoded = m_bufferStart + end <= m_checked || QUtf8StringView(bytes).isValidUtf8();
    line = decoded ? bytes : QByteArrayView();
    return true;
}

void LineReader::Fill()
{
    m_bufferStart += m_next;
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

Header MatchHeader(QByteArrayView line, QChar separator, const QList<TFieldDef> &fields)
{
    Header header;
    const Utf8Char separatorBytes(separator);
    ItemSplitter names(line, separatorBytes);
    QByteArrayView item;
    while (names.Next(item) && !item.isEmpty()) {
        const QString name = QString::fromUtf8(item);
        const bool known = std::any_of(fields.cbegin(), fields.cend(), [&](const TFieldDef &field) {
            return name.compare(field.Name, Qt::CaseInsensitive) == 0;
        });
        header.Place.push_back(known ? int(header.Columns.size()) : -1);
        if (known)
            header.Columns.append(name);
    }
    header.Items = qsizetype(header.Place.size());
    return header;
}

bool ReadValues(QByteArrayView line, QChar separator, const Header &header,
                std::vector<Value> &values, QString &reason)
{
    const Utf8Char separatorBytes(separator);
    const Utf8Char decimalSeparator(FormatSettings().DecimalSeparator);
    // A line with too few items is refused for that, whatever its items hold;
    // they are counted only for a line that is refused.
    const auto refuseShortLine = [&] {
        const qsizetype count = line.count(separatorBytes.Bytes()) + 1;
        if (count >= header.Items)
            return false;
        reason = u"The line has %1 items, the header %2"_s.arg(count).arg(header.Items);
        return true;
    };
    values.resize(size_t(header.Columns.size()));
    ItemSplitter items(line, separatorBytes);
    QByteArrayView item;
    for (qsizetype k = 0; k < header.Items; ++k) {
        if (!items.Next(item)) {
            refuseShortLine();
            return false;
        }
        const int place = header.Place[size_t(k)];
        if (place < 0)
            continue;
        if (!readValue(item, separatorBytes, decimalSeparator, values[size_t(place)])) {
            if (!refuseShortLine())
                reason = u"Item %1 (%2) is not a value: %3"_s.arg(k + 1).arg(
                    header.Columns[place], QString::fromUtf8(item).left(80));
            return false;
        }
    }
    return true;
}

} // namespace dvt::transfer

namespace {

// Inserts the rows of one file through one prepared INSERT.
class Importer
{
public:
    Importer(const QString &table, QChar separator, dvt::TImportReport &report)
        : m_table(table), m_separator(separator), m_report(report)
    {}

    // False when no row can be stored: the table cannot be read, or the header
    // names none of its columns.
    bool ReadHeader(QByteArrayView line)
    {
        QString reason;
        if (m_query.Prepare(u"select * from "_s + m_table)) {
            m_header = dvt::transfer::MatchHeader(line, m_separator, m_query.FieldDefs());
            FindNumericCode();
            m_query.Close();
            if (m_header.Columns.isEmpty())
                reason = u"The header names no column of %1"_s.arg(m_table);
            else if (!PrepareInsert())
                reason = m_insert.Error();
        } else {
            reason = m_query.Error();
        }
        if (!reason.isEmpty())
            Refuse(1, reason);
        return reason.isEmpty();
    }

    // False when the import must stop: the connection is lost for good.
    bool Insert(QByteArrayView line, qint64 number)
    {
        QString reason;
        if (!dvt::transfer::ReadValues(line, m_separator, m_header, m_values, reason)) {
            Refuse(number, reason);
            return true;
        }
        if (Execute())
            return true;
        // A transaction lost with its connection refuses every further row: the
        // import ends, and the application's Rollback ends the transaction.
        if (m_insert.TransactionLost()) {
            Refuse(number, m_insert.Error());
            return false;
        }
        // Outside a transaction a statement lost with its connection is prepared
        // on a new one and the row tried again; a connection that cannot be
        // opened ends the import.
        if (m_insert.ParamCount() == 0) {
            const QString lost = m_insert.Error();
            if (!PrepareInsert()) {
                Refuse(number, lost);
                return false;
            }
            if (Execute())
                return true;
        }
        Refuse(number, m_insert.Error());
        return true;
    }

    // Sets the generator named like the table to the highest code, the first of
    // the codes in descending order, found without sorting them: an empty table
    // gives no row, codes that are all NULL give NULL. It is first looked for
    // among the codes from the highest this import stored on, which an index on
    // the codes finds without reading the table; all codes are read only when
    // none is that high (a trigger changed them).
    void ReseedGenerator()
    {
        const QString from = u"from "_s + m_table;
        const bool found =
            m_highestCode && std::fabs(*m_highestCode) < 1e15
            && m_query.Select(QStringList{
                u"select max(code)"_s, from,
                u"where code >= "_s + QString::number(qint64(std::floor(*m_highestCode)))})
            && !m_query.IsNull(0);
        if (!found
            && !m_query.Select(QStringList{u"select max(code)"_s, from, u"having count(*) > 0"_s}))
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

    // Records a line that was not stored.
    void Refuse(qint64 line, const QString &reason)
    {
        ++m_report.LinesRefused;
        if (m_report.Refused.size() < dvt::TImportReport::MaxRefusals)
            m_report.Refused.append({line, reason});
    }

    EventPump &Events() { return m_events; }

private:
    bool PrepareInsert()
    {
        QString marks = u"?"_s;
        for (qsizetype i = 1; i < m_header.Columns.size(); ++i)
            marks += u",?"_s;
        return m_insert.Prepare(u"insert into "_s + m_table + u" ("_s + m_header.Columns.join(u',')
                                + u") values ("_s + marks + u')');
    }

    bool Execute()
    {
        using Kind = dvt::transfer::Value::Kind;
        for (int i = 0; i < int(m_values.size()); ++i) {
            const dvt::transfer::Value &value = m_values[size_t(i)];
            switch (value.kind) {
            case Kind::Null:
                m_insert.SetParamNull(i);
                break;
            case Kind::Text:
                m_insert.SetParamUtf8(i, value.text);
                break;
            case Kind::Decimal:
                m_insert.SetParamInteger(i, value.integer, value.scale);
                break;
            case Kind::Double:
                m_insert.SetParamFloat(i, value.number);
                break;
            }
        }
        if (!m_insert.ExecutePrepared())
            return false;
        ++m_report.RowsStored;
        if (m_codePlace >= 0)
            NoteCode(m_values[size_t(m_codePlace)]);
        return true;
    }

    // The place of the table's code among the INSERT's columns, when it is a
    // number.
    void FindNumericCode()
    {
        const auto isCode = [](QStringView name) {
            return name.compare(u"code", Qt::CaseInsensitive) == 0;
        };
        const QList<dvt::TFieldDef> &fields = m_query.FieldDefs();
        const auto field = std::find_if(fields.cbegin(), fields.cend(),
                                        [&](const dvt::TFieldDef &f) { return isCode(f.Name); });
        const QStringList &columns = m_header.Columns;
        const auto column = std::find_if(columns.cbegin(), columns.cend(), isCode);
        if (field == fields.cend() || column == columns.cend())
            return;
        const Form form = formOf(field->DataType);
        if (form == Form::Integer || form == Form::Float)
            m_codePlace = int(column - columns.cbegin());
    }

    void NoteCode(const dvt::transfer::Value &value)
    {
        using Kind = dvt::transfer::Value::Kind;
        if (value.kind != Kind::Decimal && value.kind != Kind::Double)
            return;
        double code = value.kind == Kind::Double ? value.number : double(value.integer);
        if (value.kind == Kind::Decimal && value.scale != 0)
            code *= std::pow(10.0, value.scale);
        if (!m_highestCode || code > *m_highestCode)
            m_highestCode = code;
    }

    QString m_table;
    QChar m_separator;
    dvt::TImportReport &m_report;
    dvt::transfer::Header m_header;
    std::vector<dvt::transfer::Value> m_values; // of the line being inserted
    int m_codePlace = -1;                       // of a numeric code among m_values
    std::optional<double> m_highestCode;        // of the rows stored
    TdvQuery m_query;                           // the table's columns, the generator
    TdvQuery m_insert;                          // the prepared INSERT
    EventPump m_events;
};

} // namespace

void dvExport(const QString &table, const QString &fileName, QChar separator, bool scrambled)
{
    requireIdentifier(table);
    TdvQuery query;
    query.SetUnidirectional(true);
    if (!query.Select(u"select * from "_s + table))
        return;

    DataFileWriter file(dataFileName(table, fileName), scrambled);
    const QList<dvt::TFieldDef> &fields = query.FieldDefs();
    QString header;
    for (const dvt::TFieldDef &field : fields) {
        header += field.Name;
        header += separator;
    }
    append(file.Line(), header.toUtf8());
    file.EndLine();

    EventPump events;
    std::vector<Form> forms;
    for (const dvt::TFieldDef &field : fields)
        forms.push_back(formOf(field.DataType));
    LineBuilder line(separator);
    line.AppendTo(file.Line());
    while (!query.Eof()) {
        for (int i = 0; i < int(forms.size()); ++i) {
            line.AppendValue(query, i, forms[size_t(i)]);
            line.AppendSeparator();
        }
        file.EndLine();
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
    dvImport(table, fileName, separator, scrambled, nullptr);
}

void dvImport(const QString &table, const QString &fileName, QChar separator, bool scrambled,
              dvt::TImportReport *report, dvt::TTextEncoding encoding)
{
    requireIdentifier(table);
    dvt::TImportReport local;
    dvt::TImportReport &result = report ? *report : local;
    result = {};
    dvt::transfer::LineReader file(dataFileName(table, fileName), encoding);
    Importer importer(table, separator, result);
    QByteArrayView line;
    QByteArray unscrambled;
    bool decoded = false;
    const auto next = [&] {
        if (!file.Next(line, decoded))
            return false;
        if (decoded && scrambled) {
            unscrambled = dvDeCrypt(QString::fromUtf8(line), 0).toUtf8();
            line = unscrambled;
        }
        return true;
    };
    const QString notDecoded = u"The line is not valid UTF-8"_s;
    const bool hasHeader = next();
    if (hasHeader && !decoded) {
        importer.Refuse(1, notDecoded);
        result.Stopped = true;
    } else if (!importer.ReadHeader(hasHeader ? line : QByteArrayView())) {
        result.Stopped = true;
    }
    while (!result.Stopped && next()) {
        if (!decoded)
            importer.Refuse(file.LineNumber(), notDecoded);
        else if (!importer.Insert(line, file.LineNumber()))
            result.Stopped = true;
        importer.Events().Tick();
    }
    importer.ReseedGenerator();
}
