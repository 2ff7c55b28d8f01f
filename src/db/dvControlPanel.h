#pragma once

#include "dvtColor.h"
#include "dvtComponent.h"
#include "dvtDatabase.h"

// The application's one database connection, named "dvTools" so that every
// TdvQuery finds it, and the holder of the application-wide defaults of the
// data-entry controls. Place it on the main form: the controls read its settings
// through the four panel-lookup routines below at each event, so a change takes
// effect at once.
//
// At most one panel exists at a time; constructing a second one raises
// dvt::Exception("Only one instance allowed!") and leaves ObjCount() unchanged.
// Loaded() connects at run time, silently: a panel that cannot connect stays
// disconnected and the reason surfaces as the Error of the first query.
//
// For an application's status bar or log window the panel emits, as every
// connection does (dvtDatabase.h): connectedChanged (including the re-opening
// after a lost connection), errorOccurred, and statementExecuted for every
// statement the library sends on it, with its outcome and duration.
class TdvControlPanel : public dvt::TDatabase, public dvt::Loadable
{
    Q_OBJECT
    Q_PROPERTY(bool EnterAsTab READ GetEnterAsTab WRITE SetEnterAsTab)
    Q_PROPERTY(bool CloseOnEsc READ CloseOnEsc WRITE SetCloseOnEsc)
    Q_PROPERTY(bool AutoTrimText READ AutoTrimText WRITE SetAutoTrimText)
    Q_PROPERTY(QColor Highlight READ HighlightPropertyColor WRITE SetHighlightPropertyColor)

public:
    // Alias "IBLocal", database name "dvTools", disconnected, the defaults below,
    // and the component name "dvControlPanel" until the form gives it its own.
    explicit TdvControlPanel(QObject *owner = nullptr);
    ~TdvControlPanel() override;

    static int ObjCount();
    static void IncObjCount();
    static void DecObjCount();

    void Loaded() override;

    bool GetEnterAsTab() const { return m_enterAsTab; }
    void SetEnterAsTab(bool on) { m_enterAsTab = on; }
    bool CloseOnEsc() const { return m_closeOnEsc; }
    void SetCloseOnEsc(bool on) { m_closeOnEsc = on; }
    bool AutoTrimText() const { return m_autoTrimText; }
    void SetAutoTrimText(bool on) { m_autoTrimText = on; }
    // clWindow (the default) means that no highlight colour is set.
    dvt::TColor Highlight() const { return m_highlight; }
    void SetHighlight(dvt::TColor color) { m_highlight = color; }

private:
    QColor HighlightPropertyColor() const { return dvt::ToPropertyColor(m_highlight); }
    void SetHighlightPropertyColor(const QColor &color)
    {
        m_highlight = dvt::FromPropertyColor(color);
    }

    bool m_enterAsTab = false;
    bool m_closeOnEsc = false;
    bool m_autoTrimText = false;
    dvt::TColor m_highlight = dvt::clWindow;
};

// The panel lookup: the settings of the first TdvControlPanel among the
// components of the application's main form (dvt::MainForm()), read at every
// call. With no main form or no panel on it: false, false, false and clWindow.
bool dvControlPanelAutoTrimText();
bool dvControlPanelCloseOnEsc();
bool dvControlPanelEnterAsTab();
dvt::TColor dvControlPanelHighlight();
