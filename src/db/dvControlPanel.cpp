#include "dvControlPanel.h"

#include <QWidget>

#include "dvtApplication.h"
#include "dvtException.h"
#include "dvtLogging.h"

namespace {

// One count for the class and its descendants.
int fObjCount = 0;

const TdvControlPanel *MainFormPanel()
{
    const QWidget *form = dvt::MainForm();
    if (!form)
        return nullptr;
    const QList<QObject *> components = dvt::Components(form);
    for (QObject *component : components) {
        if (const auto *panel = qobject_cast<const TdvControlPanel *>(component))
            return panel;
    }
    return nullptr;
}

} // namespace

TdvControlPanel::TdvControlPanel(QObject *owner) : dvt::TDatabase(owner)
{
    // Raising before IncObjCount keeps the count unchanged: C++ runs no destructor
    // of a class whose constructor did not finish.
    if (ObjCount() > 0) {
        qCWarning(dvt::lcFramework).noquote()
            << "A second TdvControlPanel for" << (owner ? dvt::Describe(owner) : u"no form"_qs)
            << "was refused: only one may exist at a time";
        throw dvt::Exception(QStringLiteral("Only one instance allowed!"));
    }
    // Unnamed objects are no components of their form, and the panel lookup walks
    // components: a panel made in code must be found too.
    setObjectName(QStringLiteral("dvControlPanel"));
    SetAliasName(QStringLiteral("IBLocal"));
    SetDatabaseName(QStringLiteral("dvTools"));
    IncObjCount();
}

TdvControlPanel::~TdvControlPanel()
{
    DecObjCount();
}

int TdvControlPanel::ObjCount()
{
    return fObjCount;
}

void TdvControlPanel::IncObjCount()
{
    ++fObjCount;
}

void TdvControlPanel::DecObjCount()
{
    --fObjCount;
}

void TdvControlPanel::Loaded()
{
    if (dvt::IsDesigning(this))
        Close();
    else
        Open(); // a failure stays in LastError and reaches the first query
}

bool dvControlPanelAutoTrimText()
{
    const TdvControlPanel *panel = MainFormPanel();
    return panel && panel->AutoTrimText();
}

bool dvControlPanelCloseOnEsc()
{
    const TdvControlPanel *panel = MainFormPanel();
    return panel && panel->CloseOnEsc();
}

bool dvControlPanelEnterAsTab()
{
    const TdvControlPanel *panel = MainFormPanel();
    return panel && panel->GetEnterAsTab();
}

dvt::TColor dvControlPanelHighlight()
{
    const TdvControlPanel *panel = MainFormPanel();
    return panel ? panel->Highlight() : dvt::clWindow;
}
