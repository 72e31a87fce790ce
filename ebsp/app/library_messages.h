// Where the library's message boxes go.  Only one window is alive at a time; while a
// crystal set is being built they are collected instead, so a failed build shows one
// message, not one per file the library tried.
#pragma once

#include <QStringList>

class PlatformServices;

// Installs the library's message hook, showing each message through services.
void routeLibraryMessages(PlatformServices* services);
// Removes the hook when services is still the one it shows through.
void stopRoutingLibraryMessages(PlatformServices* services);
// While into is set, messages are appended to it ("caption: text") instead of shown.
void collectLibraryMessages(QStringList* into);
