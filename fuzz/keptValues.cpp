// The kept-values file: the first line of the input names a control on the form
// "Form", the rest is the file. The control's value is read, written and read
// back; a second control's value must stay as it was.

#include <QFile>
#include <QObject>

#include "dvtComponent.h"
#include "dvtContract.h"
#include "dvtFolders.h"
#include "dvtFuzz.h"

using namespace Qt::StringLiterals;

namespace dvt::fuzz {

int fuzzKeptValues(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype end = bytes.indexOf('\n');
    const QString name = QString::fromUtf8(end < 0 ? bytes : bytes.left(end));
    const QByteArray contents = end < 0 ? QByteArray() : bytes.mid(end + 1);
    const QString fileName = UserFolder() + KeptValuesFileName();
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
        throw Violation(u"cannot write %1"_s.arg(fileName));
    file.close();

    QObject form;
    form.setObjectName(u"Form"_s);
    SetOwnerMark(&form);
    QObject control(&form);
    control.setObjectName(name);
    QObject other(&form);
    other.setObjectName(u"Other"_s);

    const QString missing = u"\u0001missing"_s;
    const QString otherBefore = ReadKeptValue(&other, missing);
    const QString value = ReadKeptValue(&control, missing).remove(u'\r').remove(u'\n') + u"\\n"_s;
    // A name with "=" or a line break cannot stand in the file.
    if (name.contains(u'=') || name.contains(u'\r'))
        return 0;
    WriteKeptValue(&control, value);
    const auto fail = [&](const QString &what) {
        throw Violation(u"kept value of '%1', '%2': %3"_s.arg(name, value, what));
    };
    // An unnamed control has no key of its own: it keeps nothing.
    if (name.isEmpty()) {
        if (ReadKeptValue(&control, missing) != missing
            || ReadKeptValue(&other, missing) != otherBefore)
            fail(u"an unnamed control kept a value"_s);
        return 0;
    }
    if (ReadKeptValue(&control, missing) != value)
        fail(u"reads back as '%1'"_s.arg(ReadKeptValue(&control, missing)));
    const bool same =
        KeptValueKey(&control).trimmed().compare(KeptValueKey(&other), Qt::CaseInsensitive) == 0;
    if (!same && ReadKeptValue(&other, missing) != otherBefore)
        fail(u"the other control's value changed"_s);
    return 0;
}

} // namespace dvt::fuzz
