#pragma once

#include <QDebug>
#include <QTemporaryDir>
#include <QWidget>

#include "dvControlPanel.h"
#include "dvQuery.h"
#include "dvtApplication.h"

namespace dvt::test {

// The main form of a test program: its control panel connects to a new
// embedded database in a temporary folder, which the components reach by the
// connection name "dvTools" as an application's do.
struct PanelDatabase
{
    // Makes the form the main form and connects, creating the database file.
    bool open(const QString &fileName)
    {
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

    QTemporaryDir folder;
    QWidget mainForm;
    TdvControlPanel *panel = new TdvControlPanel(&mainForm);
};

} // namespace dvt::test
