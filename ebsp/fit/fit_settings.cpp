// A strict JSON subset reader (objects, arrays, strings, numbers, null) with a depth limit,
// and the settings record on top of it.
#include "fit_settings.h"

#include <charconv>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "fit_text.h"

namespace ebsp::fit {

namespace {

constexpr int kMaxDepth = 8;
constexpr char kFormat[] = "ebsp-pattern-fit";

struct Value {
    enum Kind { Null, Number, String, Array, Object } kind = Null;
    double number = 0.0;
    std::string text;
    std::vector<Value> items;
    std::map<std::string, Value> members;
};

class Reader {
  public:
    explicit Reader(std::string_view s) : s_(s) {}

    bool document(Value& v) {
        if (!value(v, 0)) return false;
        skip();
        return pos_ == s_.size() || fail("trailing text");
    }
    std::string error;

  private:
    bool fail(const char* why) {
        if (error.empty()) error = std::string(why) + " at byte " + std::to_string(pos_);
        return false;
    }
    void skip() {
        while (pos_ < s_.size() &&
               (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r'))
            ++pos_;
    }
    bool literal(std::string_view word) {
        if (s_.substr(pos_, word.size()) != word) return fail("unexpected text");
        pos_ += word.size();
        return true;
    }
    bool value(Value& v, int depth) {
        if (depth > kMaxDepth) return fail("nesting too deep");
        skip();
        if (pos_ >= s_.size()) return fail("unexpected end");
        const char c = s_[pos_];
        if (c == '{') return object(v, depth);
        if (c == '[') return array(v, depth);
        if (c == '"') {
            v.kind = Value::String;
            return string(v.text);
        }
        if (c == 'n') {
            v.kind = Value::Null;
            return literal("null");
        }
        return number(v);
    }
    bool number(Value& v) {
        // JSON grammar: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
        const std::size_t start = pos_;
        auto digits = [&] {
            const std::size_t from = pos_;
            while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9')
                ++pos_;
            return pos_ - from;
        };
        if (pos_ < s_.size() && s_[pos_] == '-') ++pos_;
        const std::size_t intStart = pos_;
        const std::size_t intDigits = digits();
        if (intDigits == 0 || (intDigits > 1 && s_[intStart] == '0')) return fail("bad number");
        if (pos_ < s_.size() && s_[pos_] == '.') {
            ++pos_;
            if (digits() == 0) return fail("bad number");
        }
        if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
            ++pos_;
            if (pos_ < s_.size() && (s_[pos_] == '+' || s_[pos_] == '-')) ++pos_;
            if (digits() == 0) return fail("bad number");
        }
        std::string_view token = s_.substr(start, pos_ - start);
        if (!parseNumber(token, v.number)) return fail("number out of range");
        v.kind = Value::Number;
        return true;
    }
    bool hex4(unsigned& code) {
        if (pos_ + 4 > s_.size()) return fail("bad escape");
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = s_[pos_++];
            code <<= 4;
            if (c >= '0' && c <= '9')
                code |= c - '0';
            else if (c >= 'a' && c <= 'f')
                code |= c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                code |= c - 'A' + 10;
            else
                return fail("bad escape");
        }
        return true;
    }
    bool string(std::string& out) {
        ++pos_;  // opening quote
        out.clear();
        while (true) {
            if (pos_ >= s_.size()) return fail("unterminated string");
            const unsigned char c = static_cast<unsigned char>(s_[pos_++]);
            if (c == '"') return true;
            if (c < 0x20) return fail("control character in string");
            if (c != '\\') {
                out.push_back(static_cast<char>(c));
                continue;
            }
            if (pos_ >= s_.size()) return fail("unterminated string");
            const char e = s_[pos_++];
            switch (e) {
                case '"':
                    out.push_back('"');
                    break;
                case '\\':
                    out.push_back('\\');
                    break;
                case '/':
                    out.push_back('/');
                    break;
                case 'b':
                    out.push_back('\b');
                    break;
                case 'f':
                    out.push_back('\f');
                    break;
                case 'n':
                    out.push_back('\n');
                    break;
                case 'r':
                    out.push_back('\r');
                    break;
                case 't':
                    out.push_back('\t');
                    break;
                case 'u': {
                    unsigned code = 0;
                    if (!hex4(code)) return false;
                    if (code >= 0xD800 && code <= 0xDBFF) {
                        unsigned low = 0;
                        if (!literal("\\u") || !hex4(low) || low < 0xDC00 || low > 0xDFFF)
                            return fail("bad surrogate pair");
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    } else if (code >= 0xDC00 && code <= 0xDFFF) {
                        return fail("bad surrogate pair");
                    }
                    appendUtf8(out, code);
                    break;
                }
                default:
                    return fail("bad escape");
            }
        }
    }
    static void appendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    bool array(Value& v, int depth) {
        ++pos_;
        v.kind = Value::Array;
        skip();
        if (pos_ < s_.size() && s_[pos_] == ']') {
            ++pos_;
            return true;
        }
        while (true) {
            if (v.items.size() >= 64) return fail("array too long");
            v.items.emplace_back();
            if (!value(v.items.back(), depth + 1)) return false;
            skip();
            if (pos_ >= s_.size()) return fail("unexpected end");
            if (s_[pos_] == ']') {
                ++pos_;
                return true;
            }
            if (s_[pos_++] != ',') return fail("expected , or ]");
        }
    }
    bool object(Value& v, int depth) {
        ++pos_;
        v.kind = Value::Object;
        skip();
        if (pos_ < s_.size() && s_[pos_] == '}') {
            ++pos_;
            return true;
        }
        while (true) {
            skip();
            if (pos_ >= s_.size() || s_[pos_] != '"') return fail("expected a key");
            std::string key;
            if (!string(key)) return false;
            if (v.members.count(key)) return fail("duplicate key");
            if (v.members.size() >= 64) return fail("object too large");
            skip();
            if (pos_ >= s_.size() || s_[pos_++] != ':') return fail("expected :");
            if (!value(v.members[key], depth + 1)) return false;
            skip();
            if (pos_ >= s_.size()) return fail("unexpected end");
            if (s_[pos_] == '}') {
                ++pos_;
                return true;
            }
            if (s_[pos_++] != ',') return fail("expected , or }");
        }
    }

