#include "dvtControl.h"

#include <QApplication>
#include <QWidget>

namespace dvt {

namespace {
const char colorProperty[] = "dvtColor";
}

TColor Color(const QWidget *control)
{
    // The colour SetColor() stored, unless other code has changed the palette
    // since: a system colour such as clWindow cannot be read back from a palette.
    const QVariant stored = control->property(colorProperty);
    if (stored.isValid()) {
        const TColor color(stored.toUInt());
        if (color.toQColor(QApplication::palette(control))
            == control->palette().color(QPalette::Base))
            return color;
    }
    if (control->palette().isBrushSet(QPalette::Active, QPalette::Base))
        return TColor::fromQColor(control->palette().color(QPalette::Base));
    return clWindow;
}

void SetColor(QWidget *control, TColor color)
{
    QPalette palette = control->palette();
    const QPalette standard = QApplication::palette(control);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base,
                         color == clWindow ? standard.color(group, QPalette::Base)
                                           : color.toQColor(standard));
    }
    control->setPalette(palette);
    control->setProperty(colorProperty, color.value());
}

bool IsBold(const QWidget *control)
{
    return control->font().bold();
}

void SetBold(QWidget *control, bool bold)
{
    QFont font = control->font();
    font.setBold(bold);
    control->setFont(font);
}

} // namespace dvt
