// Exports of the library state: status texts, message-box hook, I/O status.
#include "guard.h"
#include "lattixLib.h"
#include "library_state.h"
#include "setup_report.h"

extern "C" {

LATTIX_API char* LATTIX_CALL ErrMsg(char* buffer) {
    lattix::abi::guarded([&] { lattix::errMsgText(buffer); });
    return buffer;
}

LATTIX_API void LATTIX_CALL SetMessageBoxHandler(TLtxMessageBoxHandler handler) {
    lattix::abi::guarded([&] { lattix::setMessageBoxHandler(handler); });
}

LATTIX_API uint16_t LATTIX_CALL GetInitIoStatus(void) {
    return lattix::abi::guarded(std::uint16_t{0}, [] { return lattix::initIoStatus; });
}

}  // extern "C"
