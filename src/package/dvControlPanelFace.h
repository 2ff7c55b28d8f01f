#pragma once

#include "dvControlPanel.h"
#include "dvtComponentFace.h"

// A TdvControlPanel on a form made in Qt Designer (see dvtComponentFace.h). The
// password is not offered: a .ui file would keep it in clear text, so an
// application that needs one sets it in code before the form is loaded. Whether
// the panel is connected is run-time state, not a designed property.
//
// A second panel is refused as anywhere else; its face then shows "Only one
// instance allowed!" and holds no panel.
class TdvControlPanelFace : public dvt::FaceOf<TdvControlPanel>
{
    Q_OBJECT
    Q_PROPERTY(QString AliasName READ AliasName WRITE setAliasName)
    Q_PROPERTY(QString DatabaseName READ DatabaseName WRITE setDatabaseName)
    Q_PROPERTY(QString ConnectionString READ ConnectionString WRITE setConnectionString)
    Q_PROPERTY(QString UserName READ UserName WRITE setUserName)
    Q_PROPERTY(bool AutoCreate READ AutoCreate WRITE setAutoCreate)
    Q_PROPERTY(bool EnterAsTab READ EnterAsTab WRITE setEnterAsTab)
    Q_PROPERTY(bool CloseOnEsc READ CloseOnEsc WRITE setCloseOnEsc)
    Q_PROPERTY(bool AutoTrimText READ AutoTrimText WRITE setAutoTrimText)
    Q_PROPERTY(QColor Highlight READ Highlight WRITE setHighlight)

public:
    using FaceOf::FaceOf;

    DVT_FACE_PROPERTY(QString, AliasName)
    DVT_FACE_PROPERTY(QString, DatabaseName)
    DVT_FACE_PROPERTY(QString, ConnectionString)
    DVT_FACE_PROPERTY(QString, UserName)
    DVT_FACE_PROPERTY(bool, AutoCreate)
    DVT_FACE_PROPERTY(bool, EnterAsTab)
    DVT_FACE_PROPERTY(bool, CloseOnEsc)
    DVT_FACE_PROPERTY(bool, AutoTrimText)
    DVT_FACE_PROPERTY(QColor, Highlight)
};
