// The library's process-wide state and the message-box hook.
#include "library_state.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "lattixLib.h"

namespace lattix {

std::uint16_t lastStatus = 0;
std::uint16_t initIoStatus = 0;

namespace {
TLtxMessageBoxHandler messageBoxHandler = nullptr;

// Boxes shown during the current export call; the library's captions and
// texts are literals, so the pointers stay valid.
struct ShownBox {
    const char* caption;
    const char* text;
};
int exportCallDepth = 0;
ShownBox shownBoxes[8];
int shownBoxCount = 0;

bool alreadyShownInThisCall(const char* caption, const char* text) {
    if (exportCallDepth == 0) return false;
    for (int i = 0; i < shownBoxCount; ++i) {
        if (std::strcmp(shownBoxes[i].caption, caption) == 0 &&
            std::strcmp(shownBoxes[i].text, text) == 0)
            return true;
    }
    if (shownBoxCount < static_cast<int>(std::size(shownBoxes)))
        shownBoxes[shownBoxCount++] = ShownBox{caption, text};
    return false;
}
}  // namespace

ExportCallScope::ExportCallScope() noexcept {
    if (exportCallDepth++ == 0) shownBoxCount = 0;
}

ExportCallScope::~ExportCallScope() {
    --exportCallDepth;
}

void setMessageBoxHandler(TLtxMessageBoxHandler handler) {
    messageBoxHandler = handler;
}

void showMessageBox(const char* caption, const char* text) noexcept {
    if (caption == nullptr) caption = "";
    if (text == nullptr) text = "";
    if (alreadyShownInThisCall(caption, text)) return;
    if (messageBoxHandler != nullptr) {
        messageBoxHandler(caption, text);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

void statusText(std::uint16_t status, char* buffer) {
    const char* text = nullptr;
    switch (status) {
        case 0:
            text = "Ok";
            break;
        case 1:
            text = "Insufficient memory for this operation";
            break;
        case 2:
            text = "File not found";
            break;
        case 3:
            text = "Path not found";
            break;
        case 4:
            text = "Too many open files";
            break;
        case 5:
            text = "File access denied";
            break;
        case 100:
            text = "Disk read error";
            break;
        case 101:
            text = "Disk write error";
            break;
        case 102:
            text = "File not assigned";
            break;
        case 103:
            text = "File not open";
            break;
        case 104:
            text = "File not open for input";
            break;
        case 105:
            text = "File not open for output";
            break;
        case 106:
            text = "Invalid numeric format";
            break;
        case LATTIX_STATUS_FILE_TOO_LARGE:
            text = "File too large";
            break;
        default:
            break;
    }
    if (text != nullptr) {
        std::strcpy(buffer, text);  // the longest text is 38 characters + NUL
    } else {
        std::snprintf(buffer, LATTIX_ERRMSG_SIZE, "Error number: %u",
                      static_cast<unsigned>(status));
    }
}

}  // namespace lattix
