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
    // Debug switch for screenshots and manual checks: EBSP_MOUSE_HIGHLIGHTS=1 starts with
    // the hidden "Mouse highlights" item checked.
    if (qEnvironmentVariableIntValue("EBSP_MOUSE_HIGHLIGHTS") == 1)
        form.MenuHighlightplaneandzone1->setChecked(true);
    form.show();
    return app.exec();
}
