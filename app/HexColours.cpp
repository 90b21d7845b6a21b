#include "app/HexColours.h"

namespace orvanel {

bool IsDarkPalette(const QPalette& palette)
{
    return palette.color(QPalette::Active, QPalette::Window).lightness()
        < palette.color(QPalette::Active, QPalette::WindowText).lightness();
}

HexColourScheme ChooseHexColours(const QPalette& desktop, bool highContrast)
{
    const bool dark = IsDarkPalette(desktop);
    if (highContrast) {
        if (dark)
            return {Qt::black, QColor(255, 150, 150), QColor(110, 255, 110), QColor(150, 200, 255)};
        return {Qt::white, QColor(128, 0, 0), QColor(0, 100, 0), QColor(0, 0, 160)};
    }
    if (dark) {
        return {desktop.color(QPalette::Active, QPalette::Base), QColor(240, 120, 120), QColor(120, 210, 120),
            QColor(140, 170, 255)};
    }
    return {QColor(210, 210, 210), QColor(150, 0, 0), QColor(0, 150, 0), QColor(0, 0, 150)};
}

} // namespace orvanel
