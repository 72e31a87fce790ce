// The web address behind the main window's web button.
#pragma once

// The company's web pages.  The ".example" domain is reserved and resolves
// nowhere, so the program never sends anyone to a real third-party site; an
// installation that has real pages replaces this one constant.
inline constexpr const char* kKorvellWebAddress = "https://www.korvell.example/";
