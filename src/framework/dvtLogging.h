#pragma once

#include <QLoggingCategory>

// The library's logging categories, one per area, so that a user can switch
// them on without code: QT_LOGGING_RULES="dvtools.sql.debug=true" shows every
// statement sent to the database with its outcome and duration.
namespace dvt {

Q_DECLARE_LOGGING_CATEGORY(lcFramework) // "dvtools.framework"
Q_DECLARE_LOGGING_CATEGORY(lcDb)        // "dvtools.db": connections and transactions
Q_DECLARE_LOGGING_CATEGORY(lcSql)       // "dvtools.sql": the statement log
Q_DECLARE_LOGGING_CATEGORY(lcControls)  // "dvtools.controls"
Q_DECLARE_LOGGING_CATEGORY(lcRecords)   // "dvtools.records"

} // namespace dvt
