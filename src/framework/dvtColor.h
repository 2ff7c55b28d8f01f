#pragma once

#include <QColor>
#include <QMetaType>
#include <QPalette>

namespace dvt {

// A colour as the library's properties carry it: 0x00BBGGRR for a plain colour, or
// a system colour with the high bit set (0x80000000 + index), which stands for a
// role of the current palette and so follows the desktop's theme.
class TColor
{
public:
    constexpr TColor() = default;
    constexpr explicit TColor(quint32 value) : m_value(value) {}

    constexpr quint32 value() const { return m_value; }
    constexpr bool isSystemColor() const { return (m_value & 0x80000000u) != 0; }

    // The colour it stands for; system colours are looked up in the palette.
    QColor toQColor(const QPalette &palette) const;
    QColor toQColor() const;
    static TColor fromQColor(const QColor &color);

    friend constexpr bool operator==(TColor, TColor) = default;

private:
    quint32 m_value = 0x80000005u;
};

// System colours (palette roles).
inline constexpr TColor clScrollBar{0x80000000u};
inline constexpr TColor clBackground{0x80000001u};
inline constexpr TColor clActiveCaption{0x80000002u};
inline constexpr TColor clMenu{0x80000004u};
inline constexpr TColor clWindow{0x80000005u}; // the background of text-entry controls
inline constexpr TColor clWindowText{0x80000008u};
inline constexpr TColor clHighlight{0x8000000Du};
inline constexpr TColor clHighlightText{0x8000000Eu};
inline constexpr TColor clBtnFace{0x8000000Fu};
inline constexpr TColor clBtnText{0x80000012u};
inline constexpr TColor clInfoBk{0x80000018u};

// Plain colours.
inline constexpr TColor clBlack{0x000000u};
inline constexpr TColor clMaroon{0x000080u};
inline constexpr TColor clGreen{0x008000u};
inline constexpr TColor clOlive{0x008080u};
inline constexpr TColor clNavy{0x800000u};
inline constexpr TColor clPurple{0x800080u};
inline constexpr TColor clTeal{0x808000u};
inline constexpr TColor clGray{0x808080u};
inline constexpr TColor clSilver{0xC0C0C0u};
inline constexpr TColor clRed{0x0000FFu};
inline constexpr TColor clLime{0x00FF00u};
inline constexpr TColor clYellow{0x00FFFFu};
inline constexpr TColor clBlue{0xFF0000u};
inline constexpr TColor clFuchsia{0xFF00FFu};
inline constexpr TColor clAqua{0xFFFF00u};
inline constexpr TColor clWhite{0xFFFFFFu};

// Colour properties as Qt Designer edits them: clWindow (no colour of its own) is
// an invalid QColor, every other colour the QColor it stands for.
QColor ToPropertyColor(TColor color);
TColor FromPropertyColor(const QColor &color);

} // namespace dvt

Q_DECLARE_METATYPE(dvt::TColor)
