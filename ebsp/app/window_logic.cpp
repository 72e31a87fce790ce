// Cell colours, reflector cut, description lines and pointer status texts.
#include "window_logic.h"

#include <cmath>

#include "view_constants.h"

std::optional<QColor> laueFaceColour(int laueGroup, float gammaDeg) {
    switch (laueGroup) {
        case 1:
            return QColor(0, 0, 255);
        case 2:
            return QColor(0, 128, 0);
        case 3:
            return QColor(255, 0, 0);
        case 4:
        case 5:
            return QColor(255, 255, 0);
        case 6:
        case 7:
        case 8:
        case 9:
            if (ebsp::hasHexagonalAxes(static_cast<double>(gammaDeg))) return QColor(0, 255, 255);
            return QColor(0, 128, 128);
        case 10:
        case 11:
            return QColor(0, 255, 0);
        default:
            return std::nullopt;
    }
}

int reflectorCut(const TPhaseRecord& phase, int n) {
    int cut = 0;
    int previousFamily = -1;
    const int capacity = static_cast<int>(phase.Reflectors.size());
    for (int i = 2; i <= capacity; ++i) {
        const TPhaseReflector& entry = phase.Reflectors[static_cast<std::size_t>(i - 1)];
        if (entry.Family == previousFamily) continue;
        previousFamily = entry.Family;
        if (entry.h == 0 && entry.k == 0 && entry.l == 0) break;
        if (i > n) break;
        cut = i - 1;
    }
    return cut;
}

QStringList phaseDescriptionLines(const TPhaseRecord& phase, const TCrySet& crySet,
                                  char decimalSeparator) {
    QStringList lines;
    lines << (QStringLiteral("Phase=") + QString::fromLatin1(phase.Name)).left(55);
    if (phase.SpaceGroupCode > 230) {
        lines << QStringLiteral("Laue Group=%1 (%2)")
                     .arg(int(phase.SpaceGroupCode) - 240)
                     .arg(QString::fromLatin1(phase.Symbol));
    } else {
        lines << QStringLiteral("Space Group=") + QString::fromLatin1(PhaseTitle(phase));
    }
    lines << QStringLiteral("Crystal System=") +
                 QString::fromLatin1(CrystalSystemText(phase.SpaceGroupCode));
    lines << QString::fromLatin1(LatticeText(crySet, decimalSeparator));
    return lines;
}

QString pickStatusText(const QString& zoneUvw, const QString& planeHkl, bool highlights) {
    const bool hasZone = !zoneUvw.isEmpty();
    const bool hasPlane = !planeHkl.isEmpty();
    if (hasZone && (!hasPlane || !highlights))
        return QStringLiteral(" ") + zoneUvw + QStringLiteral(" crystal direction");
    if (hasZone && hasPlane && highlights)
        return QStringLiteral(" ") + zoneUvw + QStringLiteral(" zone, ") + planeHkl +
               QStringLiteral(" plane");
    if (!hasZone && hasPlane && highlights)
        return QStringLiteral(" ") + planeHkl + QStringLiteral(" crystal plane");
    return {};
}
