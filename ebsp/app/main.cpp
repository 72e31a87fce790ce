// The ebsp program: application title, main window, message loop.
#include <QApplication>

#include "Unit1.h"
#include "platform_services.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setApplicationDisplayName(QString::fromLatin1(kApplicationTitle));
    QtPlatformServices services;
    TForm1 form(&services);
    form.show();
    return app.exec();
}
