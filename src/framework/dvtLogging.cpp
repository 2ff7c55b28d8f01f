#include "dvtLogging.h"

#include "dvtComponent.h"

namespace dvt {

Q_LOGGING_CATEGORY(lcFramework, "dvtools.framework")
Q_LOGGING_CATEGORY(lcSql, "dvtools.sql")
Q_LOGGING_CATEGORY(lcControls, "dvtools.controls")
Q_LOGGING_CATEGORY(lcRecords, "dvtools.records")

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
