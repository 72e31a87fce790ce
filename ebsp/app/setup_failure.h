// The message shown when a phase's crystal set cannot be built from the setup data: its text comes
// from what the library reports (the folder and file it tried, which file failed and why).
#pragma once

#include <string>
#include <vector>

#include "lattixSetup.h"

// Empty when report.Status is 0.  Otherwise, for example:
//   The crystal set of "Alumina" could not be built: SYMGEN not found in /opt/orvane.
//
//   Setup folder: /opt/orvane (SystemDir in /etc/xdg/Orvane.conf)
// followed by the library's own message boxes of the same call, one per line
// (duplicates left out), so that one selection shows one message.
std::string setupFailureMessage(const std::string& phaseName, const TLtxSetupReport& report,
                                const std::vector<std::string>& libraryMessages = {});

// The same for the last InitCrySet2 (or InitCrySet): asks the library with GetSetupReport.
std::string lastSetupFailureMessage(const std::string& phaseName,
                                    const std::vector<std::string>& libraryMessages = {});
