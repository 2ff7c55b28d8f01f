#pragma once

#include "dvShortCut.h"
#include "dvtComponentFace.h"

// A TdvShortCut on a form made in Qt Designer (see dvtComponentFace.h). It has
// no properties of its own.
class TdvShortCutFace : public dvt::FaceOf<TdvShortCut>
{
    Q_OBJECT

public:
    using FaceOf::FaceOf;
};
