#pragma once

#include <QDebug>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include "dvControlPanel.h"
#include "dvQuery.h"
#include "dvtApplication.h"

namespace dvt::test {

using namespace Qt::StringLiterals;

// The main form of a test program: its control panel connects to a new
// embedded database in a temporary folder, which the components reach by the
// connection name "dvTools" as an application's do.
struct PanelDatabase
{
    // Makes the form the main form and connects, creating the database file.
    // Per-user files go to Qt's test folders from then on.
    bool open(const QString &fileName)
    {
        QStandardPaths::setTestModeEnabled(true);
        dvt::SetMainForm(&mainForm);
        panel->SetConnectionString(folder.filePath(fileName));
        return panel->Open();
    }

    // Runs a statement on the connection; a failure is shown with its reason.
    static bool run(const QString &statement)
    {
        TdvQuery query;
        const bool done = query.Execute(statement);
        if (!done)
            qWarning() << statement << query.Error();
        return done;
    }

    // The table BIG (ID integer primary key, LABEL varchar(20)) with the rows
    // 1 to count, labelled "row 1" and so on, made by the engine itself.
    static bool createBig(int count)
    {
        return run(u"create table BIG (ID integer not null primary key, LABEL varchar(20))"_s)
               && run(
                   u"execute block as declare i integer = 1; begin while (i <= %1) do begin "
                   u"insert into BIG values (:i, 'row ' || :i); i = i + 1; end end"_s.arg(count));
    }

    QTemporaryDir folder;
    QWidget mainForm;
    TdvControlPanel *panel = new TdvControlPanel(&mainForm);
};

} // namespace dvt::test
