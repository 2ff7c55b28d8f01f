#include "dvtFolders.h"

#include <QDir>
#include <QStandardPaths>

namespace dvt {

QString UserFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                           + QStringLiteral("/dvTools/");
    QDir().mkpath(folder);
    return folder;
}

} // namespace dvt
