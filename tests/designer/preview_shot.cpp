// Renders the designer preview to a PNG: the control as dropped on a form (cell only),
// with the map switched on, and with band edges.  Usage: designer_preview_shot out.png
#include <cstdio>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "CrystalEBSPpanel.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s out.png\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    constexpr int kSide = 300;
    QImage sheet(3 * kSide + 20, kSide, QImage::Format_RGB32);
    sheet.fill(QColor(200, 200, 200));
    QPainter painter(&sheet);
    for (int i = 0; i < 3; ++i) {
        TCrystalEBSPpanel panel(nullptr, TCrystalEBSPpanel::TCreation::Designer);
        panel.resize(kSide, kSide);
        if (i >= 1) panel.SetShowEBSP(true);
        if (i == 2) panel.SetKikuchiBandStyle(TCrystalEBSPpanel::kbEdge);
        panel.Repaint();
        painter.drawImage(i * (kSide + 10), 0, panel.grab().toImage());
    }
    painter.end();
    return sheet.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