    std::string_view s_;
    std::size_t pos_ = 0;
};

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c < 0x20) {
            static const char hex[] = "0123456789abcdef";
            out += "\\u00";
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out + "\"";
}

std::string triple(const double v[3]) {
    return "[" + formatNumber(v[0]) + ", " + formatNumber(v[1]) + ", " + formatNumber(v[2]) + "]";
}

// Checks that object o has exactly the keys listed (optional ones may be missing).
bool exactKeys(const Value& o, std::initializer_list<const char*> required,
               std::initializer_list<const char*> optional, std::string& error) {
    std::size_t found = 0;
    for (const char* k : required) {
        if (!o.members.count(k)) {
            error = std::string("missing key \"") + k + "\"";
            return false;
        }
        ++found;
    }
    for (const char* k : optional)
        found += o.members.count(k);
    if (found != o.members.size()) {
        error = "unknown key";
        return false;
    }
    return true;
}

bool numberAt(const Value& o, const char* key, double& out, std::string& error) {
    const Value& v = o.members.at(key);
    if (v.kind != Value::Number) {
        error = std::string("\"") + key + "\" must be a number";
        return false;
    }
    out = v.number;
    return true;
}

bool integerAt(const Value& o, const char* key, int32_t& out, std::string& error) {
    double d = 0.0;
    if (!numberAt(o, key, d, error)) return false;
    if (d != std::floor(d) || d < 1.0 || d > 1e6) {
        error = std::string("\"") + key + "\" must be a whole number from 1";
        return false;
    }
    out = static_cast<int32_t>(d);
    return true;
}

bool tripleAt(const Value& o, const char* key, double out[3], std::string& error) {
    const Value& v = o.members.at(key);
    if (v.kind != Value::Array || v.items.size() != 3) {
        error = std::string("\"") + key + "\" must be three numbers";
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        if (v.items[i].kind != Value::Number) {
            error = std::string("\"") + key + "\" must be three numbers";
            return false;
        }
        out[i] = v.items[i].number;
    }
    return true;
}

bool stringAt(const Value& o, const char* key, std::string& out, std::string& error) {
    auto it = o.members.find(key);
    if (it == o.members.end()) return true;
    if (it->second.kind != Value::String) {
        error = std::string("\"") + key + "\" must be a string";
        return false;
    }
    out = it->second.text;
    return true;
}

}  // namespace

