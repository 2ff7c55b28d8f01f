#include "dvtColor.h"

#include <QGuiApplication>

namespace dvt {

namespace {

QPalette::ColorRole systemRole(quint32 index)
{
    switch (index) {
    case 0x00: // scroll bar
    case 0x01: // desktop
    case 0x04: // menu
    case 0x0F: // button face
        return QPalette::Button;
    case 0x02: // active caption
    case 0x0D: // selection
        return QPalette::Highlight;
    case 0x0E:
        return QPalette::HighlightedText;
    case 0x08:
        return QPalette::Text;
    case 0x12:
        return QPalette::ButtonText;
    case 0x17:
        return QPalette::ToolTipText;
    case 0x18:
        return QPalette::ToolTipBase;
    default:
        return QPalette::Base;
    }
}

} // namespace

QColor TColor::toQColor(const QPalette &palette) const
{
    if (isSystemColor())
        return palette.color(systemRole(m_value & 0xFFu));
    return QColor(int(m_value & 0xFFu), int((m_value >> 8) & 0xFFu), int((m_value >> 16) & 0xFFu));
}

QColor TColor::toQColor() const
{
    return toQColor(QGuiApplication::palette());
}

TColor TColor::fromQColor(const QColor &color)
{
    const QRgb rgb = color.rgb();
    return TColor(quint32(qRed(rgb)) | quint32(qGreen(rgb)) << 8 | quint32(qBlue(rgb)) << 16);
}

QColor ToPropertyColor(TColor color)
{
    return color == clWindow ? QColor() : color.toQColor();
}

TColor FromPropertyColor(const QColor &color)
{
    return color.isValid() ? TColor::fromQColor(color) : clWindow;
}

} // namespace dvt
