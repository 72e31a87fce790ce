// Helpers of the picture tests: a map view of a built-in phase set up as the main window's,
// and pixel comparisons.
#pragma once

#include <QImage>

#include <memory>

#include <gtest/gtest.h>

#include "CrystalEBSPpanel.h"
#include "phase_catalogue.h"
#include "render_command.h"

namespace exporttest {

// A phase, its crystal set and a view showing it (painting, not locked).
struct PhaseView {
    TPhaseRecord phase;
    TCrySet crySet{};
    std::unique_ptr<TCrystalEBSPpanel> view;
};

inline std::unique_ptr<PhaseView> makePhaseView(const char* name, ebsp::render::Options options) {
    auto pv = std::make_unique<PhaseView>();
    for (std::uint32_t i = 1; i <= kPhaseCount; ++i) {
        BuildPhase(i, pv->phase);
        if (pv->phase.Name == name) break;
    }
    EXPECT_EQ(pv->phase.Name, name);
    const TPhaseRecord& p = pv->phase;
    InitCrySet2(&pv->crySet, "name", "ref", p.A, p.B, p.C, p.Alpha, p.Beta, p.Gamma,
                LaueIndexOfCode(p.SpaceGroupCode), static_cast<int32_t>(p.SpaceGroupCode));
    EXPECT_EQ(GetInitIoStatus(), 0) << "setup data not read";
    pv->view = std::make_unique<TCrystalEBSPpanel>();
    ebsp::configureRenderView(*pv->view, options, pv->phase, pv->crySet);
    pv->view->SetRepaintLocked(false);  // paints the off-screen image
    return pv;
}

inline double radians(double degrees) {
    return degrees * 3.14159265358979323846 / 180.0;
}

// Share of pixels whose channels differ by at most tolerance.
inline double matchingShare(const QImage& a, const QImage& b, int tolerance) {
    if (a.size() != b.size() || a.isNull()) return 0.0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    long long same = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            if (std::abs(qRed(p) - qRed(q)) <= tolerance &&
                std::abs(qGreen(p) - qGreen(q)) <= tolerance &&
                std::abs(qBlue(p) - qBlue(q)) <= tolerance)
                ++same;
        }
    return double(same) / (double(x.width()) * x.height());
}

}  // namespace exporttest
