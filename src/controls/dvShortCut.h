#pragma once

#include <QObject>
#include <QString>

#include "dvtComponent.h"

class QWidget;

// Gives every captioned control of its form a keyboard accelerator ("&" before
// the chosen character) when the form is loaded at run time, so that no two
// controls of the form share one. Captions are push button and check box texts,
// label texts, group box titles and tab titles; markers typed at design time are
// discarded and chosen afresh.
//
// Push buttons are served first, then labels with a buddy (Qt's focus control;
// labels without one keep their caption), then every other captioned control.
// Line edits, text edits, spin boxes, combo boxes and status bars are never
// changed. A nested owner (see dvtComponent.h) is served by a run of its own and
// gets no key itself. The direct children of a QTabWidget's pages get their keys
// page by page, each page starting from the keys the form's controls left free,
// so two pages may reuse a key but never one of the form's.
//
// Blanks and punctuation are never chosen. A caption whose characters are all
// taken gets the next free digit or letter appended in brackets: "OK (&1)".
//
// Like every component, it needs an object name to be loaded by dvt::LoadForm();
// it is named "dvShortCut" until the form gives it its own.
class TdvShortCut : public QObject, public dvt::Loadable
{
    Q_OBJECT

public:
    explicit TdvShortCut(QObject *owner = nullptr);

    // Refresh(owner): runs at run time only.
    void Loaded() override;

    // Assigns the keys to the controls among the owner's components, from fresh
    // key sets. Does nothing while this component is in design mode.
    void Refresh(QObject *owner);

    // Gives the control its key: the first character of its caption (markers
    // removed, "&&" kept as a literal ampersand) that is not in usedKeys, else the
    // first of spareKeys that is not, which is then removed from spareKeys. The
    // key joins usedKeys in lower and upper case. A control without a caption, or
    // with one that is blank, is left as it is.
    static void InsertKey(QWidget *control, QString &spareKeys, QString &usedKeys);
};
