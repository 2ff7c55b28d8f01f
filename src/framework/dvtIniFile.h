#pragma once

#include <QString>

namespace dvt {

// A text file of "[Section]" lines followed by "Key=Value" lines, read and written
// at each call so that several controls (and several programs) can share it.
// Unlike QSettings it keeps keys verbatim: "OrderForm/CustomerName" is one key,
// not a group. Sections and keys are matched ignoring letter case and surrounding
// blanks; a value is everything after the "=", blanks included. Values are one
// line each: a backslash, carriage return or line feed in a value is written as
// "\\", "\r" or "\n". A file name without a folder is placed in UserFolder().
class TIniFile
{
public:
    explicit TIniFile(const QString &fileName);

    const QString &FileName() const { return m_fileName; }

    // The value, or the default when the file, the section or the key is missing.
    QString ReadString(const QString &section, const QString &key,
                       const QString &defaultValue) const;
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;

    // Writes the value, creating the file and the section when missing. Answers
    // whether the file was written.
    bool WriteString(const QString &section, const QString &key, const QString &value);
    bool WriteInteger(const QString &section, const QString &key, int value);

private:
    QString m_fileName;
};

} // namespace dvt
