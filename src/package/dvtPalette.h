#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

namespace dvt {

// The palette picture of a component class: a 24 by 24 bitmap of 16 colours,
// carried as the resource named after the class in capitals
// (":/dvTools/palette/TDVEDIT" for TdvEdit). Null for a class without one.
QImage PaletteBitmap(const QString &className);

// The picture as a widget box or a face shows it: the colour of its bottom-left
// pixel, the background, is transparent.
QPixmap PalettePixmap(const QString &className);

} // namespace dvt
