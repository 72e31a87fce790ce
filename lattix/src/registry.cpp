// The machine-wide key Software\Orvane, read-only.
#include "registry.h"

#include <cstdlib>

#include "library_state.h"
#include "setup_files.h"

#if defined(_WIN32)
#include <windows.h>
#endif

#ifndef LATTIX_DEFAULT_SYSTEM_DIR
#define LATTIX_DEFAULT_SYSTEM_DIR "/usr/local/share/orvane"
#endif

namespace lattix {

namespace {

std::string_view trimSpaces(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Undoes QSettings' quoting: "..." segments and backslash escapes.
std::string unescapeIniValue(std::string_view raw) {
    std::string out;
    bool quoted = false;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\\' && i + 1 < raw.size()) {
            const char e = raw[++i];
            switch (e) {
                case 'n':
                    out += '\n';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'r':
                    out += '\r';
                    break;
                default:
                    out += e;
                    break;  // \\, \", \; and the like
            }
        } else if (c == ';' && !quoted) {
            break;  // comment
        } else {
            out += c;
        }
    }
    return std::string(trimSpaces(out));
}

}  // namespace

std::optional<std::string> iniValue(std::string_view text, std::string_view section,
                                    std::string_view key) {
    std::optional<std::string> found;
    std::string_view current = "General";
    while (!text.empty()) {
        // Lines end in LF, CR LF or a lone CR, as QSettings reads them.
        const std::size_t end = text.find_first_of("\r\n");
        std::string_view line = trimSpaces(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            current = close == std::string_view::npos ? line.substr(1) : line.substr(1, close - 1);
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        if (current == section && trimSpaces(line.substr(0, eq)) == key) {
            found = unescapeIniValue(trimSpaces(line.substr(eq + 1)));
        }
    }
    return found;
}

#if defined(_WIN32)

RegistryValue readSystemDirValue() {
    RegistryValue result;
    result.searched = "HKEY_LOCAL_MACHINE\\Software\\Orvane";
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Orvane", 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return result;
    }
    result.keyOpened = true;
    result.source = "HKEY_LOCAL_MACHINE\\Software\\Orvane";
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, "SystemDir", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
        std::string buffer(size, '\0');
        if (RegQueryValueExA(key, "SystemDir", nullptr, &type,
                             reinterpret_cast<BYTE*>(buffer.data()), &size) == ERROR_SUCCESS) {
            buffer.resize(std::min<std::size_t>(size, buffer.size()));
            while (!buffer.empty() && buffer.back() == '\0')
                buffer.pop_back();
            result.value = buffer;  // no expansion of environment references
        }
    }
    RegCloseKey(key);
    return result;
}

#else

// QSettings(SystemScope, "Orvane") keeps the machine-wide key in Orvane.conf
// in the XDG system configuration folders; the first folder holding it wins.
RegistryValue readSystemDirValue() {
    RegistryValue result;
    const char* env = std::getenv("XDG_CONFIG_DIRS");
    std::string_view dirs = (env != nullptr && *env != '\0') ? env : "/etc/xdg";
    result.searched = "Orvane.conf in " + std::string(dirs);
    while (true) {
        const std::size_t colon = dirs.find(':');
        const std::string_view dir = dirs.substr(0, colon);
        // Relative entries are invalid in XDG_CONFIG_DIRS and are skipped.
        if (!dir.empty() && dir.front() == '/') {
            std::string contents;
            if (readWholeFile(std::string(dir) + "/Orvane.conf", contents) == kStatusOk) {
                result.keyOpened = true;
                result.source = std::string(dir) + "/Orvane.conf";
                result.value = iniValue(contents, "General", "SystemDir").value_or(std::string());
                return result;
            }
        }
        if (colon == std::string_view::npos) break;
        dirs.remove_prefix(colon + 1);
    }
    return result;
}

#endif

namespace {
SystemDirLookup lastLookup;
}

SystemDirLookup lookUpSystemDir() {
    RegistryValue key = readSystemDirValue();
    SystemDirLookup lookup;
    lookup.keyFound = key.keyOpened;
    lookup.folder = key.keyOpened ? key.value : std::string(LATTIX_DEFAULT_SYSTEM_DIR);
    lookup.keySource = key.keyOpened ? key.source : key.searched;
    return lookup;
}

std::string systemDir() {
    lastLookup = lookUpSystemDir();
    if (!lastLookup.keyFound)
        showMessageBox("Orvane setup error", "Cannot read registry entry SystemDir");
    return lastLookup.folder;
}

const SystemDirLookup& lastSystemDirLookup() {
    return lastLookup;
}

void forgetSystemDirLookup() {
    lastLookup = SystemDirLookup{};
}

}  // namespace lattix
