#include "dvtLogging.h"

#include "dvtComponent.h"

namespace dvt {

// Warnings and above unless the logging rules ask for more: a category's
// debug output is on by default otherwise.
Q_LOGGING_CATEGORY(lcFramework, "dvtools.framework", QtWarningMsg)
Q_LOGGING_CATEGORY(lcDb, "dvtools.db", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSql, "dvtools.sql", QtWarningMsg)
Q_LOGGING_CATEGORY(lcControls, "dvtools.controls", QtWarningMsg)
Q_LOGGING_CATEGORY(lcRecords, "dvtools.records", QtWarningMsg)
Q_LOGGING_CATEGORY(lcGrid, "dvtools.grid", QtWarningMsg)
Q_LOGGING_CATEGORY(lcForms, "dvtools.forms", QtWarningMsg)

QString Describe(const QObject *component)
{
    if (!component)
        return QStringLiteral("a null control");
    const QString name = component->objectName().isEmpty() ? QStringLiteral("(unnamed)")
                                                           : u'"' + component->objectName() + u'"';
    const QObject *owner = Owner(component);
    QString ownerName = owner ? owner->objectName() : QString();
    if (owner && ownerName.isEmpty())
        ownerName = QString::fromLatin1(owner->metaObject()->className());
    return QString::fromLatin1(component->metaObject()->className()) + u' ' + name
           + (owner ? QStringLiteral(" on ") + ownerName : QStringLiteral(" without a form"));
}

} // namespace dvt
