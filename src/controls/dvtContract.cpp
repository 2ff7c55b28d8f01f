#include "dvtContract.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QWidget>

#include "dvControlPanel.h"
#include "dvtApplication.h"
#include "dvtComponent.h"
#include "dvtControl.h"
#include "dvtIniFile.h"
#include "dvtKeys.h"
#include "dvtLogging.h"

namespace dvt {

namespace {
const QString keptValuesSection = QStringLiteral("ComponentsValues");
}

QString KeptValuesFileName()
{
    QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toLower();
    const QString exe = QStringLiteral(".exe");
    const QString values = QStringLiteral(".values.ini");
    return name.contains(exe) ? name.replace(exe, values) : name + values;
}

QString KeptValueKey(const QObject *control)
{
    const QObject *owner = Owner(control);
    return (owner ? owner->objectName() : QString()) + u'/' + control->objectName();
}

namespace {
// The key needs the control's name: an unnamed control would share one key with
// every other unnamed control of its form.
bool HasKeptValueKey(const QObject *control)
{
    if (!control->objectName().isEmpty())
        return true;
    qCWarning(lcControls).noquote()
        << Describe(control) << "has KeepValue but no object name: its value is not kept";
    return false;
}
} // namespace

QString ReadKeptValue(const QObject *control, const QString &defaultValue)
{
    if (!HasKeptValueKey(control))
        return defaultValue;
    return TIniFile(KeptValuesFileName())
        .ReadString(keptValuesSection, KeptValueKey(control), defaultValue);
}

void WriteKeptValue(const QObject *control, const QString &value)
{
    if (!HasKeptValueKey(control))
        return;
    // The text is kept exactly as it is, or not at all: a text with a line break
    // (a single-line edit takes one from the clipboard) has no one-line form, so
    // the file keeps the value kept before. Memos, whose text is made of lines,
    // keep no value.
    if (!TIniFile(KeptValuesFileName())
             .WriteString(keptValuesSection, KeptValueKey(control), value)) {
        qCWarning(lcControls).noquote()
            << Describe(control)
            << "could not keep its value: it holds a line break, or the file cannot be written";
    }
}

bool EnterAsTabActive(bool ownFlag)
{
    return ownFlag || dvControlPanelEnterAsTab();
}

bool CloseOnEscActive(bool ownFlag)
{
    return ownFlag || dvControlPanelCloseOnEsc();
}

bool AutoTrimTextActive(bool ownFlag)
{
    return ownFlag || dvControlPanelAutoTrimText();
}

void HandleContractKeys(quint16 &key, bool enterAsTab, bool closeOnEsc)
{
    if (key == vk::Return && EnterAsTabActive(enterAsTab)) {
        key = 0;
        InjectKey(vk::Tab);
    }
    if (key == vk::Escape && CloseOnEscActive(closeOnEsc)) {
        key = 0;
        CloseActiveForm();
    }
}

TColor EffectiveHighlight(TColor own)
{
    const TColor panel = dvControlPanelHighlight();
    return panel != clWindow ? panel : own;
}

void FocusHighlight::enter(QWidget *control, TColor own)
{
    m_saved = Color(control);
    // A form being designed shows the colours it is given.
    const TColor highlight = IsDesigning(control) ? clWindow : EffectiveHighlight(own);
    if (highlight != clWindow)
        SetColor(control, highlight);
}

void FocusHighlight::exit(QWidget *control)
{
    SetColor(control, m_saved);
}

} // namespace dvt
