// Command-line and Euler-list reading of the render command.
#include "render_args.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace ebsp::render {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::optional<double> toDouble(std::string_view s) {
    s = trim(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> toInt(std::string_view s) {
    s = trim(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    int value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return value;
}

std::string shortNumber(double value) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc()) return "nan";
    return std::string(buffer, end);
}

}  // namespace

bool parsePictureSize(std::string_view text, PictureSize& size, int maxSide) {
    text = trim(text);
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos) return false;
    const std::optional<int> w = toInt(text.substr(0, x));
    const std::optional<int> h = toInt(text.substr(x + 1));
    if (!w || !h || *w < 1 || *h < 1 || *w > maxSide || *h > maxSide) return false;
    size = {*w, *h};
    return true;
}

bool parseEulerTriple(std::string_view text, EulerDeg& angles) {
    EulerDeg read{};
    int count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        if (i >= text.size()) break;
        if (count > 0) {
            // One comma at most between two numbers, blanks around it allowed.
            if (text[i] == ',') {
                ++i;
                while (i < text.size() && isBlank(text[i]))
                    ++i;
            }
        }
        std::size_t end = i;
        while (end < text.size() && !isBlank(text[end]) && text[end] != ',')
            ++end;
        if (end == i || count == 3) return false;
        const std::optional<double> value = toDouble(text.substr(i, end - i));
        if (!value) return false;
        read[static_cast<std::size_t>(count++)] = *value;
        i = end;
    }
    if (count != 3) return false;
    angles = read;
    return true;
}

bool parsePcConvention(std::string_view text, PcConvention& convention) {
    struct Name {
        std::string_view text;
        PcConvention convention;
    };
    static constexpr Name kNames[] = {
        {"bruker", PcConvention::Bruker},   {"edax", PcConvention::Edax},
        {"tsl", PcConvention::Edax},        {"width", PcConvention::Width},
        {"emsoft4", PcConvention::Emsoft4}, {"emsoft5", PcConvention::Emsoft5},
        {"emsoft", PcConvention::Emsoft5}};
    for (const Name& name : kNames)
        if (text == name.text) {
            convention = name.convention;
            return true;
        }
    return false;
}

EulerList parseEulerList(std::string_view text) {
    EulerList list;
    int lineNumber = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        ++lineNumber;
        std::string_view line = text.substr(start, end - start);
        const std::size_t hash = line.find('#');
        if (hash != std::string_view::npos) line = line.substr(0, hash);
        line = trim(line);
        if (!line.empty()) {
            EulerListEntry entry;
            entry.line = lineNumber;
            if (!parseEulerTriple(line, entry.angles)) {
                list.badLine = lineNumber;
                list.entries.clear();
                return list;
            }
            list.entries.push_back(entry);
        }
        if (end == text.size()) break;
        start = end + 1;
    }
    list.ok = true;
    return list;
}

std::string expandOutputName(std::string_view pattern, int n, const EulerDeg& angles) {
    struct Field {
        std::string_view name;
        std::string value;
    };
    const Field fields[] = {{"{n}", std::to_string(n)},
                            {"{phi1}", shortNumber(angles[0])},
                            {"{Phi}", shortNumber(angles[1])},
                            {"{phi2}", shortNumber(angles[2])}};
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        bool replaced = false;
        for (const Field& field : fields) {
            if (pattern.substr(i, field.name.size()) == field.name) {
                out += field.value;
                i += field.name.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) out += pattern[i++];
    }
    return out;
}

bool outputNameVaries(std::string_view pattern) {
    for (std::string_view field : {"{n}", "{phi1}", "{Phi}", "{phi2}"})
        if (pattern.find(field) != std::string_view::npos) return true;
    return false;
}

bool progressBarWanted(bool stderrIsTerminal, double elapsedSeconds, int done, int total) {
    if (!stderrIsTerminal || total <= 0 || done <= 0) return false;
    if (elapsedSeconds > 1.0) return true;
    return elapsedSeconds / done * total > 1.0;
}

std::string progressBarText(int done, int total, int width) {
    if (total <= 0 || width <= 0) return {};
    if (done < 0) done = 0;
    if (done > total) done = total;
    const int filled = static_cast<int>(static_cast<long long>(done) * width / total);
    std::string bar = "[";
    bar.append(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(width - filled), '.');
    bar += "] " + std::to_string(done) + "/" + std::to_string(total);
    return bar;
}

