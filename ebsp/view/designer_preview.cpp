// The designer preview's sample crystal and its reflector list.
#include "designer_preview.h"

#include <algorithm>
#include <cmath>

#include "kikuchi_bands.h"

namespace ebsp {
namespace {

struct PreviewFamily {
    int h, k, l;
    double spacing;
    double intensity;
};

// The sample's strongest reflector families, strongest first.
constexpr PreviewFamily kPreviewFamilies[] = {
    {0, 0, 2, 2.3645, 100.0}, {0, 1, 1, 2.2501, 67.7},  {1, 1, 0, 1.477, 36.5},
    {1, 0, 0, 2.55824, 29.1}, {1, 1, 2, 1.25269, 24.5}, {0, 1, 3, 1.34202, 21.8},
    {0, 0, 4, 1.18225, 21.1}, {0, 2, 1, 1.23475, 17.7}, {1, 0, 2, 1.73641, 13.2},
    {1, 1, 4, 0.92298, 10.5}, {0, 2, 3, 0.99325, 9.8},
};

constexpr int kSymSetCapacity = 96;  // SymSetDir fills up to this many without a check

// A symmetry-turned index component back on the integer grid, nearest with ties to even.
int8_t previewIndex(double component, double length) {
    const double rounded = std::nearbyint(component * length);
    return static_cast<int8_t>(std::clamp(rounded, -128.0, 127.0));
}

}  // namespace

bool buildPreviewCrystal(TCrySet& crySet) {
    InitCrySet2(&crySet, "Hexagonal", "Designer preview sample", 2.954f, 2.954f, 4.729f, 90.0f,
                90.0f, 120.0f, 9, 0);
    // Without readable setup data the record is only partly built.
    if (GetInitIoStatus() == 0) return true;
    crySet = TCrySet{};
    return false;
}

int buildPreviewReflectorList(const TCrySet& crySet, PreviewReflector* out) {
    if (out == nullptr) return 0;
    int count = 0;
    TVec3D equivalents[kSymSetCapacity];
    for (const PreviewFamily& family : kPreviewFamilies) {
        TVec3D direction{double(family.h), double(family.k), double(family.l)};
        const double length = std::sqrt(direction.x * direction.x + direction.y * direction.y +
                                        direction.z * direction.z);
        UnityVector(&direction);
        uint8_t hasAntiparallel = 0;
        const int n = std::clamp(SymSetDir(&crySet, 1, &direction, &hasAntiparallel, equivalents),
                                 0, kSymSetCapacity);
        for (int i = 0; i < n; ++i) {
            if (count == kMaxReflectors) return count;
            PreviewReflector& entry = out[count++];
            entry.h = previewIndex(equivalents[i].x, length);
            entry.k = previewIndex(equivalents[i].y, length);
            entry.l = previewIndex(equivalents[i].z, length);
            entry.spacing = family.spacing;
            entry.intensity = family.intensity;
        }
    }
    return count;
}

}  // namespace ebsp
