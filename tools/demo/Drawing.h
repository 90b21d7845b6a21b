#pragma once
// Procedural pictures for the sample textures: rings, checkerboards and gradients whose
// shapes make a decoding fault plain at a glance (swapped channels change the hues, a missed
// flip moves the corner mark, a wrong row length shears the rings).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvanel::demo {

struct Colour {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

// A colour of the hue circle, turn 0 to 1 starting at red, at the given brightness (0 to 1).
Colour Hue(double turn, double brightness = 1.0);

// A picture of width x height colours, top row first.
class CCanvas {
public:
    CCanvas(uint32_t width, uint32_t height);

    uint32_t Width() const { return m_width; }
    uint32_t Height() const { return m_height; }
    Colour& At(uint32_t x, uint32_t y) { return m_pixels[size_t(y) * m_width + x]; }

    // A white triangle in the top-left corner, so that an upside-down or mirrored picture
    // is seen at once.
    void MarkTopLeft();

    // The pixels in the byte orders the stored formats and the encoders take.
    std::vector<uint8_t> RGBA() const;
    std::vector<uint8_t> RGB() const;
    std::vector<uint8_t> BGR() const;
    std::vector<uint8_t> BGRA() const;
    // One luminance byte per pixel.
    std::vector<uint8_t> Grey() const;

private:
    uint32_t m_width;
    uint32_t m_height;
    std::vector<Colour> m_pixels;
};

// Hues around the centre, darkened in concentric rings; the corners outside the circle are a
// dark checkerboard. Alpha falls from the centre outwards.
CCanvas Rings(uint32_t width, uint32_t height);
// Squares of cell pixels in two colours.
CCanvas Checkerboard(uint32_t width, uint32_t height, uint32_t cell, Colour first, Colour second);
// Eight colour bars from left to right, fading to black towards the bottom.
CCanvas ColourBars(uint32_t width, uint32_t height);
// Red grows to the right and green downwards; a sunset of blue at the top.
CCanvas Gradient(uint32_t width, uint32_t height);

// Distance of (x, y) from the picture's centre, 0 there and 1 at the middle of the nearest
// edge, and the angle around the centre as a turn from 0 to 1.
double Radius(uint32_t x, uint32_t y, uint32_t width, uint32_t height);
double Turn(uint32_t x, uint32_t y, uint32_t width, uint32_t height);

} // namespace orvanel::demo
