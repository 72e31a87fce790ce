// What the last initialisation read its setup data from and what failed.
#include "setup_report.h"

#include <cstring>

#include "laue_tables.h"
#include "library_state.h"
#include "registry.h"
#include "setup_files.h"

namespace lattix {

SetupReport setupReport;
SetupFile lastStatusFile = SetupFile::None;

namespace {

const char* fileName(SetupFile file) {
    switch (file) {
        case SetupFile::Crystal:
            return "Crystal file";
        case SetupFile::SymGen:
            return "SYMGEN";
        case SetupFile::Apu:
            return "APU";
        default:
            return "";
    }
}

std::string statusWords(std::uint16_t status) {
    char text[LATTIX_ERRMSG_SIZE];
    statusText(status, text);
    return text;
}

// Rotations of each Laue group's proper part: what its SYMGEN line must give.
constexpr std::int32_t kRotationCount[LATTIX_LAUE_GROUP_COUNT] = {1, 2, 4,  4,  8, 3,
                                                                  6, 6, 12, 12, 24};

template <std::size_t N>
void copyCut(char (&field)[N], const std::string& text) {
    const std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

std::uint16_t fail(std::uint16_t status, SetupFile file, const std::string& path, std::int32_t laue,
                   std::string detail = {}) {
    setupReport.status = status;
    setupReport.file = file;
    setupReport.path = path;
    setupReport.laueGroup = laue;
    setupReport.detail = std::move(detail);
    return status;
}

}  // namespace

void beginSetupReport() {
    setupReport = SetupReport{};
    forgetSystemDirLookup();
}

void endSetupReport(std::uint16_t status, SetupFile file, const std::string& path,
                    std::int32_t laueGroup) {
    const SystemDirLookup& lookup = lastSystemDirLookup();
    setupReport.keyFound = lookup.keyFound;
    setupReport.folder = lookup.folder;
    setupReport.keySource = lookup.keySource;
    if (status != kStatusOk) fail(status, file, path, laueGroup);
}

std::string describeSetupFailure(const SetupReport& r) {
    if (r.status == kStatusOk) return {};
    const std::string name = fileName(r.file);
    if (!r.detail.empty()) return name + ": " + r.detail;
    if (r.file == SetupFile::None) {
        if (r.status == kStatusRangeError && !isLaueIndex(r.laueGroup)) {
            return "Laue group " + std::to_string(r.laueGroup) + " is outside 1.." +
                   std::to_string(LATTIX_LAUE_GROUP_COUNT);
        }
        return statusWords(r.status);
    }
    if (r.file == SetupFile::Crystal) {
        const std::string head = name + " " + r.path;
        switch (r.status) {
            case kStatusFileNotFound:
                return head + " not found";
            case kStatusPathNotFound:
                return head + ": folder not found";
            case kStatusAccessDenied:
                return head + " cannot be read (access denied, or not a regular file)";
            case kStatusFileTooLarge:
                return head + " is too large";
            case kStatusInvalidNumber:
                return head + ": a number of the Laue group or cell line does not read";
            case kStatusNoCell:
                return head + ": the cell parameters make no cell";
            case kStatusRefusedVersion:
                return head + ": the version tag on line 1 is not accepted";
            case kStatusRangeError:
                return isLaueIndex(r.laueGroup)
                           ? head + ": the path is too long"
                           : head + ": Laue group " + std::to_string(r.laueGroup) +
                                 " is outside 1..11";
            default:
                return head + ": " + statusWords(r.status);
        }
    }
    switch (r.status) {
        case kStatusFileNotFound:
            return name + " not found in " + r.folder;
        case kStatusPathNotFound:
            return name + ": folder " + r.folder + " not found";
        case kStatusAccessDenied:
            return name + " in " + r.folder +
                   " cannot be read (access denied, or not a regular file)";
        case kStatusFileTooLarge:
            return name + " in " + r.folder + " is too large";
        case kStatusInvalidNumber:
        case kStatusRangeError:
            return r.file == SetupFile::SymGen ? "SYMGEN: line for Laue group " +
                                                     std::to_string(r.laueGroup) + " is damaged"
                                               : "APU: record for Laue group " +
                                                     std::to_string(r.laueGroup) + " is damaged";
        default:
            return name + " in " + r.folder + ": " + statusWords(r.status);
    }
}

void errMsgText(char* buffer) {
    const bool named = lastStatus != kStatusOk &&
                       (lastStatusFile == SetupFile::SymGen || lastStatusFile == SetupFile::Apu);
    if (!named) {
        statusText(lastStatus, buffer);
        return;
    }
    const std::string text = std::string(fileName(lastStatusFile)) + ": " + statusWords(lastStatus);
    const std::size_t n =
        text.size() < LATTIX_ERRMSG_SIZE - 1 ? text.size() : LATTIX_ERRMSG_SIZE - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

std::uint16_t checkSetupData() {
    beginSetupReport();
    const SystemDirLookup lookup = lookUpSystemDir();
    setupReport.keyFound = lookup.keyFound;
    setupReport.folder = lookup.folder;
    setupReport.keySource = lookup.keySource;

    const std::string symgenPath = lookup.folder + kPathSeparator + "SYMGEN";
    std::string text;
    std::uint16_t status = readWholeFile(symgenPath, text);
    if (status != kStatusOk) return fail(status, SetupFile::SymGen, symgenPath, 0);
    for (std::int32_t laue = 1; laue <= LATTIX_LAUE_GROUP_COUNT; ++laue) {
        GeneratorList generators;
        status = parseSymGen(text, laue, generators);
        if (status != kStatusOk) return fail(status, SetupFile::SymGen, symgenPath, laue);
        std::int32_t rotations = 1;
        for (std::int32_t g = 0; g < generators.count; ++g)
            rotations *= generators.orders[g] > 1 ? generators.orders[g] : 1;
        if (rotations != kRotationCount[laue - 1]) {
            return fail(kStatusRangeError, SetupFile::SymGen, symgenPath, laue,
                        "line for Laue group " + std::to_string(laue) + " gives " +
                            std::to_string(rotations) + " rotations, not " +
                            std::to_string(kRotationCount[laue - 1]));
        }
    }

    const std::string apuPath = lookup.folder + kPathSeparator + "APU";
    status = readWholeFile(apuPath, text);
    if (status != kStatusOk) return fail(status, SetupFile::Apu, apuPath, 0);
    std::int32_t records = 0;
    status = countApuRecords(text, records);
    // Records run 11 v0, 11 v1, 10 v0, ...: the record that failed names its group.
    const std::int32_t group = LATTIX_LAUE_GROUP_COUNT - records / 2;
    if (status != kStatusOk) return fail(status, SetupFile::Apu, apuPath, group);
    if (records < 2 * LATTIX_LAUE_GROUP_COUNT) {
        return fail(kStatusRangeError, SetupFile::Apu, apuPath, group,
                    "holds " + std::to_string(records) + " of the " +
                        std::to_string(2 * LATTIX_LAUE_GROUP_COUNT) + " records");
    }
    return kStatusOk;
}

void fillSetupRecord(const SetupReport& report, TLtxSetupReport& out) {
    out.Status = report.status;
    out.File = static_cast<std::int32_t>(report.file);
    out.LaueGroup = report.laueGroup;
    out.KeyFound = report.keyFound ? 1 : 0;
    copyCut(out.Folder, report.folder);
    copyCut(out.KeySource, report.keySource);
    copyCut(out.Path, report.path);
    copyCut(out.Text, describeSetupFailure(report));
}

}  // namespace lattix
