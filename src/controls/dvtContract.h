#pragma once

#include <QString>

#include "dvtColor.h"

class QObject;
class QWidget;

// The steps of the common control contract that several controls share: kept
// values, Enter as Tab, Esc closing the form, and focus marking. Each control's
// own flag combines with the control panel's setting: a Boolean acts when either
// is set, and the panel's Highlight, when it is not clWindow, wins over the
// control's own.
namespace dvt {

// The kept-values file: the executable's file name, lower-cased, with ".exe"
// replaced by ".values.ini" (appended when the name has no ".exe", as on Linux),
// in UserFolder(). Its section "ComponentsValues" holds one key per control:
// the owner's name, "/", the control's name.
QString KeptValuesFileName();
QString KeptValueKey(const QObject *control);
QString ReadKeptValue(const QObject *control, const QString &defaultValue = QString());
void WriteKeptValue(const QObject *control, const QString &value);

bool EnterAsTabActive(bool ownFlag);
bool CloseOnEscActive(bool ownFlag);
bool AutoTrimTextActive(bool ownFlag);

// The contract's key-down step: Enter (13) becomes an injected Tab when Enter
// as Tab is active, Esc (27) closes the active form when Close on Esc is active;
// either way the key is consumed (set to 0).
void HandleContractKeys(quint16 &key, bool enterAsTab, bool closeOnEsc);

// The colour a focused control takes: the panel's Highlight when it is not
// clWindow, else the control's own (clWindow meaning "no marking").
TColor EffectiveHighlight(TColor own);

// Colour focus marking: remembers the control's colour on focus in, applies the
// effective highlight, and restores the remembered colour on focus out.
class FocusHighlight
{
public:
    void enter(QWidget *control, TColor own);
    void exit(QWidget *control);

private:
    TColor m_saved = clWindow;
};

} // namespace dvt
