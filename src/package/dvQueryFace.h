#pragma once

#include "dvQuery.h"
#include "dvtComponentFace.h"

// A TdvQuery on a form made in Qt Designer (see dvtComponentFace.h).
class TdvQueryFace : public dvt::FaceOf<TdvQuery>
{
    Q_OBJECT
    Q_PROPERTY(QString DatabaseName READ DatabaseName WRITE setDatabaseName)
    Q_PROPERTY(bool Unidirectional READ Unidirectional WRITE setUnidirectional)

public:
    using FaceOf::FaceOf;

    DVT_FACE_PROPERTY(QString, DatabaseName)
    DVT_FACE_PROPERTY(bool, Unidirectional)
};
