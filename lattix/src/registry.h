// The machine-wide key Software\Orvane, read-only: the Windows registry, or Orvane.conf in the XDG
// system folders.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lattix {

// Joins folder and name with the platform separator.
#if defined(_WIN32)
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

struct RegistryValue {
    bool keyOpened = false;  // false: no Orvane.conf (no key on Windows)
    std::string value;       // SystemDir; empty when the key holds no such value
    std::string source;      // the Orvane.conf read (the key's name on Windows)
    std::string searched;    // where the key was looked for, for messages
};

// Reads SystemDir from the machine-wide key without any message.
RegistryValue readSystemDirValue();

// One lookup of the system folder: the folder, and where it came from.
struct SystemDirLookup {
    bool keyFound = false;  // false: the built-in default folder
    std::string folder;
    std::string keySource;  // the Orvane.conf (or registry key) read, or where it was looked for
};

// The lookup without the box.
SystemDirLookup lookUpSystemDir();

// The system folder, looked up anew at every call.  A missing key gives the
// default installed data folder and the "Orvane setup error" box; a key
// without the value gives the empty text.  Each lookup is remembered for the
// setup report (lastSystemDirLookup).
std::string systemDir();
const SystemDirLookup& lastSystemDirLookup();
void forgetSystemDirLookup();

// The value of key in section of an INI text as QSettings writes it
// ("[General]" holds keys outside any section; keys are case-sensitive;
// quotes and backslash escapes are undone).  The last occurrence wins.
std::optional<std::string> iniValue(std::string_view text, std::string_view section,
                                    std::string_view key);

}  // namespace lattix
