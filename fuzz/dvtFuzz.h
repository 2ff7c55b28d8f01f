#pragma once

// The fuzz targets: each takes one input of arbitrary bytes, runs a parser over
// it and checks what must hold for every input, throwing Violation when it does
// not. The same functions serve libFuzzer (fuzzMain.cpp) and the replay of the
// kept corpora in the test suite.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>

#include "dvtException.h"

namespace dvt::fuzz {

int fuzzFormat(const uint8_t *data, size_t size);
int fuzzFormatDateTime(const uint8_t *data, size_t size);
int fuzzStrToDateTime(const uint8_t *data, size_t size);
int fuzzStrToFloat(const uint8_t *data, size_t size);
int fuzzDvStrToNumber(const uint8_t *data, size_t size);
int fuzzIniFile(const uint8_t *data, size_t size);
int fuzzKeptValues(const uint8_t *data, size_t size);
int fuzzImport(const uint8_t *data, size_t size);
int fuzzDeCrypt(const uint8_t *data, size_t size);

// A broken invariant: a finding, never caught by a target.
class Violation : public std::logic_error
{
public:
    explicit Violation(const QString &what) : std::logic_error(what.toStdString()) {}
};

// Reads typed values from the front of an input; an exhausted input gives zeros
// and empty texts, so that every input is usable.
class Input
{
public:
    Input(const uint8_t *data, size_t size)
        : m_bytes(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)))
    {}

    bool AtEnd() const { return m_pos >= m_bytes.size(); }
    quint8 Byte() { return AtEnd() ? 0 : quint8(m_bytes[m_pos++]); }

    // The next bytes, little-endian.
    quint64 Bits(int bytes = 8)
    {
        quint64 bits = 0;
        for (int i = 0; i < bytes; ++i)
            bits |= quint64(Byte()) << (8 * i);
        return bits;
    }

    double Float()
    {
        const quint64 bits = Bits();
        double value;
        static_assert(sizeof value == sizeof bits);
        memcpy(&value, &bits, sizeof value);
        return value;
    }

    // UTF-8 up to the next zero byte (skipped) or the end.
    QString Text()
    {
        qsizetype end = m_bytes.indexOf('\0', m_pos);
        if (end < 0)
            end = m_bytes.size();
        const QString text = QString::fromUtf8(m_bytes.constData() + m_pos, end - m_pos);
        m_pos = end + 1;
        return text;
    }

    QByteArray RestBytes()
    {
        const QByteArray rest = AtEnd() ? QByteArray() : m_bytes.mid(m_pos);
        m_pos = m_bytes.size();
        return rest;
    }

private:
    QByteArray m_bytes;
    qsizetype m_pos = 0;
};

// The result of a conversion that comes as a Try form answering false and a
// raising form throwing EConvertError, after checking that the two agree and
// that a failed Try leaves its result alone.
template<typename T, typename TryForm, typename RaisingForm>
std::optional<T> convertedAlike(const QString &text, TryForm tryForm, RaisingForm raisingForm,
                                const char *name)
{
    const T untouched = T(-12345);
    T tried = untouched;
    const bool ok = tryForm(text, tried);
    std::optional<T> raised;
    try {
        raised = raisingForm(text);
    } catch (const EConvertError &) {
    }
    if (ok != raised.has_value() || (ok && tried != *raised) || (!ok && tried != untouched))
        throw Violation(QStringLiteral("%1: Try and raising forms disagree on '%2'")
                            .arg(QLatin1String(name), text));
    return raised;
}

} // namespace dvt::fuzz