std::string writeFitSettings(const FitSettings& s) {
    double pc[3];
    if (DetectorGetPatternCentre(&s.detector, s.convention, pc) != 0) return {};
    const TDetector& d = s.detector;
    std::string out = "{\n";
    out += "  \"format\": " + quoted(kFormat) + ",\n";
    out += "  \"version\": 1,\n";
    out += "  \"pattern\": " + quoted(s.pattern) + ",\n";
    out += "  \"phase\": " + quoted(s.phase) + ",\n";
    out += "  \"kV\": " + formatNumber(s.voltageKv) + ",\n";
    out += "  \"detector\": {\"width\": " + std::to_string(d.Width) +
           ", \"height\": " + std::to_string(d.Height) +
           ", \"binning\": " + std::to_string(d.Binning) +
           ", \"pixelSize\": " + formatNumber(d.PixelSize) +
           ", \"sampleTilt\": " + formatNumber(d.SampleTilt) +
           ", \"tilt\": " + formatNumber(d.Tilt) + ", \"azimuthal\": " + formatNumber(d.Azimuthal) +
           ", \"twist\": " + formatNumber(d.Twist) + "},\n";
    out += "  \"convention\": " + quoted(conventionName(s.convention)) + ",\n";
    out += "  \"pc\": " + triple(pc) + ",\n";
    out += "  \"euler\": " + triple(s.eulerDeg) + ",\n";
    out += "  \"fom\": " + (s.hasFom ? formatNumber(s.fom) : std::string("null")) + "\n";
    out += "}\n";
    return out;
}

bool readFitSettings(std::string_view text, FitSettings& settings, std::string& error) {
    Value root;
    Reader reader(text);
    if (!reader.document(root)) {
        error = reader.error;
        return false;
    }
    if (root.kind != Value::Object) {
        error = "not a settings object";
        return false;
    }
    if (!exactKeys(root,
                   {"format", "version", "kV", "detector", "convention", "pc", "euler", "fom"},
                   {"pattern", "phase"}, error))
        return false;
    const Value& format = root.members.at("format");
    const Value& version = root.members.at("version");
    if (format.kind != Value::String || format.text != kFormat) {
        error = "not a pattern-fit settings file";
        return false;
    }
    if (version.kind != Value::Number || version.number != 1.0) {
        error = "unsupported version";
        return false;
    }
    FitSettings s;
    if (!stringAt(root, "pattern", s.pattern, error) || !stringAt(root, "phase", s.phase, error) ||
        !numberAt(root, "kV", s.voltageKv, error))
        return false;
    if (!(s.voltageKv > 0.0)) {
        error = "\"kV\" must be positive";
        return false;
    }
    const Value& det = root.members.at("detector");
    if (det.kind != Value::Object) {
        error = "\"detector\" must be an object";
        return false;
    }
    if (!exactKeys(
            det,
            {"width", "height", "binning", "pixelSize", "sampleTilt", "tilt", "azimuthal", "twist"},
            {}, error))
        return false;
    TDetector& d = s.detector;
    if (!integerAt(det, "width", d.Width, error) || !integerAt(det, "height", d.Height, error) ||
        !integerAt(det, "binning", d.Binning, error) ||
        !numberAt(det, "pixelSize", d.PixelSize, error) ||
        !numberAt(det, "sampleTilt", d.SampleTilt, error) ||
        !numberAt(det, "tilt", d.Tilt, error) || !numberAt(det, "azimuthal", d.Azimuthal, error) ||
        !numberAt(det, "twist", d.Twist, error))
        return false;
    const Value& convention = root.members.at("convention");
    s.convention = convention.kind == Value::String ? conventionFromName(convention.text) : -1;
    if (s.convention < 0) {
        error = "unknown \"convention\"";
        return false;
    }
    double pc[3];
    if (!tripleAt(root, "pc", pc, error) || !tripleAt(root, "euler", s.eulerDeg, error))
        return false;
    if (DetectorSetPatternCentre(&d, s.convention, pc) != 0) {
        error = "the detector or its pattern centre is out of range";
        return false;
    }
    const Value& fom = root.members.at("fom");
    if (fom.kind == Value::Number) {
        s.hasFom = true;
        s.fom = fom.number;
    } else if (fom.kind != Value::Null) {
        error = "\"fom\" must be a number or null";
        return false;
    }
    settings = s;
    return true;
}

}  // namespace ebsp::fit
