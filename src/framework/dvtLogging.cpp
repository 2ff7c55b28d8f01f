#include "dvtLogging.h"

namespace dvt {

// Warnings and above by default: misuse is reported, the statement log stays quiet.
Q_LOGGING_CATEGORY(lcFramework, "dvtools.framework", QtWarningMsg)
Q_LOGGING_CATEGORY(lcDb, "dvtools.db", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSql, "dvtools.sql", QtWarningMsg)
Q_LOGGING_CATEGORY(lcControls, "dvtools.controls", QtWarningMsg)
Q_LOGGING_CATEGORY(lcRecords, "dvtools.records", QtWarningMsg)

} // namespace dvt
