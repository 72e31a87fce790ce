// Shows a cell view and a map view side by side, for screenshots.
#include <QApplication>
#include <QHBoxLayout>
#include <QWidget>

#include "CrystalEBSPpanel.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    auto* cellView = new TCrystalEBSPpanel(&window);
    auto* mapView = new TCrystalEBSPpanel(&window);
    layout->addWidget(cellView);
    layout->addWidget(mapView);
    window.resize(1000, 500);
    window.show();
    return app.exec();
}
