#pragma once

// Internal: dvImport with the choice of how rows reach the database, and what
// became of them, for the tests and benchmarks that compare the two ways.

#include <QChar>
#include <QString>

namespace dvt::transfer {

enum class Statements {
    // Rows whose items are all plain literals go through one prepared INSERT
    // with parameters; the others are sent as statement text (what dvImport does).
    Prepared,
    // Every row is sent as its statement text.
    TextOnly,
};

// What became of the data lines of one import.
struct ImportCounts
{
    qint64 prepared = 0; // stored through the prepared statement
    qint64 text = 0;     // stored through their statement text
    qint64 failed = 0;   // refused by the database
};

ImportCounts Import(const QString &table, const QString &fileName, QChar separator, bool scrambled,
                    Statements statements);

} // namespace dvt::transfer
