#pragma once

#include <QObject>

#include "dvtColor.h"

class QWidget;

// What the controls need of a widget beyond Qt's own API.
namespace dvt {
Q_NAMESPACE

// How a control shows its text while it does not have the focus.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
Q_ENUM_NS(TAlignment)

// The background colour of a control (the palette's Base role, which text-entry
// controls, lists and grids fill their background with): the colour last set with
// SetColor() while the palette still shows it, else the explicitly set palette
// colour, else clWindow.
TColor Color(const QWidget *control);

// Sets the background colour; clWindow returns to the style's own colour.
void SetColor(QWidget *control, TColor color);

// Bold text (the focus marking of check boxes, radio buttons and buttons).
bool IsBold(const QWidget *control);
void SetBold(QWidget *control, bool bold);

} // namespace dvt
