#pragma once

#include "dvShortCut.h"
#include "dvtComponentFace.h"

// A TdvShortCut on a form made in Qt Designer (see dvtComponentFace.h). It has
// no properties of its own.
class TdvShortCutFace : public dvt::ComponentFace
{
    Q_OBJECT

public:
    explicit TdvShortCutFace(QWidget *parent = nullptr)
        : ComponentFace(TdvShortCut::staticMetaObject, &Make<TdvShortCut>, parent)
    {}

    TdvShortCut *ShortCut() const { return qobject_cast<TdvShortCut *>(component()); }
};