namespace {

// One detector option's value into options; the message for a value out of range.
std::string readDetectorOption(const std::string& name, const std::string& v,
                               DetectorOptions& options) {
    options.any = true;
    const std::string quoted = name + " '" + v + "': ";
    auto angle = [&](double& target) -> std::string {
        const std::optional<double> value = toDouble(v);
        if (!value || std::fabs(*value) > kMaxDetectorAngleDeg)
            return quoted + "expected an angle from -180 to 180 degrees";
        target = *value;
        return {};
    };
    if (name == "--detector") {
        if (!parsePictureSize(v, options.pattern, kMaxDetectorSide))
            return quoted + "expected WIDTHxHEIGHT, 1 to " + std::to_string(kMaxDetectorSide) +
                   " pixels a side";
        options.patternGiven = true;
    } else if (name == "--pc") {
        if (!parseEulerTriple(v, options.pc)) return quoted + "expected three numbers X,Y,Z";
        options.pcGiven = true;
    } else if (name == "--convention") {
        if (!parsePcConvention(v, options.convention))
            return quoted + "expected bruker, edax, width, emsoft4 or emsoft5";
        options.conventionGiven = true;
    } else if (name == "--sample-tilt") {
        return angle(options.sampleTiltDeg);
    } else if (name == "--tilt") {
        return angle(options.tiltDeg);
    } else if (name == "--binning") {
        const std::optional<int> n = toInt(v);
        if (!n || *n < 1 || *n > kMaxBinning)
            return quoted + "expected a whole number from 1 to " + std::to_string(kMaxBinning);
        options.binning = *n;
        options.binningGiven = true;
    } else if (name == "--pixel-size") {
        const std::optional<double> um = toDouble(v);
        if (!um || !(*um > 0.0)) return quoted + "expected a pixel size above 0 micrometres";
        options.pixelSizeUm = *um;
        options.pixelSizeGiven = true;
    }
    return {};
}

}  // namespace

ParsedArgs parseRenderArgs(const std::vector<std::string>& args) {
    ParsedArgs result;
    Options& o = result.options;
    auto failWith = [&result](std::string message) {
        result.ok = false;
        result.error = std::move(message);
        return result;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        const std::size_t eq = name.find('=');
        if (name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        if (name == "--help" || name == "-h") {
            o.help = true;
            continue;
        }
        if (name == "--strict") {
            if (value) return failWith("--strict takes no value");
            o.strict = true;
            continue;
        }
        static const char* const kValued[] = {
            "--phase",       "--euler", "--kv",         "--reflectors", "--style", "--view",
            "--size",        "--out",   "--euler-list", "--detector",   "--pc",    "--convention",
            "--sample-tilt", "--tilt",  "--binning",    "--pixel-size"};
        bool known = false;
        for (const char* option : kValued)
            known = known || name == option;
        if (!known) return failWith("unknown option '" + args[i] + "'");
        if (!value) {
            if (i + 1 >= args.size()) return failWith(name + " needs a value");
            value = args[++i];
        }
        const std::string& v = *value;
        if (name == "--phase") {
            if (trim(v).empty()) return failWith("--phase needs a name, an index or a file");
            o.phase = std::string(trim(v));
        } else if (name == "--euler") {
            if (!parseEulerTriple(v, o.euler))
                return failWith("--euler '" + v + "': expected three angles PHI1,PHI,PHI2");
        } else if (name == "--kv") {
            const std::optional<double> kv = toDouble(v);
            if (!kv || *kv < 1.0 || *kv > 1000.0)
                return failWith("--kv '" + v + "': expected a voltage from 1 to 1000 kV");
            o.kv = *kv;
        } else if (name == "--reflectors") {
            const std::optional<int> n = toInt(v);
            if (!n || *n < 1 || *n > 200)
                return failWith("--reflectors '" + v + "': expected a count from 1 to 200");
            o.reflectors = *n;
        } else if (name == "--style") {
            if (v == "solid")
                o.style = BandStyle::Solid;
            else if (v == "edge" || v == "edges")
                o.style = BandStyle::Edge;
            else if (v == "centre" || v == "center" || v == "centres")
                o.style = BandStyle::Centre;
            else
                return failWith("--style '" + v + "': expected solid, edge or centre");
        } else if (name == "--view") {
            if (v == "map")
                o.view = ViewKind::Map;
            else if (v == "cell")
                o.view = ViewKind::Cell;
            else if (v == "detector")
                o.view = ViewKind::Detector;
            else
                return failWith("--view '" + v + "': expected map, cell or detector");
        } else if (name == "--size") {
            if (!parsePictureSize(v, o.size))
                return failWith("--size '" + v +
                                "': expected WIDTHxHEIGHT, 1 to 8000 pixels a side");
            o.sizeGiven = true;
        } else if (name == "--out") {
            if (v.empty()) return failWith("--out needs a file name");
            o.out = v;
        } else if (name == "--euler-list") {
            if (v.empty()) return failWith("--euler-list needs a file name");
            o.eulerList = v;
        } else {
            const std::string problem = readDetectorOption(name, v, o.detector);
            if (!problem.empty()) return failWith(problem);
        }
    }
    if (o.help) {
        result.ok = true;
        return result;
    }
    if (o.phase.empty()) return failWith("--phase is required");
    if (o.out.empty()) return failWith("--out is required");
    if (o.detector.any && o.view != ViewKind::Detector)
        return failWith(
            "the detector options (--detector, --pc, --convention, --sample-tilt, "
            "--tilt, --binning, --pixel-size) need --view detector");
    if (o.detector.conventionGiven && !o.detector.pcGiven)
        return failWith("--convention names the convention of --pc X,Y,Z: give --pc too");
    if (!o.eulerList.empty() && !outputNameVaries(o.out))
        return failWith("--out '" + o.out +
                        "' must hold {n}, {phi1}, {Phi} or {phi2} for an Euler list");
    result.ok = true;
    return result;
}

}  // namespace ebsp::render
