// The library's message hook: shown through the window's services or collected.
#include "library_messages.h"

#include "lattixLib.h"
#include "platform_services.h"

namespace {

struct LibraryMessageRoute {
    PlatformServices* services = nullptr;
    QStringList* collected = nullptr;
};
LibraryMessageRoute g_route;

void LATTIX_CALL showLibraryMessage(const char* caption, const char* text) {
    try {
        const QString c = QString::fromLatin1(caption ? caption : "");
        const QString t = QString::fromLatin1(text ? text : "");
        if (g_route.collected) {
            g_route.collected->append(c + QStringLiteral(": ") + t);
        } else if (g_route.services) {
            g_route.services->showError(nullptr, c, t);
        }
    } catch (...) {
        // The hook is called from inside the library: nothing may escape.
    }
}

}  // namespace

void routeLibraryMessages(PlatformServices* services) {
    g_route.services = services;
    SetMessageBoxHandler(&showLibraryMessage);
}

void stopRoutingLibraryMessages(PlatformServices* services) {
    if (g_route.services != services) return;
    g_route = {};
    SetMessageBoxHandler(nullptr);
}

void collectLibraryMessages(QStringList* into) {
    g_route.collected = into;
}
