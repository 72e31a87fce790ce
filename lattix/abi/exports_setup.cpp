// Exports of the cell check and the setup report.
#include "crystal_set.h"
#include "guard.h"
#include "lattixCell.h"
#include "lattixSetup.h"
#include "setup_report.h"

extern "C" {

LATTIX_API int32_t LATTIX_CALL CheckLattice(double a, double b, double c, double alpha, double beta,
                                            double gamma) {
    return lattix::abi::guarded(int32_t{LATTIX_STATUS_NO_CELL}, [&]() -> int32_t {
        return lattix::checkLattice(a, b, c, alpha, beta, gamma);
    });
}

LATTIX_API uint16_t LATTIX_CALL GetSetupReport(TLtxSetupReport* report) {
    return lattix::abi::guarded(std::uint16_t{LATTIX_STATUS_OUT_OF_MEMORY}, [&] {
        if (report != nullptr) lattix::fillSetupRecord(lattix::setupReport, *report);
        return lattix::setupReport.status;
    });
}

LATTIX_API uint16_t LATTIX_CALL CheckSetupData(TLtxSetupReport* report) {
    return lattix::abi::guarded(std::uint16_t{LATTIX_STATUS_OUT_OF_MEMORY}, [&] {
        const std::uint16_t status = lattix::checkSetupData();
        if (report != nullptr) lattix::fillSetupRecord(lattix::setupReport, *report);
        return status;
    });
}

}  // extern "C"
