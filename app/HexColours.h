#pragma once
// The hex editor's colours: light grey with dark red addresses, dark green digits and dark
// blue characters by default; lighter colours on the desktop's own ground when its palette
// is dark; and a high-contrast scheme in which every text has at least 4.5:1 against its
// ground.

#include <QColor>
#include <QPalette>

namespace orvanel {

struct HexColourScheme {
    QColor background;
    QColor address;
    QColor hex;
    QColor ascii;
};

// Whether a palette draws light text on a dark ground.
bool IsDarkPalette(const QPalette& palette);

HexColourScheme ChooseHexColours(const QPalette& desktop, bool highContrast);

} // namespace orvanel
