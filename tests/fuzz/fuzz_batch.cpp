// Fuzz target: the array exports against the per-call AxisAngleMat on pairs built from the input:
// random orientations, identical pairs, operator-related pairs, half turns, zone boundaries,
// tiny angles, NaN, and raw doubles; every thread count must give the same bits.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "lattixBatch.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxPairs = 64;

const TCrySet& crySet(int laue) {
    static TCrySet sets[11];
    static bool ready[11] = {};
    TCrySet& cs = sets[laue - 1];
    if (!ready[laue - 1]) {
        const bool hex = laue >= 6 && laue <= 9;
        InitCrySet2(&cs, "fuzz", "ref", hex ? 3 : 4, hex ? 3 : 4, hex ? 5 : 4, 90, 90,
                    hex ? 120 : 90, laue, 240 + laue);
        if (GetInitIoStatus() != 0) {
            std::fprintf(stderr, "setup data missing: set XDG_CONFIG_DIRS\n");
            std::abort();
        }
        ready[laue - 1] = true;
    }
    return cs;
}

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::uint8_t byte() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
    double unit() { return (byte() * 256.0 + byte()) / 65535.0; }
    double raw() {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = bits << 8 | byte();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
};

TMat3D eulerMatrix(Reader& in) {
    const TVec3D e{2 * kPi * in.unit(), kPi * in.unit(), 2 * kPi * in.unit()};
    TMat3D g;
    Euler2Matrix(&e, &g);
    return g;
}

TMat3D rotation(TVec3D axis, double angle) {
    if (!UnityVector(&axis)) axis = TVec3D{0, 0, 1};
    TMat3D m;
    AxisAngle2Matrix(&axis, &angle, &m);
    return m;
}

TMat3D product(const TMat3D& a, const TMat3D& b) {
    TMat3D out;
    MatMul3x3(&a, &b, &out);
    return out;
}

bool hasNaN(const TMat3D& m) {
    for (int i = 0; i < 9; ++i) {
        if (!std::isfinite((&m.col[0].x)[i])) return true;
    }
    return false;
}

[[noreturn]] void fail(const char* what, int laue, int pair, double got, double want) {
    std::fprintf(stderr, "%s: group %d pair %d: %.17g, AxisAngleMat %.17g\n", what, laue, pair, got,
                 want);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in{data, size};
    const int laue = 1 + in.byte() % 11;
    const int threads = in.byte() % 4;
    const TCrySet& cs = crySet(laue);
    std::vector<TMat3D> a, b;
    std::vector<int> kinds;
    while (in.size > 0 && static_cast<int>(a.size()) < kMaxPairs) {
        const int kind = in.byte() % 8;
        const TMat3D base = eulerMatrix(in);
        const TMat3D& op = cs.SymOps[in.byte() % cs.SymOpCount];
        TMat3D opT;
        Transpose(&op, &opT);
        const TVec3D axis{in.unit() - 0.5, in.unit() - 0.5, in.unit() - 0.5};
        TMat3D m = base;
        switch (kind) {
            case 0:
                m = eulerMatrix(in);
                break;
            case 1:
                break;
            case 2:
                m = product(opT, base);
                break;
            case 3:
                m = product(rotation(axis, kPi), base);
                break;
            case 4: {  // half-way between the identity and an operator: a tie
                const double t = (&op.col[0].x)[0] + (&op.col[0].x)[4] + (&op.col[0].x)[8];
                const double w = std::acos(std::fmax(-1.0, std::fmin(1.0, (t - 1) / 2)));
                TVec3D n{(&op.col[0].x)[7] - (&op.col[0].x)[5],
                         (&op.col[0].x)[2] - (&op.col[0].x)[6],
                         (&op.col[0].x)[3] - (&op.col[0].x)[1]};
                m = product(rotation(n, -w / 2), base);
                break;
            }
            case 5:
                m = product(rotation(axis, std::pow(10.0, -12 * in.unit())), base);
                break;
            case 6:
                (&m.col[0].x)[in.byte() % 9] = std::nan("");
                break;
            default:
                for (int i = 0; i < 9; ++i)
                    (&m.col[0].x)[i] = in.raw();
                break;
        }
        a.push_back(m);
        b.push_back(base);
        kinds.push_back(kind);
    }
    const auto n = static_cast<std::int64_t>(a.size());
    std::vector<double> fast(n + 1), one(n + 1), withAxes(n + 1), fromQuat(n + 1);
    std::vector<TVec3D> axes(n + 1);
    std::vector<TQuat> qa(n + 1), qb(n + 1);
    std::vector<TMat3D> ma(n + 1), mb(n + 1);
    if (BatchMisorientation(&cs, a.data(), b.data(), n, fast.data(), nullptr, threads) != 0 ||
        BatchMisorientation(&cs, a.data(), b.data(), n, one.data(), nullptr, 1) != 0 ||
        BatchMisorientation(&cs, a.data(), b.data(), n, withAxes.data(), axes.data(), threads) !=
            0 ||
        BatchMatrix2Quat(a.data(), qa.data(), n) != 0 ||
        BatchMatrix2Quat(b.data(), qb.data(), n) != 0 ||
        BatchQuat2Matrix(qa.data(), ma.data(), n) != 0 ||
        BatchQuat2Matrix(qb.data(), mb.data(), n) != 0 ||
        BatchMisorientationQuat(&cs, qa.data(), qb.data(), n, fromQuat.data(), nullptr, threads) !=
            0)
        std::abort();
    if (n > 0 && std::memcmp(fast.data(), one.data(), n * sizeof(double)) != 0) std::abort();
    for (std::int64_t i = 0; i < n; ++i) {
        const bool missing = hasNaN(a[i]) || hasNaN(b[i]);
        if (missing) {
            if (!std::isnan(fast[i]) || !std::isnan(withAxes[i]))
                fail("NaN input", laue, i, fast[i], 0);
            continue;
        }
        if (kinds[i] == 7) continue;  // not a rotation: no angle is promised
        TVec3D axis;
        double angle = 0;
        AxisAngleMat(&cs, &a[i], &b[i], &axis, &angle);
        if (!(std::fabs(fast[i] - angle) <= 1e-12)) fail("angle only", laue, i, fast[i], angle);
        if (!(std::fabs(withAxes[i] - angle) <= 1e-12))
            fail("with axes", laue, i, withAxes[i], angle);
        if (std::memcmp(&axis, &axes[i], sizeof axis) != 0)
            fail("axis", laue, i, axes[i].x, axis.x);
        AxisAngleMat(&cs, &ma[i], &mb[i], &axis, &angle);
        if (!(std::fabs(fromQuat[i] - angle) <= 1e-12))
            fail("quaternions", laue, i, fromQuat[i], angle);
    }
    // Conversions and the reduction on whatever the input holds: no crash, no box.
    std::vector<TVec3D> e(n + 1);
    BatchMatrix2Euler(a.data(), e.data(), n);
    BatchNormalizeEuler(&cs, e.data(), n, threads);
    return 0;
}
