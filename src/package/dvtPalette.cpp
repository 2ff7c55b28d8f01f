#include "dvtPalette.h"

#include <QBitmap>

namespace dvt {

QImage PaletteBitmap(const QString &className)
{
    return QImage(QStringLiteral(":/dvTools/palette/") + className.toUpper(), "BMP");
}

QPixmap PalettePixmap(const QString &className)
{
    const QImage bitmap = PaletteBitmap(className);
    if (bitmap.isNull())
        return {};
    QPixmap pixmap = QPixmap::fromImage(bitmap);
    pixmap.setMask(pixmap.createMaskFromColor(bitmap.pixelColor(0, bitmap.height() - 1)));
    return pixmap;
}

} // namespace dvt
