// Helpers for the view tests: crystal sets from the library, reflector feeds, mouse events,
// an independent Bunge matrix and pixel look-ups.
#pragma once

#include <cmath>
#include <memory>
#include <vector>

#include <QCoreApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include "CrystalEBSPpanel.h"

namespace viewtest {

inline constexpr double kPi = 3.14159265358979323846;

// A crystal set built by the library from the build tree's setup data.
inline std::unique_ptr<TCrySet> makeCrySet(float a, float b, float c, float alpha, float beta,
                                           float gamma, int laue) {
    auto cs = std::make_unique<TCrySet>();
    InitCrySet2(cs.get(), "Test", "view tests", a, b, c, alpha, beta, gamma, laue, 0);
    EXPECT_EQ(GetInitIoStatus(), 0) << "setup data not read";
    return cs;
}

inline std::unique_ptr<TCrySet> cubic(float a = 4.0f) {
    return makeCrySet(a, a, a, 90, 90, 90, 11);
}

struct Feed {
    int h, k, l;
    double d, intensity;
};

// An OnGetReflector handler answering from a list; counts its calls and records index0.
struct ReflectorFeed {
    std::vector<Feed> list;
    std::vector<int> asked;
    TOnGetReflectorEvent handler() {
        return [this](QObject*, int index0, int8_t& h, int8_t& k, int8_t& l, double& d,
                      double& intensity) {
            asked.push_back(index0);
            const Feed& f = list.empty() ? Feed{1, 1, 1, 2.0, 100.0}
                                         : list[static_cast<size_t>(index0) % list.size()];
            h = static_cast<int8_t>(f.h);
            k = static_cast<int8_t>(f.k);
            l = static_cast<int8_t>(f.l);
            d = f.d;
            intensity = f.intensity;
        };
    }
};

inline void sendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}
inline void press(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton) {
    sendMouse(w, QEvent::MouseButtonPress, p, b, b);
}
inline void move(QWidget* w, QPoint p, Qt::MouseButtons held = Qt::LeftButton) {
    sendMouse(w, QEvent::MouseMove, p, Qt::NoButton, held);
}
inline void release(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton) {
    sendMouse(w, QEvent::MouseButtonRelease, p, b, Qt::NoButton);
}
inline void doubleClick(QWidget* w, QPoint p) {
    press(w, p);
    release(w, p);
    sendMouse(w, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    release(w, p);
}

// Bunge matrix written out (rows), independent of the library: crystal = g . specimen.
struct Rows {
    double m[3][3];
};
inline Rows bunge(double phi1, double Phi, double phi2) {
    const double c1 = std::cos(phi1), s1 = std::sin(phi1), c = std::cos(Phi), s = std::sin(Phi),
                 c2 = std::cos(phi2), s2 = std::sin(phi2);
    return Rows{{{c1 * c2 - s1 * s2 * c, s1 * c2 + c1 * s2 * c, s2 * s},
                 {-c1 * s2 - s1 * c2 * c, -s1 * s2 + c1 * c2 * c, c2 * s},
                 {s1 * s, -c1 * s, c}}};
}
// View-frame copy of a crystal-frame vector: g transposed times v.
inline TVec3D crystalToView(const Rows& g, const TVec3D& v) {
    return {g.m[0][0] * v.x + g.m[1][0] * v.y + g.m[2][0] * v.z,
            g.m[0][1] * v.x + g.m[1][1] * v.y + g.m[2][1] * v.z,
            g.m[0][2] * v.x + g.m[1][2] * v.y + g.m[2][2] * v.z};
}

// Relativistic electron wavelength in angstrom, written out here with the library's
// constants, so band widths are checked against an independent formula.
inline double wavelength(double kilovolts) {
    const double volts = kilovolts * 1000.0;
    return 12.26 / std::sqrt(volts * (1.0 + 9.788e-7 * volts));
}
inline TVec3D unit(TVec3D v) {
    const double n = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / n, v.y / n, v.z / n};
}
inline double dot(const TVec3D& a, const TVec3D& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline TVec3D cross(const TVec3D& a, const TVec3D& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline QRgb rgb(int r, int g, int b) {
    return qRgb(r, g, b) & 0xFFFFFFu;
}
inline QRgb pixel(const TCrystalEBSPpanel& panel, int x, int y) {
    return panel.Image().pixel(x, y) & 0xFFFFFFu;
}
inline QRgb pixelRgb(QRgb p) {
    return p & 0xFFFFFFu;
}
inline QRgb toRgb(ebsp::Rgb c) {
    return qRgb(c.r, c.g, c.b) & 0xFFFFFFu;
}
inline QRgb toRgb(const QColor& c) {
    return c.rgb() & 0xFFFFFFu;
}

// True when some pixel within `radius` of (x, y) has the colour.
inline bool colourNear(const TCrystalEBSPpanel& panel, int x, int y, QRgb colour, int radius) {
    const QImage& image = panel.Image();
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const int px = x + dx, py = y + dy;
            if (px < 0 || py < 0 || px >= image.width() || py >= image.height()) continue;
            if ((image.pixel(px, py) & 0xFFFFFFu) == (colour & 0xFFFFFFu)) return true;
        }
    return false;
}

inline int countColour(const TCrystalEBSPpanel& panel, QRgb colour) {
    const QImage& image = panel.Image();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFFu) == (colour & 0xFFFFFFu)) ++count;
    return count;
}

}  // namespace viewtest
