// The ebsp program: application title, main window, message loop.
#include <QApplication>

#include "Unit1.h"
#include "platform_services.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The application title names the program to the desktop (window class);
    // it is not set as Qt's display name, which X11 would append to the caption.
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QtPlatformServices services;
    TForm1 form(&services);
#ifdef EBSP_START_WITH_MOUSE_HIGHLIGHTS
    // Build switch for screenshots: start with the hidden "Mouse highlights" item checked.
    form.MenuHighlightplaneandzone1->setChecked(true);
#endif
    form.show();
    return app.exec();
}
