#include "driverdata/EdgeDiffraction.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "driverdata/BaffleEdges.h"
#include "shell/DriverRecord.h"
#include "shell/FrequencyGrid.h"
#include "shell/NumberText.h"
#include "shell/StartupAllocation.h"

namespace driverdata {

// Start values from ResetDiffractionSettings, before main runs and on every reset.
std::int32_t EdgeProfile;
float EdgeBevelA;
float EdgeBevelB;
float EdgeRoundRadius;
std::int32_t DiffractionDirectivity;
std::int32_t DiffractionShowPhase;
std::int32_t DiffractionDipole;
std::int32_t DiffractionListIndex;
std::int32_t DiffractionSplSlot;
std::int32_t DiffractionPhaseSlot;
std::int32_t DiffractionPowerSlot;
DiffractionSum DiffractionAccumulator;
float DiffractionFrequencyGrid[shell::kGridPoints];
bool DiffractionFastTurns;

namespace {

// The model's constants as the calculator has always used them: they enter every result.
constexpr float kTwoPi = 6.284f;
constexpr float kSpeedOfSound = 344.0f;  // m/s
constexpr float kEdgeScale = -0.8571428571428572f;
constexpr float kQuarterTurn = 1.5707963267948966f;
// Below this [m] a source sits on an element's midpoint or the microphone on it: the view
// angle has no meaning and the element adds nothing.
constexpr float kShortestPath = 1e-6f;

// One source point's view of one edge element.
struct ElementView {
    float l;    // element length [m]
    float phi;  // view angle [rad]; 0 for an element that adds nothing
    float L;    // midpoint to microphone [m]
    float s;    // source to midpoint [m]
};

ElementView g_scratch_views[shell::kEdgePointSlots];

void FillViews(ElementView* views, const shell::BafflePoint& source, float raster, float z) {
    const shell::BafflePoint& mic = shell::Baffle->Points[shell::kBaffleMicrophone];
    const int count = std::min<int>(shell::EdgeElementCount, shell::kEdgePointSlots);
    for (int e = 0; e < count; ++e) {
        const shell::EdgeElement& element = shell::EdgeElementTable[e];
        const shell::BafflePoint mid{element.mid_x, element.mid_y, 0.0f, 0};
        ElementView& v = views[e];
        const float to_mic = 0.01f * raster * PointDistance2D(mic, mid);
        v.L = std::sqrt(to_mic * to_mic + z * z);
        v.l = 0.01f * raster * PointDistance2D(element.a, element.b);
        v.s = 0.01f * raster * PointDistance2D(source, mid);
        v.phi = 0.0f;
        if (v.s < kShortestPath || v.L < kShortestPath) continue;
        const float q = (0.5f * v.l - v.s) / (0.5f * v.l + v.s);
        const float theta = VertexAngle(mid, source, element.b);
        const float t = std::tan(0.5f * theta);
        const float phi = std::atan2(q / t + q * t, 1.0f - q * q) + kQuarterTurn;
        if (std::isfinite(phi)) v.phi = phi;
    }
}

struct Path {
    float length;  // P [m]
    float norm;    // N [m]
    float weight;  // c
};

// Everything about one source point that does not depend on the frequency: how it ends, the
// direct path, and every edge path as its length beyond the reference and its weight, in the
// order of the elements; and the sums of the last block of kLanes frequencies worked out.
constexpr int kPathsPerElement = 5;
constexpr int kLanes = 8;
constexpr int kMaxPaths = shell::kEdgePointSlots * kPathsPerElement;

enum class SourceState : std::uint8_t { kUnknown, kNoRaster, kOnMicrophone, kReady };

struct SourceTable {
    SourceState state;
    bool directivity;
    float direct;             // source to microphone [m]
    int count;                // paths
    float farthest;           // largest |beyond| [m]
    int block_first;          // first frequency of the block below; -1 none
    const float* block_grid;  // the frequency grid it was worked out on
    float block_re[kLanes];
    float block_im[kLanes];
    float beyond[kMaxPaths];  // path length minus the reference [m]
    float weight[kMaxPaths];
};

// One table per source point of a sweep (12 MB, untouched until used), and one for a point
// without a number.
SourceTable g_tables[kMaxDiffractionSamples];
SourceTable g_scratch_table;

void FillSourceTable(SourceTable& t, float x, float y) {
    t.count = 0;
    t.block_first = -1;
    const double raster_cm = shell::BaffleRasterCm(*shell::Baffle);
    if (raster_cm <= 0.0) {
        t.state = SourceState::kNoRaster;
        return;
    }
    const float raster = static_cast<float>(raster_cm);
    const float mic_cm = shell::CurrentDriverRecord ? shell::CurrentDriverRecord->MicDistance : 0;
    const float z = 0.01f * mic_cm;
    const shell::BafflePoint source{x, y, 0.0f, 0};
    const float to_mic =
        0.01f * raster * PointDistance2D(shell::Baffle->Points[shell::kBaffleMicrophone], source);
    t.direct = std::sqrt(z * z + to_mic * to_mic);
    if (t.direct == 0.0f) {
        t.state = SourceState::kOnMicrophone;
        return;
    }
    t.state = SourceState::kReady;
    t.directivity = DiffractionDirectivity == 1;
    const float reference = t.directivity ? 0.0f : t.direct;

    ElementView* views = g_scratch_views;
    FillViews(views, source, raster, z);
    const bool dipole = DiffractionDipole == 1;
    const int count = std::min<int>(shell::EdgeElementCount, shell::kEdgePointSlots);
    for (int e = 0; e < count; ++e) {
        const ElementView& v = views[e];
        if (v.phi == 0.0f) continue;
        Path paths[kPathsPerElement];
        int path_count = 0;
        float scale = 0.0f;
        switch (EdgeProfile) {
            case 0:
                scale = 0.20536121689276818f;
                paths[path_count++] = {v.s + v.L, v.L, dipole ? 2.0f : 1.0f};
                break;
            case 1: {
                scale = 0.18724110951987688f;
                const float a = EdgeBevelA, b = EdgeBevelB;
                const float d = std::sqrt((v.s + 0.01f * b) * (v.s + 0.01f * b) +
                                          (z + 0.01f * a) * (z + 0.01f * a));
                const float f = 0.01f * std::sqrt(a * a + b * b);
                paths[path_count++] = {v.s + v.L, v.L, dipole ? 1.3f : 0.65f};
                paths[path_count++] = {v.s + d + f, d + f, dipole ? 1.1f : 0.55f};
                break;
            }
            case 2: {
                scale = 0.18189136353359467f;
                const float r = 0.01f * EdgeRoundRadius;
                const float chord = r * 2.0f * std::sin(0.19634954084936207f);
                static constexpr float kAngles[4] = {0.39269908169872414f, 0.7855f,
                                                     1.1780972450961724f, 1.5707963267948966f};
                static constexpr float kWeights[4][2] = {
                    {0.5f, 0.25f}, {0.24f, 0.12f}, {0.12f, 0.06f}, {0.06f, 0.03f}};
                paths[path_count++] = {v.s + v.L, v.L, dipole ? 0.9f : 0.45f};
                for (int j = 0; j < 4; ++j) {
                    const float across = v.s + r * std::sin(kAngles[j]);
                    const float down = z + r - r * std::cos(kAngles[j]);
                    const float d = std::sqrt(across * across + down * down);
                    const float arc = static_cast<float>(j + 1) * chord;
                    paths[path_count++] = {v.s + d + arc, arc + d, kWeights[j][dipole ? 0 : 1]};
                }
                break;
            }
            default:
                break;
        }
        for (int j = 0; j < path_count; ++j) {
            const Path& p = paths[j];
            if (p.norm <= 0.0f) continue;
            t.beyond[t.count] = p.length - reference;
            t.weight[t.count] = p.weight / p.norm * kEdgeScale * scale * v.phi;
            ++t.count;
        }
    }
    t.farthest = 0.0f;
    for (int i = 0; i < t.count; ++i) t.farthest = std::max(t.farthest, std::fabs(t.beyond[i]));
}

// The pressure at kLanes frequencies at once, each lane one frequency, each lane's sum formed
// in the order the plain sum forms it: the direct term first, then weight x e^(j psi) path by
// path in the elements' order, psi = -omega x beyond / c, all in single precision. Only the
// cosine and sine are the calculator's own: one reduction by quarter turns (a three-part quarter
// turn, accurate while |psi| < 8192) and minimax polynomials on +-pi/4, within 1e-7 of the true
// values as std::cos and std::sin are within 3e-8.
typedef float Lanes __attribute__((vector_size(4 * kLanes)));
typedef std::int32_t IntLanes __attribute__((vector_size(4 * kLanes)));

__attribute__((always_inline)) inline void SumBlockBody(const SourceTable& t, const float* omega_of,
                                                        float* re_of, float* im_of) {
    Lanes minus_omega, re, im;
    for (int l = 0; l < kLanes; ++l) {
        minus_omega[l] = -omega_of[l];
        re[l] = re_of[l];
        im[l] = im_of[l];
    }
    for (int i = 0; i < t.count; ++i) {
        const Lanes psi = minus_omega * t.beyond[i] / kSpeedOfSound;
        const Lanes quarters = psi * 0.63661977236758134f + 12582912.0f - 12582912.0f;
        const IntLanes quadrant = __builtin_convertvector(quarters, IntLanes);
        Lanes r = psi - quarters * 1.5703125f;
        r = r - quarters * 4.837512969970703125e-4f;
        r = r - quarters * 7.54978995489188216e-8f;
        const Lanes z = r * r;
        const Lanes s =
            r + r * z * (-1.6666654611e-1f + z * (8.3321608736e-3f + z * -1.9515295891e-4f));
        const Lanes c =
            1.0f - 0.5f * z +
            z * z *
                (4.166664568298827e-2f + z * (-1.388731625493765e-3f + z * 2.443315711809948e-5f));
        const IntLanes odd = (quadrant & 1) != 0;
        Lanes sin_psi = odd ? c : s;
        Lanes cos_psi = odd ? s : c;
        sin_psi = (quadrant & 2) != 0 ? -sin_psi : sin_psi;
        cos_psi = ((quadrant + 1) & 2) != 0 ? -cos_psi : cos_psi;
        re += t.weight[i] * cos_psi;
        im += t.weight[i] * sin_psi;
    }
    for (int l = 0; l < kLanes; ++l) {
        re_of[l] = re[l];
        im_of[l] = im[l];
    }
}

__attribute__((target("avx2"))) void SumBlockWide(const SourceTable& t, const float* omega_of,
                                                  float* re_of, float* im_of) {
    SumBlockBody(t, omega_of, re_of, im_of);
}

void SumBlockPlain(const SourceTable& t, const float* omega_of, float* re_of, float* im_of) {
    SumBlockBody(t, omega_of, re_of, im_of);
}

const bool g_wide = __builtin_cpu_supports("avx2");

// The direct sound at angular frequency omega: where the sum of a frequency starts.
void DirectTerm(const SourceTable& t, float omega, float* re, float* im) {
    const float direct_phase = t.directivity ? -omega * t.direct / kSpeedOfSound : 0.0f;
    *re = (2.0f / t.direct) * std::cos(direct_phase);
    *im = (2.0f / t.direct) * std::sin(direct_phase);
}

// The pressure of a ready source at frequency k of `grid`, path by path.
void PlainSum(const SourceTable& t, const float* grid, int k, float* re_out, float* im_out) {
    const float omega = kTwoPi * grid[k];
    float re, im;
    DirectTerm(t, omega, &re, &im);
    for (int i = 0; i < t.count; ++i) {
        const float psi = -omega * t.beyond[i] / kSpeedOfSound;
        re += t.weight[i] * std::cos(psi);
        im += t.weight[i] * std::sin(psi);
    }
    *re_out = re;
    *im_out = im;
}

// Works out the block of kLanes frequencies that holds k, unless the table holds it already.
void SumBlock(SourceTable& t, const float* grid, int k) {
    const int first = k - k % kLanes;
    if (t.block_first == first && t.block_grid == grid) return;
    float omega[kLanes];
    float top = 0.0f;
    for (int l = 0; l < kLanes; ++l) {
        const int j = std::min(first + l, shell::kGridPoints - 1);
        omega[l] = kTwoPi * grid[j];
        DirectTerm(t, omega[l], &t.block_re[l], &t.block_im[l]);
        top = std::max(top, std::fabs(omega[l]));
    }
    // The quarter-turn reduction holds while |psi| < 8192 (a raster of metres at the top
    // frequencies goes beyond), and a frequency that is not a number has none: such blocks take
    // the plain sum.
    if (top * t.farthest / kSpeedOfSound < 8192.0f) {
        if (g_wide)
            SumBlockWide(t, omega, t.block_re, t.block_im);
        else
            SumBlockPlain(t, omega, t.block_re, t.block_im);
    } else {
        for (int l = 0; l < kLanes; ++l)
            PlainSum(t, grid, std::min(first + l, shell::kGridPoints - 1), &t.block_re[l],
                     &t.block_im[l]);
    }
    t.block_first = first;
    t.block_grid = grid;
}

int AddSource(float x, float y, const float* grid, int k, int sample) {
    if (shell::Baffle == nullptr) return 0;
    const bool kept = sample >= 0 && sample < kMaxDiffractionSamples;
    SourceTable& t = kept ? g_tables[sample] : g_scratch_table;
    if (k == 0 || !kept || t.state == SourceState::kUnknown) FillSourceTable(t, x, y);
    if (t.state == SourceState::kNoRaster) {
        DiffractionAccumulator = DiffractionSum{1.0f, 0.0f};
        return 0;
    }
    if (t.state != SourceState::kReady) return 0;
    float re, im;
    if (DiffractionFastTurns && kept) {
        SumBlock(t, grid, k);
        re = t.block_re[k % kLanes];
        im = t.block_im[k % kLanes];
    } else {
        PlainSum(t, grid, k, &re, &im);
    }
    DiffractionAccumulator.re += re;
    DiffractionAccumulator.im += im;
    return 0;
}

}  // namespace

int EdgeDiffractionAtFrequency(float x, float y, int k, int sample) {
    if (k < 0 || k >= shell::kGridPoints) return 0;
    return AddSource(x, y, DiffractionFrequencyGrid, k, sample);
}

int EdgeDiffractionAtFrequencyCommonGrid(float x, float y, int k, int sample) {
    if (k < 0 || k >= shell::kGridPoints) return 0;
    return AddSource(x, y, shell::FrequencyGrid, k, sample);
}

int PistonSampleOffsets(float radius, int list_index, PistonOffset* out) {
    if (!std::isfinite(radius) || radius < kSmallestPistonRadius || radius > 1.0e6f) return 0;
    const int index = std::clamp(list_index, 0, 12);
    const float step = 2.0f * radius / static_cast<float>(index + 2);
    int count = 0;
    // At most index + 4 steps fit between -R and 1.1 R; the bound keeps rounding from adding
    // more.
    const int steps = index + 4;
    float ox = -radius;
    for (int i = 0; i < steps && ox < 1.1f * radius; ++i, ox += step) {
        float oy = -radius;
        for (int j = 0; j < steps && oy < 1.1f * radius; ++j, oy += step) {
            if (std::sqrt(ox * ox + oy * oy + 1e-7f) <= 1.075f * radius &&
                count < kMaxPistonSamples)
                out[count++] = PistonOffset{ox, oy};
        }
    }
    return count;
}

void ResetDiffractionSettings() {
    EdgeProfile = 0;
    EdgeBevelA = EdgeBevelB = EdgeRoundRadius = 10.0f;
    DiffractionDirectivity = DiffractionShowPhase = DiffractionDipole = 0;
    DiffractionListIndex = 0;
    DiffractionSplSlot = DiffractionPhaseSlot = DiffractionPowerSlot = 0;
    DiffractionAccumulator = DiffractionSum{0.0f, 0.0f};
    DiffractionFastTurns = true;
}

namespace {
[[maybe_unused]] const bool kSettingsReady = (ResetDiffractionSettings(), true);
}  // namespace

}  // namespace driverdata
