#pragma once

#include <QString>

namespace dvt {

// A text file of "[Section]" lines followed by "Key=Value" lines, read and written
// at each call so that several controls (and several programs) can share it.
// Unlike QSettings it keeps keys verbatim: "OrderForm/CustomerName" is one key,
// not a group. Sections and keys are matched ignoring letter case and surrounding
// blanks; a value is everything after the "=", blanks included, and is written
// and read verbatim: a backslash is an ordinary character, so a file written by
// hand or by another program reads as it is. A file name without a folder is
// placed in UserFolder().
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
    // whether the file was written. An entry is one line: a section, key or value
    // that holds a line feed or carriage return is refused and the file is left
    // as it was, since no verbatim form of it exists and any escape would change
    // the meaning of other values.
    bool WriteString(const QString &section, const QString &key, const QString &value);
    bool WriteInteger(const QString &section, const QString &key, int value);

private:
    QString m_fileName;
};

} // namespace dvt
