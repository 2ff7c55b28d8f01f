#pragma once

// What the examples of docs/qt.md include, as an application would.

#include <QAbstractItemModel>
#include <QDataWidgetMapper>
#include <QDebug>
#include <QLabel>

#include <optional>

#include "dvCheckBox.h"
#include "dvControlPanel.h"
#include "dvDate.h"
#include "dvEdit.h"
#include "dvRecords.h"
#include "dvTime.h"
#include "dvValue.h"
#include "dvtColor.h"
#include "dvtComponent.h"
#include "dvtDataControl.h"
