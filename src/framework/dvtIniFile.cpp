#include "dvtIniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include "dvtFolders.h"

namespace dvt {

namespace {

QStringList readLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n');
}

bool isSection(QStringView line, QString *name = nullptr)
{
    const QStringView trimmed = line.trimmed();
    if (trimmed.size() < 2 || trimmed.front() != u'[' || trimmed.back() != u']')
        return false;
    if (name)
        *name = trimmed.mid(1, trimmed.size() - 2).trimmed().toString();
    return true;
}

// A name read from the file (already trimmed) and one a caller gave.
bool sameName(QStringView a, const QString &b)
{
    return a.compare(QStringView(b).trimmed(), Qt::CaseInsensitive) == 0;
}

// Whether the line is a "Key=Value" entry of the key; a line without "=" is
// no entry, not one of the blank key.
bool isEntryOf(QStringView line, const QString &key)
{
    const qsizetype eq = line.indexOf(u'=');
    return eq > 0 && sameName(line.left(eq).trimmed(), key);
}

} // namespace

TIniFile::TIniFile(const QString &fileName)
    : m_fileName(QFileInfo(fileName).fileName() == fileName && !fileName.isEmpty()
                     ? UserFolder() + fileName
                     : fileName)
{}

QString TIniFile::ReadString(const QString &section, const QString &key,
                             const QString &defaultValue) const
{
    bool inSection = false;
    const QStringList lines = readLines(m_fileName);
    for (const QString &line : lines) {
        QString name;
        if (isSection(line, &name)) {
            inSection = sameName(name, section);
            continue;
        }
        if (inSection && isEntryOf(line, key)) {
            QStringView value = QStringView(line).mid(line.indexOf(u'=') + 1);
            if (value.endsWith(u'\r'))
                value.chop(1);
            return value.toString();
        }
    }
    return defaultValue;
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    bool ok = false;
    const int value = ReadString(section, key, QString()).trimmed().toInt(&ok);
    return ok ? value : defaultValue;
}

bool TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    // A line break would end the entry early and start a line of its own.
    const auto oneLine = [](const QString &text) {
        return !text.contains(u'\n') && !text.contains(u'\r');
    };
    if (!oneLine(section) || !oneLine(key) || !oneLine(value))
        return false;
    QStringList lines = readLines(m_fileName);
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    const QString entry = key + u'=' + value;

    qsizetype sectionStart = -1; // the line after the section's header
    qsizetype insertAt = -1;     // after the section's last entry
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString name;
        if (isSection(lines[i], &name)) {
            if (sectionStart >= 0)
                break;
            if (sameName(name, section))
                sectionStart = insertAt = i + 1;
            continue;
        }
        if (sectionStart < 0)
            continue;
        if (isEntryOf(lines[i], key)) {
            lines[i] = entry;
            insertAt = -1;
            break;
        }
        if (!lines[i].trimmed().isEmpty())
            insertAt = i + 1;
    }
    if (sectionStart < 0) {
        if (!lines.isEmpty())
            lines.append(QString());
        lines.append(u'[' + section + u']');
        lines.append(entry);
    } else if (insertAt >= 0) {
        lines.insert(insertAt, entry);
    }

    QDir().mkpath(QFileInfo(m_fileName).absolutePath());
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    file.write((lines.join(u'\n') + u'\n').toUtf8());
    return file.commit();
}

bool TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    return WriteString(section, key, QString::number(value));
}

} // namespace dvt
