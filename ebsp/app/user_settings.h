// Where the user's own settings are kept (user scope, never the machine-wide key): the
// detector, the phases loaded from files.
#pragma once

inline constexpr const char* kSettingsOrganisation = "Korvell";
inline constexpr const char* kSettingsApplication = "Velloran";
