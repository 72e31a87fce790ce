// The library's process-wide state and the message-box hook.
#include "library_state.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "lattixLib.h"

namespace lattix {

std::uint16_t lastStatus = 0;
std::uint16_t initIoStatus = 0;
int exportCallDepth = 0;
int shownBoxCount = 0;

namespace {
TLtxMessageBoxHandler messageBoxHandler = nullptr;

// Boxes shown during the current export call; the library's captions and
// texts are literals, so the pointers stay valid.
struct ShownBox {
    const char* caption;
    const char* text;
};
ShownBox shownBoxes[8];

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
        case LATTIX_STATUS_OK:
            text = "Ok";
            break;
        case LATTIX_STATUS_OUT_OF_MEMORY:
            text = "Insufficient memory for this operation";
            break;
        case LATTIX_STATUS_FILE_NOT_FOUND:
            text = "File not found";
            break;
        case LATTIX_STATUS_PATH_NOT_FOUND:
            text = "Path not found";
            break;
        case LATTIX_STATUS_TOO_MANY_OPEN_FILES:
            text = "Too many open files";
            break;
        case LATTIX_STATUS_ACCESS_DENIED:
            text = "File access denied";
            break;
        case LATTIX_STATUS_READ_ERROR:
            text = "Disk read error";
            break;
        case LATTIX_STATUS_WRITE_ERROR:
            text = "Disk write error";
            break;
        case LATTIX_STATUS_NOT_ASSIGNED:
            text = "File not assigned";
            break;
        case LATTIX_STATUS_NOT_OPEN:
            text = "File not open";
            break;
        case LATTIX_STATUS_NOT_OPEN_FOR_INPUT:
            text = "File not open for input";
            break;
        case LATTIX_STATUS_NOT_OPEN_FOR_OUTPUT:
            text = "File not open for output";
            break;
        case LATTIX_STATUS_INVALID_NUMBER:
            text = "Invalid numeric format";
            break;
        case LATTIX_STATUS_FILE_TOO_LARGE:
            text = "File too large";
            break;
        case LATTIX_STATUS_NO_CELL:
            text = "Cell parameters make no cell";
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
