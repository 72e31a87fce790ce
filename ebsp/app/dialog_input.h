// Reading and writing the texts of the main window's input dialogs.
#pragma once

#include <QLocale>
#include <QString>

#include <array>
#include <optional>

inline constexpr int kMinReflectorRequest = 20;
inline constexpr int kMaxReflectorRequest = 200;
inline constexpr double kMinVoltageKv = 1.0;
inline constexpr double kMaxVoltageKv = 100.0;

// The reflector-count answer: blanks trimmed, a decimal integer; unreadable
// text counts as -1; the value is then clamped to 20..200 (never rejected).
int reflectorCountFromText(const QString& text);

// The voltage answer in kV: blanks trimmed, a number with the locale's decimal
// separator; nothing for unreadable text or NaN; clamped to 1..100.
std::optional<double> voltageFromText(const QString& text, const QLocale& locale);

// The orientation answer: commas become blanks, then the first three
// blank-separated tokens are read as degrees (further tokens ignored), in the
// locale's notation or with a decimal point.  Nothing when fewer than three
// numbers or a token is not a finite number.
std::optional<std::array<double, 3>> orientationDegFromText(const QString& text,
                                                            const QLocale& locale);

// The orientation dialog's initial text: "%.4g  %.4g  %.4g", always with a
// decimal point: a decimal comma would be turned into a separator when the
// text is read back, so the dialog's own proposal would give a wrong angle.
QString orientationText(double euler1Deg, double euler2Deg, double euler3Deg);

// A locale that reads numbers as the dialogs need: no thousands separators,
// so "1,5" is never taken for 15.
QLocale dialogLocale(const QLocale& base = QLocale());
