// The fit command: arguments, phase, pattern and detector, then the same refinement as the
// window's "Refine".
#include "fit_command.h"

#include <filesystem>
#include <fstream>

#include "fit_refine.h"
#include "fit_settings.h"
#include "fit_text.h"
#include "lattixLib.h"
#include "pattern_render.h"
#include "pgm_image.h"
#include "phase_catalogue.h"

namespace ebsp::fit {

namespace {

constexpr double kPi = 3.14159265358979323846;

int badInput(std::ostream& err, const std::string& message) {
    err << "fit: " << message << "\n";
    return 2;
}

}  // namespace

bool loadPgmPattern(const std::string& path, GreyImage& image, std::string& error) {
    std::string bytes;
    if (!readFileBytes(path, bytes, error)) return false;
    if (!readPgm(bytes, image, error)) {
        error = "\"" + path + "\": " + error;
        return false;
    }
    return true;
}

int runFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return runFitCommand(args, out, err, FitEnvironment{});
}

int runFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const PatternLoader& loader) {
    FitEnvironment environment;
    environment.loader = loader;
    if (!loader)
        environment.loader = [](const std::string&, GreyImage&, std::string& error) {
            error = "no pattern loader";
            return false;
        };
    return runFitCommand(args, out, err, environment);
}

int runFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const FitEnvironment& environment) {
    FitArguments a;
    std::string error;
    if (!parseFitArguments(args, a, error)) return badInput(err, error + "\n" + kFitUsage);
    if (a.help) {
        out << kFitUsage;
        return 0;
    }
    // A built-in name or index first; anything else may be a structure or crystal file.
    const std::uint32_t phaseIndex = findPhase(a.phase);
    TPhaseRecord filePhase;
    std::int32_t fileLaueGroup = 0;
    if (phaseIndex == 0) {
        std::error_code ec;
        if (!environment.phaseFromFile || !std::filesystem::exists(a.phase, ec))
            return badInput(
                err, "unknown phase \"" + a.phase + "\"" +
                         (environment.phaseFromFile ? " (no built-in phase, no such file)" : ""));
        if (!environment.phaseFromFile(a.phase, filePhase, fileLaueGroup, error))
            return badInput(err, error);
    }

    GreyImage pattern;
    const PatternLoader& loader = environment.loader ? environment.loader : loadPgmPattern;
    if (!loader(a.pattern, pattern, error)) return badInput(err, error);
    if (pattern.empty()) return badInput(err, "\"" + a.pattern + "\" holds no image");

    TDetector detector{};
    detector.Width = pattern.width;
    detector.Height = pattern.height;
    detector.Binning = a.binning;
    detector.PixelSize = a.pixelSize;
    detector.SampleTilt = a.sampleTilt;
    detector.Tilt = a.tilt;
    detector.Azimuthal = a.azimuthal;
    detector.Twist = a.twist;
    const int32_t status = DetectorSetPatternCentre(&detector, a.convention, a.pc);
    if (status == lxDetBadField)
        return badInput(err, (a.convention == lxPcEmsoft4 || a.convention == lxPcEmsoft5)
                                 ? "the EMsoft conventions need --pixel-size"
                                 : "the detector settings are out of range");
    if (status != 0) return badInput(err, "the pattern centre gives no valid detector distance");

    PhaseModel model;
    if (phaseIndex == 0) {
        // The file was read; what fails now is the phase itself, or the setup data.
        if (!buildPhaseModel(filePhase, fileLaueGroup, a.voltageKv, a.reflectors, model, error)) {
            const bool setup = GetInitIoStatus() != 0;
            err << "fit: \"" << a.phase << "\": " << error << "\n";
            return setup ? 1 : 2;
        }
    } else if (!buildPhaseModel(phaseIndex, a.voltageKv, a.reflectors, model, error)) {
        err << "fit: " << error << "\n";
        return 1;
    }
    const TVec3D euler{a.euler[0] * kPi / 180.0, a.euler[1] * kPi / 180.0,
                       a.euler[2] * kPi / 180.0};
    TMat3D g;
    Euler2Matrix(&euler, &g);

    RefineOptions options;
    options.refinePc = a.refinePc;
    PixelMask mask;
    if (a.maskDark >= 0.0) {
        mask = brighterThan(pattern, static_cast<float>(a.maskDark));
        std::size_t inside = 0;
        for (std::uint8_t m : mask)
            inside += m;
        if (inside < 16) return badInput(err, "--mask-dark leaves too few pattern pixels");
    }
    const RefineResult result = refineFit(pattern, mask, detector, g, model.bands, options);
    if (!result.valid) return badInput(err, "the pattern or the detector was refused");

    double pc[3];
    DetectorGetPatternCentre(&result.detector, a.convention, pc);
    const double eulerDeg[3] = {result.euler.x * 180.0 / kPi, result.euler.y * 180.0 / kPi,
                                result.euler.z * 180.0 / kPi};
    if (!a.save.empty()) {
        FitSettings settings;
        settings.pattern = a.pattern;
        settings.phase = model.name;
        settings.voltageKv = a.voltageKv;
        settings.detector = result.detector;
        settings.convention = a.convention;
        for (int i = 0; i < 3; ++i)
            settings.eulerDeg[i] = eulerDeg[i];
        settings.hasFom = true;
        settings.fom = result.fomAfter;
        std::ofstream file(a.save, std::ios::binary | std::ios::trunc);
        file << writeFitSettings(settings);
        if (!file) return badInput(err, "cannot write \"" + a.save + "\"");
    }
    out << formatFixed(eulerDeg[0], 4) << ' ' << formatFixed(eulerDeg[1], 4) << ' '
        << formatFixed(eulerDeg[2], 4) << ' ' << formatFixed(pc[0], 6) << ' '
        << formatFixed(pc[1], 6) << ' ' << formatFixed(pc[2], 6) << ' '
        << formatFixed(result.fomAfter, 4) << '\n';
    return 0;
}

}  // namespace ebsp::fit
