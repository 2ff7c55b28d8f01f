#pragma once

#include "dvQuery.h"
#include "dvtComponentFace.h"

// A TdvQuery on a form made in Qt Designer (see dvtComponentFace.h).
class TdvQueryFace : public dvt::ComponentFace
{
    Q_OBJECT
    Q_PROPERTY(QString DatabaseName READ DatabaseName WRITE setDatabaseName)
    Q_PROPERTY(bool Unidirectional READ Unidirectional WRITE setUnidirectional)

public:
    explicit TdvQueryFace(QWidget *parent = nullptr)
        : ComponentFace(TdvQuery::staticMetaObject, &Make<TdvQuery>, parent)
    {}

    TdvQuery *Query() const { return qobject_cast<TdvQuery *>(component()); }

    DVT_FACE_PROPERTY(QString, DatabaseName)
    DVT_FACE_PROPERTY(bool, Unidirectional)
};
