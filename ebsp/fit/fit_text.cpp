// Strict parsers of the fit command's words; std::from_chars keeps them locale-independent.
#include "fit_text.h"

#include <charconv>
#include <cmath>
#include <set>

#include "lattixDetector.h"

namespace ebsp::fit {

const char kFitUsage[] =
    "usage: fit --phase NAME|INDEX|FILE --pattern IMAGE --euler PHI1,PHI,PHI2 --pc X,Y,Z\n"
    "           --convention bruker|edax|width|emsoft4|emsoft5 [--tilt DEG] [--sample-tilt DEG]\n"
    "           [--azimuthal DEG] [--twist DEG] [--kv KV] [--binning B] [--pixel-size UM]\n"
    "           [--reflectors N] [--mask-dark GREY] [--refine-pc] [--save SETTINGS.json]\n"
    "prints: phi1 Phi phi2 PCx PCy PCz fom (degrees; PC in the chosen convention)\n";

bool parseNumber(std::string_view text, double& value) {
    if (text.empty() || text.front() == '+') return false;
    double v = 0.0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v, std::chars_format::general);
    if (ec != std::errc() || ptr != end || !std::isfinite(v)) return false;
    value = v;
    return true;
}

bool parseNumberList(std::string_view text, int count, double* values) {
    std::vector<double> read;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string_view part = text.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        double v = 0.0;
        if (!parseNumber(part, v)) return false;
        read.push_back(v);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
        if (static_cast<int>(read.size()) >= count) return false;
    }
    if (static_cast<int>(read.size()) != count) return false;
    for (int i = 0; i < count; ++i)
        values[i] = read[i];
    return true;
}

bool parseCount(std::string_view text, int& value) {
    if (text.empty() || text.size() > 9) return false;
    int v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || ptr != end || text.front() == '-') return false;
    value = v;
    return true;
}

int conventionFromName(std::string_view name) {
    if (name == "bruker") return lxPcBruker;
    if (name == "edax" || name == "tsl") return lxPcEdax;
    if (name == "width") return lxPcWidth;
    if (name == "emsoft4") return lxPcEmsoft4;
    if (name == "emsoft5") return lxPcEmsoft5;
    return -1;
}

const char* conventionName(int convention) {
    switch (convention) {
        case lxPcBruker:
            return "bruker";
        case lxPcEdax:
            return "edax";
        case lxPcWidth:
            return "width";
        case lxPcEmsoft4:
            return "emsoft4";
        case lxPcEmsoft5:
            return "emsoft5";
        default:
            return "";
    }
}

std::string formatNumber(double value) {
    char buffer[64];
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, ptr) : std::string("0");
}

std::string formatFixed(double value, int decimals) {
    char buffer[512];
    if (value == 0.0) value = 0.0;  // no "-0.0000"
    const auto [ptr, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text = ec == std::errc() ? std::string(buffer, ptr) : std::string("nan");
    if (text.find_first_not_of("-0.") == std::string::npos && text.front() == '-')
        text.erase(0, 1);  // a value that rounds to zero prints without its sign
    return text;
}

bool parseFitArguments(const std::vector<std::string>& args, FitArguments& parsed,
                       std::string& error) {
    FitArguments a;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--help" || option == "-h") {
            a.help = true;
            continue;
        }
        if (!seen.insert(option).second) {
            error = "option " + option + " given twice";
            return false;
        }
        if (option == "--refine-pc") {
            a.refinePc = true;
            continue;
        }
        static const std::set<std::string> withValue = {
            "--phase",   "--pattern",     "--euler",      "--pc",    "--convention",
            "--tilt",    "--sample-tilt", "--azimuthal",  "--twist", "--kv",
            "--binning", "--pixel-size",  "--reflectors", "--save",  "--mask-dark"};
        if (!withValue.count(option)) {
            error = "unknown option \"" + option + "\"";
            return false;
        }
        if (i + 1 >= args.size()) {
            error = "option " + option + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        bool ok = true;
        if (option == "--phase") {
            a.phase = value;
            ok = !value.empty();
        } else if (option == "--pattern") {
            a.pattern = value;
            ok = !value.empty();
        } else if (option == "--save") {
            a.save = value;
            ok = !value.empty();
        } else if (option == "--euler") {
            ok = parseNumberList(value, 3, a.euler);
        } else if (option == "--pc") {
            ok = parseNumberList(value, 3, a.pc);
        } else if (option == "--convention") {
            a.convention = conventionFromName(value);
            ok = a.convention >= 0;
        } else if (option == "--tilt") {
            ok = parseNumber(value, a.tilt);
        } else if (option == "--sample-tilt") {
            ok = parseNumber(value, a.sampleTilt);
        } else if (option == "--azimuthal") {
            ok = parseNumber(value, a.azimuthal);
        } else if (option == "--twist") {
            ok = parseNumber(value, a.twist);
        } else if (option == "--kv") {
            ok = parseNumber(value, a.voltageKv) && a.voltageKv > 0.0 && a.voltageKv <= 1000.0;
        } else if (option == "--binning") {
            ok = parseCount(value, a.binning) && a.binning >= 1;
        } else if (option == "--pixel-size") {
            ok = parseNumber(value, a.pixelSize) && a.pixelSize > 0.0;
        } else if (option == "--mask-dark") {
            ok = parseNumber(value, a.maskDark) && a.maskDark >= 0.0;
        } else if (option == "--reflectors") {
            ok = parseCount(value, a.reflectors) && a.reflectors >= 1 && a.reflectors <= 200;
        }
        if (!ok) {
            error = "bad value \"" + value + "\" for " + option;
            return false;
        }
    }
    if (!a.help) {
        for (const char* required : {"--phase", "--pattern", "--euler", "--pc", "--convention"})
            if (!seen.count(required)) {
                error = std::string("missing ") + required;
                return false;
            }
    }
    parsed = a;
    return true;
}

}  // namespace ebsp::fit
