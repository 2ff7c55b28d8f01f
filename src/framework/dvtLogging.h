#pragma once

#include <QLoggingCategory>

// One logging category per layer. Misuse (an unnamed control where a name is
// needed, a second control panel, a record routine without a panel) is a warning;
// the statements sent to the database are debug output of "dvtools.sql", off by
// default: QT_LOGGING_RULES="dvtools.sql.debug=true" shows them.
namespace dvt {
Q_DECLARE_LOGGING_CATEGORY(lcFramework)
Q_DECLARE_LOGGING_CATEGORY(lcDb) // connections and transactions; a lost connection warns
Q_DECLARE_LOGGING_CATEGORY(lcSql)
Q_DECLARE_LOGGING_CATEGORY(lcControls)
Q_DECLARE_LOGGING_CATEGORY(lcRecords)
Q_DECLARE_LOGGING_CATEGORY(lcGrid)
Q_DECLARE_LOGGING_CATEGORY(lcForms)

// "TdvEdit \"CUSTOMER\" on OrderForm": a component as a warning names it.
QString Describe(const QObject *component);
} // namespace dvt
