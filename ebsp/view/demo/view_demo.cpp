// Shows a cell view and a Kikuchi-map view of one crystal, coupled as the main window
// couples them: dragging either turns both.  For screenshots and trying the widget.
//   ebsp_view_demo [cubic|hex] [solid|edge|centre] [wire]
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include <QApplication>
#include <QHBoxLayout>
#include <QWidget>

#include "CrystalEBSPpanel.h"

namespace {

struct Plane {
    int8_t h, k, l;
    double d, intensity;
};

// One plane of each +- pair with indices up to 4, allowed by the lattice's centring
// (face-centred cubic, or every plane of the hexagonal cell but (00l) with odd l),
// strongest (largest spacing) first with a falling intensity.
std::vector<Plane> planesFor(const TCrySet& cs, bool hexagonal, int wanted) {
    std::vector<Plane> planes;
    for (int h = -4; h <= 4; ++h)
        for (int k = -4; k <= 4; ++k)
            for (int l = -4; l <= 4; ++l) {
                if (h < 0 || (h == 0 && k < 0) || (h == 0 && k == 0 && l <= 0)) continue;
                const bool allowed = hexagonal ? !(h == 0 && k == 0 && l % 2 != 0)
                                               : ((h & 1) == (k & 1) && (k & 1) == (l & 1));
                if (!allowed) continue;
                planes.push_back(
                    {int8_t(h), int8_t(k), int8_t(l), LatticeSpacing(&cs, h, k, l), 0});
            }
    std::stable_sort(planes.begin(), planes.end(),
                     [](const Plane& a, const Plane& b) { return a.d > b.d; });
    if (int(planes.size()) > wanted) planes.resize(size_t(wanted));
    for (size_t i = 0; i < planes.size(); ++i)
        planes[i].intensity = 100.0 * planes[i].d / planes[0].d;
    return planes;
}

}  // namespace

int main(int argc, char** argv) {
    // From the build tree, the setup data sit two folders up from this program.
    if (qEnvironmentVariableIsEmpty("XDG_CONFIG_DIRS")) {
        std::error_code error;
        const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
        for (auto dir = exe.parent_path();
             !error && dir.has_parent_path() && dir != dir.parent_path(); dir = dir.parent_path())
            if (std::filesystem::exists(dir / "etc" / "xdg" / "Orvane.conf")) {
                qputenv("XDG_CONFIG_DIRS",
                        QByteArray::fromStdString((dir / "etc" / "xdg").string()));
                break;
            }
    }
    QApplication app(argc, argv);
    bool hexagonal = false, wire = false;
    TKikuchiBandStyle style = kbSolid;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "hex") == 0) hexagonal = true;
        if (std::strcmp(argv[i], "edge") == 0) style = kbEdge;
        if (std::strcmp(argv[i], "centre") == 0) style = kbCentre;
        if (std::strcmp(argv[i], "wire") == 0) wire = true;
    }

    TCrySet cs{};
    if (hexagonal)
        InitCrySet2(&cs, "Titanium", "demo", 2.9506f, 2.9506f, 4.6835f, 90, 90, 120, 9, 194);
    else
        InitCrySet2(&cs, "Copper", "demo", 3.6149f, 3.6149f, 3.6149f, 90, 90, 90, 11, 225);
    const std::vector<Plane> planes = planesFor(cs, hexagonal, 80);

    QWidget window;
    window.setWindowTitle("TCrystalEBSPpanel demo");
    auto* layout = new QHBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto* cellView = new TCrystalEBSPpanel(&window);
    auto* mapView = new TCrystalEBSPpanel(&window);
    layout->addWidget(cellView);
    layout->addWidget(mapView);

    cellView->SetShowAsWireFrame(wire);
    cellView->SetShowHiddenLines(wire);
    cellView->SetFaceColour(hexagonal ? QColor(120, 170, 220) : QColor(220, 150, 90));
    cellView->SetMouseRotWireFrame(true);
    mapView->SetShowCrystal(false);
    mapView->SetShowEBSP(true);
    mapView->SetKikuchiBandStyle(style);
    mapView->OnGetReflector = [&planes](QObject*, int i, int8_t& h, int8_t& k, int8_t& l, double& d,
                                        double& intensity) {
        const Plane& p = planes[size_t(i)];
        h = p.h, k = p.k, l = p.l, d = p.d, intensity = p.intensity;
    };
    // Either view's drag turns the other, as in the main window.
    auto couple = [](TCrystalEBSPpanel* from, TCrystalEBSPpanel* to) {
        from->OnRotate = [from, to](QObject*) { to->SetOrientation(from->EulerAngles()); };
    };
    couple(cellView, mapView);
    couple(mapView, cellView);

    const TVec3D start{0.4, 0.7, 0.3};
    for (TCrystalEBSPpanel* view : {cellView, mapView}) {
        view->SetRepaintLocked(true);
        view->SetCrystalSet(&cs, false);
        view->SetOrientation(start);
    }
    mapView->SetReflectorCount(int(planes.size()));
    for (TCrystalEBSPpanel* view : {cellView, mapView})
        view->SetRepaintLocked(false);

    window.resize(1004, 500);
    window.show();
    return app.exec();
}
