#include "tools/demo/Drawing.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>

namespace orvanel::demo {

namespace {

uint8_t Level(double value)
{
    return uint8_t(std::clamp(value, 0.0, 1.0) * 255.0 + 0.5);
}

// The pixels' channels in the given order, one byte each.
std::vector<uint8_t> Pack(
    const std::vector<Colour>& pixels, std::initializer_list<uint8_t Colour::*> channels)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(pixels.size() * channels.size());
    for (const Colour& c : pixels)
        for (uint8_t Colour::*channel : channels)
            bytes.push_back(c.*channel);
    return bytes;
}

} // namespace

Colour Hue(double turn, double brightness)
{
    const double angle = 2 * std::numbers::pi * turn;
    const auto channel = [&](double shift) {
        return Level(brightness * (0.5 + 0.5 * std::cos(angle - shift)));
    };
    return {channel(0), channel(2 * std::numbers::pi / 3), channel(4 * std::numbers::pi / 3)};
}

CCanvas::CCanvas(uint32_t width, uint32_t height)
    : m_width(width), m_height(height), m_pixels(size_t(width) * height)
{
}

void CCanvas::MarkTopLeft()
{
    const uint32_t size = std::max(2u, std::min(m_width, m_height) / 6);
    for (uint32_t y = 0; y < size && y < m_height; ++y)
        for (uint32_t x = 0; x + y < size && x < m_width; ++x)
            At(x, y) = {255, 255, 255, 255};
}

std::vector<uint8_t> CCanvas::RGBA() const
{
    return Pack(m_pixels, {&Colour::r, &Colour::g, &Colour::b, &Colour::a});
}

std::vector<uint8_t> CCanvas::RGB() const
{
    return Pack(m_pixels, {&Colour::r, &Colour::g, &Colour::b});
}

std::vector<uint8_t> CCanvas::BGR() const
{
    return Pack(m_pixels, {&Colour::b, &Colour::g, &Colour::r});
}

std::vector<uint8_t> CCanvas::BGRA() const
{
    return Pack(m_pixels, {&Colour::b, &Colour::g, &Colour::r, &Colour::a});
}

std::vector<uint8_t> CCanvas::Grey() const
{
    std::vector<uint8_t> bytes;
    bytes.reserve(m_pixels.size());
    for (const Colour& c : m_pixels)
        bytes.push_back(uint8_t((299 * c.r + 587 * c.g + 114 * c.b) / 1000));
    return bytes;
}

double Radius(uint32_t x, uint32_t y, uint32_t width, uint32_t height)
{
    const double dx = (x + 0.5 - width / 2.0) / (width / 2.0);
    const double dy = (y + 0.5 - height / 2.0) / (height / 2.0);
    return std::sqrt(dx * dx + dy * dy);
}

double Turn(uint32_t x, uint32_t y, uint32_t width, uint32_t height)
{
    const double angle = std::atan2(y + 0.5 - height / 2.0, x + 0.5 - width / 2.0);
    return angle / (2 * std::numbers::pi) + (angle < 0 ? 1.0 : 0.0);
}

CCanvas Rings(uint32_t width, uint32_t height)
{
    CCanvas canvas(width, height);
    const uint32_t cell = std::max(2u, std::min(width, height) / 16);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const double r = Radius(x, y, width, height);
            Colour c;
            if (r < 1.0) {
                const double ring = 0.55 + 0.45 * std::cos(r * 6 * 2 * std::numbers::pi);
                c = Hue(Turn(x, y, width, height), ring);
                c.a = Level(1.0 - r);
            } else {
                const uint8_t level = ((x / cell + y / cell) % 2) ? 60 : 30;
                c = {level, level, level, 0};
            }
            canvas.At(x, y) = c;
        }
    canvas.MarkTopLeft();
    return canvas;
}

CCanvas Checkerboard(uint32_t width, uint32_t height, uint32_t cell, Colour first, Colour second)
{
    CCanvas canvas(width, height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            canvas.At(x, y) = ((x / cell + y / cell) % 2) ? second : first;
    canvas.MarkTopLeft();
    return canvas;
}

CCanvas ColourBars(uint32_t width, uint32_t height)
{
    static const Colour bars[] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0}, {255, 0, 255},
        {255, 0, 0}, {0, 0, 255}, {0, 0, 0}};
    CCanvas canvas(width, height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const Colour& bar = bars[x * 8 / width];
            const double fade = 1.0 - double(y) / height;
            canvas.At(x, y) = {
                Level(bar.r * fade / 255), Level(bar.g * fade / 255), Level(bar.b * fade / 255)};
        }
    canvas.MarkTopLeft();
    return canvas;
}

CCanvas Gradient(uint32_t width, uint32_t height)
{
    CCanvas canvas(width, height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const double across = double(x) / std::max(1u, width - 1);
            const double down = double(y) / std::max(1u, height - 1);
            canvas.At(x, y) = {Level(across), Level(down), Level(1.0 - down * 1.5)};
        }
    canvas.MarkTopLeft();
    return canvas;
}

} // namespace orvanel::demo
