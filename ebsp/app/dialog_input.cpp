// Parsing of the dialog answers: clamping, silent refusal of unreadable text.
#include "dialog_input.h"

#include <algorithm>
#include <cmath>

namespace {

std::optional<double> numberFromToken(const QString& token, const QLocale& locale) {
    bool ok = false;
    const double value = dialogLocale(locale).toDouble(token, &ok);
    if (!ok) return std::nullopt;
    return value;
}

// Locale first, then the decimal point that orientationText writes.
std::optional<double> angleFromToken(const QString& token, const QLocale& locale) {
    if (std::optional<double> value = numberFromToken(token, locale)) return value;
    return numberFromToken(token, QLocale::c());
}

}  // namespace

QLocale dialogLocale(const QLocale& base) {
    QLocale locale = base;
    locale.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator |
                            QLocale::OmitGroupSeparator);
    return locale;
}

int reflectorCountFromText(const QString& text) {
    bool ok = false;
    int count = text.trimmed().toInt(&ok, 10);
    if (!ok) count = -1;
    return std::clamp(count, kMinReflectorRequest, kMaxReflectorRequest);
}

std::optional<double> voltageFromText(const QString& text, const QLocale& locale) {
    std::optional<double> value = numberFromToken(text.trimmed(), locale);
    // NaN would pass both clamps untouched and poison every band width.
    if (!value || std::isnan(*value)) return std::nullopt;
    return std::clamp(*value, kMinVoltageKv, kMaxVoltageKv);
}

std::optional<std::array<double, 3>> orientationDegFromText(const QString& text,
                                                            const QLocale& locale) {
    QString rest = text;
    rest.replace(QLatin1Char(','), QLatin1Char(' '));
    rest = rest.trimmed();
    std::array<double, 3> angles{};
    for (double& angle : angles) {
        const qsizetype blank = rest.indexOf(QLatin1Char(' '));
        const QString token = blank < 0 ? rest : rest.left(blank);
        rest = blank < 0 ? QString() : rest.mid(blank + 1).trimmed();
        const std::optional<double> value = angleFromToken(token, locale);
        // Infinite angles would make the orientation matrix meaningless.
        if (!value || !std::isfinite(*value)) return std::nullopt;
        angle = *value;
    }
    return angles;
}

QString orientationText(double euler1Deg, double euler2Deg, double euler3Deg) {
    // asprintf formats in the C locale whatever the process locale is.
    return QString::asprintf("%.4g  %.4g  %.4g", euler1Deg, euler2Deg, euler3Deg);
}
