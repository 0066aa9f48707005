#include "host/chart/TestChart.h"

#include "host/picture/SourceImage.h"

#include <algorithm>
#include <cmath>

namespace vlscan {

namespace {

constexpr double Pi = 3.14159265358979323846;

struct Colour {
    double red;
    double green;
    double blue;
};

Colour Grey(double v)
{
    return {v, v, v};
}

// Hue in turns, saturation and value 0..1.
Colour FromHsv(double hue, double saturation, double value)
{
    const double h = (hue - std::floor(hue)) * 6.0;
    const double f = h - std::floor(h);
    const double p = value * (1 - saturation);
    const double q = value * (1 - saturation * f);
    const double t = value * (1 - saturation * (1 - f));
    switch (static_cast<int>(h) % 6) {
    case 0:
        return {value, t, p};
    case 1:
        return {q, value, p};
    case 2:
        return {p, value, t};
    case 3:
        return {p, q, value};
    case 4:
        return {t, p, value};
    default:
        return {value, p, q};
    }
}

// The chart in relative coordinates u, v (0..1 across and down): a hue and
// brightness field, a row of patches, a grey ramp with grey steps, and at
// the bottom a zone plate beside a colour wheel.
Colour ChartAt(double u, double v, double aspect)
{
    if (v < 0.42) {
        return FromHsv(u, 1.0, 1.0 - v / 0.42 * 0.8);
    }
    if (v < 0.54) {
        const int patch = std::min(11, static_cast<int>(u * 12));
        const bool upper = v < 0.48;
        return FromHsv(patch / 12.0 + (upper ? 0.0 : 0.04), upper ? 0.55 : 0.9, upper ? 0.95 : 0.6);
    }
    if (v < 0.60) {
        return Grey(u);
    }
    if (v < 0.66) {
        return Grey(std::min(10, static_cast<int>(u * 11)) / 10.0);
    }
    // Two discs on white paper, each centred in its half of the band.
    const double radius = 0.12;
    const double dy = (v - 0.83) * aspect;
    if (u < 0.5) {
        const double dx = u - 0.25;
        const double r2 = (dx * dx + dy * dy) / (radius * radius);
        return r2 < 1 ? Grey(0.5 + 0.5 * std::cos(Pi * 30 * r2)) : Grey(0.96);
    }
    const double dx = u - 0.75;
    const double r = std::sqrt(dx * dx + dy * dy) / radius;
    return r < 1 ? FromHsv(std::atan2(dy, dx) / (2 * Pi), r, 1.0) : Grey(0.96);
}

// Gentle waves in every channel: no edges, every 16-bit level reachable.
Colour SmoothAt(double u, double v)
{
    return {0.5 + 0.45 * std::sin(2 * Pi * (0.8 * u + 0.15)), 0.5 + 0.45 * std::cos(2 * Pi * (0.6 * v + 0.3 * u)),
            0.5 + 0.4 * std::sin(2 * Pi * (0.5 * u - 0.7 * v))};
}

uint16_t ToSample(double value)
{
    return static_cast<uint16_t>(std::lround(std::clamp(value, 0.0, 1.0) * 65535.0));
}

} // namespace

std::vector<uint16_t> DrawChartLine(ChartPattern pattern, uint32_t width, uint32_t height, uint32_t y)
{
    std::vector<uint16_t> rgb(static_cast<size_t>(width) * 3);
    const double aspect = width ? static_cast<double>(height) / width : 1.0;
    const double v = (y + 0.5) / height;
    size_t at = 0;
    for (uint32_t x = 0; x < width; ++x) {
        const double u = (x + 0.5) / width;
        const Colour colour = pattern == ChartPattern::Chart ? ChartAt(u, v, aspect) : SmoothAt(u, v);
        rgb[at++] = ToSample(colour.red);
        rgb[at++] = ToSample(colour.green);
        rgb[at++] = ToSample(colour.blue);
    }
    return rgb;
}

std::vector<uint16_t> GreyOf(const std::vector<uint16_t>& rgb)
{
    std::vector<uint16_t> grey(rgb.size() / 3);
    for (size_t i = 0; i < grey.size(); ++i) {
        grey[i] = static_cast<uint16_t>(WeightedLuma(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]));
    }
    return grey;
}

std::vector<uint8_t> HighBytes(const std::vector<uint16_t>& samples)
{
    std::vector<uint8_t> bytes(samples.size());
    std::transform(samples.begin(), samples.end(), bytes.begin(),
                   [](uint16_t s) { return static_cast<uint8_t>(s >> 8); });
    return bytes;
}

} // namespace vlscan
