// The library's process-wide state: LastStatus, the message-box hook, the I/O status of the last
// initialisation.
#pragma once

#include <cstdint>

#include "lattixLib.h"

namespace lattix {

// Set by InitCrySet only; ErrMsg turns it into text.
extern std::uint16_t lastStatus;
// I/O status of the last InitCrySet2/InitCrySet (0: setup data read in full).
extern std::uint16_t initIoStatus;

// The handler type carries the export calling convention (matters on 32-bit Windows).
void setMessageBoxHandler(TLtxMessageBoxHandler handler);

// Shows a message box through the host's handler, or writes to stderr.
// Inside an export call a box with the same caption and text is shown once.
void showMessageBox(const char* caption, const char* text) noexcept;

// Marks the run of one export call (nested scopes count as the outer one):
// one bad input must not raise the same box once per symmetry operator.
extern int exportCallDepth;
extern int shownBoxCount;

class ExportCallScope {
  public:
    // Inline: every export passes here, some of them in a few nanoseconds.
    ExportCallScope() noexcept {
        if (exportCallDepth++ == 0) shownBoxCount = 0;
    }
    ~ExportCallScope() { --exportCallDepth; }
    ExportCallScope(const ExportCallScope&) = delete;
    ExportCallScope& operator=(const ExportCallScope&) = delete;
};

// Text of a status code, NUL-terminated into buffer (>= 39 bytes).
void statusText(std::uint16_t status, char* buffer);

}  // namespace lattix
