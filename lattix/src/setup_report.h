// What the last initialisation read its setup data from and what failed: the report behind
// GetSetupReport, the file named by ErrMsg, and the full check of SYMGEN and APU.
#pragma once

#include <cstdint>
#include <string>

#include "crystal_set.h"
#include "lattixSetup.h"

namespace lattix {

struct SetupReport {
    std::uint16_t status = 0;
    SetupFile file = SetupFile::None;
    std::int32_t laueGroup = 0;
    bool keyFound = false;
    std::string folder;  // empty: no lookup was made
    std::string keySource;
    std::string path;
    std::string detail;  // words that replace the standard ones, when set
};

// Of the last InitCrySet, InitCrySet2 or CheckSetupData.
extern SetupReport setupReport;

// The file whose failure LastStatus holds: ErrMsg names SYMGEN and APU
// before the status text.  None when LastStatus came from elsewhere.
extern SetupFile lastStatusFile;

// Starts the report of a new initialisation (forgets the last lookup).
void beginSetupReport();
// Ends it: the failure (status 0 for none) and the folder the last lookup found.
void endSetupReport(std::uint16_t status, SetupFile file, const std::string& path,
                    std::int32_t laueGroup);

// "SYMGEN not found in /opt/orvane", "APU: record for Laue group 7 is damaged".
std::string describeSetupFailure(const SetupReport& report);

// ErrMsg's text: the status text, after "SYMGEN: " or "APU: " when LastStatus
// holds a failure of that file; cut to the ErrMsg buffer.
void errMsgText(char* buffer);

// Reads SYMGEN and APU through (see CheckSetupData) into setupReport.
std::uint16_t checkSetupData();

// Copies a report into the C record, paths and text cut to their fields.
void fillSetupRecord(const SetupReport& report, TLtxSetupReport& out);

}  // namespace lattix
