// The setup-failure message, from the library's setup report.
#include "setup_failure.h"

#include <algorithm>
#include <memory>

std::string setupFailureMessage(const std::string& phaseName, const TLtxSetupReport& report,
                                const std::vector<std::string>& libraryMessages) {
    if (report.Status == LATTIX_STATUS_OK) return {};
    std::string text =
        "The crystal set of \"" + phaseName + "\" could not be built: " + report.Text + ".";
    if (report.Folder[0] != '\0') {
        // The folder as the library looked it up, not as another reader of Orvane.conf would.
        text += "\n\nSetup folder: " + std::string(report.Folder);
        text += report.KeyFound != 0
                    ? " (SystemDir in " + std::string(report.KeySource) + ")"
                    : " (built-in default; no " + std::string(report.KeySource) + ")";
    }
    std::vector<std::string> shown;
    for (const std::string& message : libraryMessages) {
        if (std::find(shown.begin(), shown.end(), message) != shown.end()) continue;
        shown.push_back(message);
    }
    if (!shown.empty()) {
        text += "\n";
        for (const std::string& message : shown)
            text += "\n" + message;
    }
    return text;
}

std::string lastSetupFailureMessage(const std::string& phaseName,
                                    const std::vector<std::string>& libraryMessages) {
    // The record is large (paths and text of fixed size): kept off the stack.
    const auto report = std::make_unique<TLtxSetupReport>();
    GetSetupReport(report.get());
    return setupFailureMessage(phaseName, *report, libraryMessages);
}
