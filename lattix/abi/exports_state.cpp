// Exports of the library state: status texts, message-box hook, I/O status.
#include "guard.h"
#include "lattixLib.h"
#include "library_state.h"

extern "C" {

LATTIX_API char* LATTIX_CALL ErrMsg(char* buffer) {
    lattix::abi::guarded([&] { lattix::statusText(lattix::lastStatus, buffer); });
    return buffer;
}

LATTIX_API void LATTIX_CALL SetMessageBoxHandler(TLtxMessageBoxHandler handler) {
    lattix::setMessageBoxHandler(handler);
}

LATTIX_API uint16_t LATTIX_CALL GetInitIoStatus(void) {
    return lattix::initIoStatus;
}

}  // extern "C"
