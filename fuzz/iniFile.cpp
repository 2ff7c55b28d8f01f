// The INI reader and writer over the input as a file: every section and key the
// file names is read, one of them is written, and the others must read as before.

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <vector>

#include "dvtFuzz.h"
#include "dvtIniFile.h"

using namespace Qt::StringLiterals;

namespace dvt::fuzz {

namespace {

struct Entry
{
    QString section;
    QString key;

    bool operator==(const Entry &other) const
    {
        return section.trimmed().compare(other.section.trimmed(), Qt::CaseInsensitive) == 0
               && key.trimmed().compare(other.key.trimmed(), Qt::CaseInsensitive) == 0;
    }

    // A key the file format can hold: not empty, no line break, and not read
    // as a section header.
    bool Writable() const
    {
        const QString name = key.trimmed();
        return !name.isEmpty() && !name.startsWith(u'[') && !key.contains(u'\r')
               && !section.contains(u'\r');
    }
};

constexpr qsizetype MaxEntries = 16;

// The sections and keys the text names, in order; keys before any section
// belong to the section "".
std::vector<Entry> namedEntries(const QString &text)
{
    std::vector<Entry> entries;
    QString section;
    const QStringList lines = text.split(u'\n');
    for (const QString &line : lines) {
        const QString trimmed = line.trimmed();
        const qsizetype eq = line.indexOf(u'=');
        if (trimmed.size() >= 2 && trimmed.startsWith(u'[') && trimmed.endsWith(u']'))
            section = trimmed.mid(1, trimmed.size() - 2);
        else if (eq > 0 && qsizetype(entries.size()) < MaxEntries)
            entries.push_back({section, line.left(eq)});
    }
    return entries;
}

} // namespace

int fuzzIniFile(const uint8_t *data, size_t size)
{
    static const QTemporaryDir folder;
    const QString fileName = folder.filePath(u"fuzz.ini"_s);
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw Violation(u"cannot write %1"_s.arg(fileName));
    file.close();

    TIniFile ini(fileName);
    std::vector<Entry> entries = namedEntries(QString::fromUtf8(bytes));
    const QString missing = u"\u0001missing"_s;
    QStringList before;
    for (const Entry &entry : entries) {
        before += ini.ReadString(entry.section, entry.key, missing);
        ini.ReadInteger(entry.section, entry.key, 0);
    }

    // The first key that can be written, else a new one, gets a value derived
    // from the old one: a single line, backslashes kept.
    Entry written{u"Fuzz"_s, u"Key"_s};
    QString value = u"new \\n value\\"_s;
    for (qsizetype i = 0; i < qsizetype(entries.size()); ++i) {
        if (entries[size_t(i)].Writable()) {
            written = entries[size_t(i)];
            value = before[i].remove(u'\r').remove(u'\n') + value;
            break;
        }
    }
    const auto fail = [&](const QString &what) {
        throw Violation(u"[%1] %2 = '%3': %4"_s.arg(written.section, written.key, value, what));
    };
    if (!ini.WriteString(written.section, written.key, value))
        fail(u"not written"_s);
    if (ini.ReadString(written.section, written.key, missing) != value)
        fail(u"reads back as '%1'"_s.arg(ini.ReadString(written.section, written.key, missing)));
    for (qsizetype i = 0; i < qsizetype(entries.size()); ++i) {
        const Entry &entry = entries[size_t(i)];
        if (!(entry == written) && ini.ReadString(entry.section, entry.key, missing) != before[i])
            fail(u"[%1] %2 changed"_s.arg(entry.section, entry.key));
    }
    return 0;
}

} // namespace dvt::fuzz
