#pragma once

#include "ui/plot_description.h"

#include <QColor>
#include <QImage>

#include <string>
#include <vector>

namespace tarvik::testing {

// Ten clearly different colours, one per marker symbol.
inline const std::vector<Color> kSampleColors = {{1, 0, 0},   {0, 0.6, 0},    {0, 0, 1}, {0, 0.7, 0.7},
                                                 {1, 0, 1},   {0.8, 0.6, 0},  {0, 0, 0}, {0.5, 0, 0.5},
                                                 {1, 0.5, 0}, {0.4, 0.4, 0.4}};

// One series per marker symbol, each a short column of points at x = 1 ... 10, in its own colour.
inline PlotDescription all_markers_plot(bool is3D, int number = 1) {
    PlotDescription d;
    d.number = number;
    d.name = "Output";
    d.axes.is3D = is3D;
    for (std::size_t i = 0; i < kMarkerSymbols.size(); ++i) {
        PlotSeries s;
        const double x = double(i + 1);
        s.x = {x, x, x};
        s.y = is3D ? std::vector<double>{1, 1, 1} : std::vector<double>{1, 2, 3};
        if (is3D)
            s.z = {1, 2, 3};
        s.lineSpec = std::string(kMarkerSymbols[i]);
        s.color = kSampleColors[i];
        d.axes.series.push_back(s);
    }
    d.axes.reversed = {true, true, true};
    d.axes.grid = {true, true, true};
    d.axes.title = is3D ? "All markers in 3D\nsecond line" : "All markers in 2D\nsecond line";
    d.axes.labels = {"F2", is3D ? "Duration" : "F1", "F1"};
    d.axes.legend = std::vector<std::string>(kMarkerSymbols.begin(), kMarkerSymbols.end());
    return d;
}

// Pixels close to the colour (anti-aliased edges blend with the white background, so allow some slack).
inline int count_pixels_near(const QImage& image, QColor c, int tolerance = 40) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            if (std::abs(p.red() - c.red()) <= tolerance && std::abs(p.green() - c.green()) <= tolerance &&
                std::abs(p.blue() - c.blue()) <= tolerance)
                ++n;
        }
    return n;
}

} // namespace tarvik::testing
