// One-pixel band lines written straight into an RGB32 image (Bresenham, endpoints included).
#include "band_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace ebsp {
namespace {

struct Target {
    uchar* bits;
    qsizetype stride;
    int width, height;
    QRgb colour;
};

// Liang-Barsky clip of the segment to the image, rounded back to integer end points.
bool clipSegment(int& x0, int& y0, int& x1, int& y1, int w, int h) {
    const double dx = double(x1) - x0, dy = double(y1) - y0;
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {double(x0), double(w - 1) - x0, double(y0), double(h - 1) - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;  // parallel to this edge and outside it
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    auto place = [](double v, int limit) {
        return static_cast<int>(std::clamp(std::lround(v), 0L, static_cast<long>(limit - 1)));
    };
    const double sx = x0, sy = y0;
    x0 = place(sx + t0 * dx, w);
    y0 = place(sy + t0 * dy, h);
    x1 = place(sx + t1 * dx, w);
    y1 = place(sy + t1 * dy, h);
    return true;
}

void segment(const Target& target, int x0, int y0, int x1, int y1) {
    const bool inside = x0 >= 0 && y0 >= 0 && x1 >= 0 && y1 >= 0 && x0 < target.width &&
                        x1 < target.width && y0 < target.height && y1 < target.height;
    if (!inside && !clipSegment(x0, y0, x1, y1, target.width, target.height)) return;
    // Bresenham with one loop per major axis: a pointer step along the major axis and a
    // conditional step along the minor one.
    const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    const qsizetype stepX = x0 < x1 ? 1 : -1;
    const qsizetype stepY = (y0 < y1 ? 1 : -1) * (target.stride / qsizetype(sizeof(QRgb)));
    QRgb* pixel = reinterpret_cast<QRgb*>(target.bits + y0 * target.stride) + x0;
    const QRgb colour = target.colour;
    if (dx >= dy) {
        int error = 2 * dy - dx;
        for (int i = 0; i <= dx; ++i) {
            *pixel = colour;
            if (i == dx) break;  // no step past the last pixel: it may leave the image
            if (error > 0) {
                pixel += stepY;
                error -= 2 * dx;
            }
            error += 2 * dy;
            pixel += stepX;
        }
    } else {
        int error = 2 * dx - dy;
        for (int i = 0; i <= dy; ++i) {
            *pixel = colour;
            if (i == dy) break;
            if (error > 0) {
                pixel += stepX;
                error -= 2 * dy;
            }
            error += 2 * dx;
            pixel += stepY;
        }
    }
}

}  // namespace

void drawBandPolyline(QImage& image, const IntPoint* points, int count, bool closed, QRgb colour) {
    if (count <= 0 || image.isNull() || image.depth() != 32) return;
    const Target target{image.bits(), image.bytesPerLine(), image.width(), image.height(),
                        colour | 0xFF000000u};
    if (count == 1) {
        segment(target, points[0].x, points[0].y, points[0].x, points[0].y);
        return;
    }
    for (int i = 0; i + 1 < count; ++i)
        segment(target, points[i].x, points[i].y, points[i + 1].x, points[i + 1].y);
    if (closed) segment(target, points[count - 1].x, points[count - 1].y, points[0].x, points[0].y);
}

}  // namespace ebsp
