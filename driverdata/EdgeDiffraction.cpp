#include "driverdata/EdgeDiffraction.h"

#include <algorithm>
#include <cmath>

#include "driverdata/BaffleEdges.h"
#include "shell/DriverRecord.h"
#include "shell/FrequencyGrid.h"
#include "shell/NumberText.h"
#include "shell/StartupAllocation.h"

namespace driverdata {

std::int32_t EdgeProfile = 0;
float EdgeBevelA = 10.0f;
float EdgeBevelB = 10.0f;
float EdgeRoundRadius = 10.0f;
std::int32_t DiffractionDirectivity = 0;
std::int32_t DiffractionShowPhase = 0;
std::int32_t DiffractionDipole = 0;
std::int32_t DiffractionListIndex = 0;
std::int32_t DiffractionSplSlot = 0;
std::int32_t DiffractionPhaseSlot = 0;
std::int32_t DiffractionPowerSlot = 0;
DiffractionSum DiffractionAccumulator{0.0f, 0.0f};
float DiffractionFrequencyGrid[shell::kGridPoints];

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

// One table per source point of a sweep (4.9 MB, zero until used).
ElementView g_views[kMaxDiffractionSamples][shell::kEdgePointSlots];
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

int AddSource(float x, float y, float frequency, int k, int sample) {
    if (shell::Baffle == nullptr) return 0;
    const double raster_cm = shell::BaffleRasterCm(*shell::Baffle);
    if (raster_cm <= 0.0) {
        DiffractionAccumulator = DiffractionSum{1.0f, 0.0f};
        return 0;
    }
    const float raster = static_cast<float>(raster_cm);
    const float mic_cm = shell::CurrentDriverRecord ? shell::CurrentDriverRecord->MicDistance : 0;
    const float z = 0.01f * mic_cm;
    const shell::BafflePoint source{x, y, 0.0f, 0};

    ElementView* views = g_scratch_views;
    const bool kept = sample >= 0 && sample < kMaxDiffractionSamples;
    if (kept) views = g_views[sample];
    if (k == 0 || !kept) FillViews(views, source, raster, z);

    const float omega = kTwoPi * frequency;
    const float to_mic =
        0.01f * raster * PointDistance2D(shell::Baffle->Points[shell::kBaffleMicrophone], source);
    const float direct = std::sqrt(z * z + to_mic * to_mic);
    if (direct == 0.0f) return 0;
    const float reference = DiffractionDirectivity == 1 ? 0.0f : direct;
    const float direct_phase = DiffractionDirectivity == 1 ? -omega * direct / kSpeedOfSound : 0.0f;
    float re = (2.0f / direct) * std::cos(direct_phase);
    float im = (2.0f / direct) * std::sin(direct_phase);

    const bool dipole = DiffractionDipole == 1;
    const int count = std::min<int>(shell::EdgeElementCount, shell::kEdgePointSlots);
    for (int e = 0; e < count; ++e) {
        const ElementView& v = views[e];
        if (v.phi == 0.0f) continue;
        Path paths[5];
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
            const float w = p.weight / p.norm * kEdgeScale * scale * v.phi;
            const float psi = -omega * (p.length - reference) / kSpeedOfSound;
            re += w * std::cos(psi);
            im += w * std::sin(psi);
        }
    }
    DiffractionAccumulator.re += re;
    DiffractionAccumulator.im += im;
    return 0;
}

}  // namespace

int EdgeDiffractionAtFrequency(float x, float y, int k, int sample) {
    if (k < 0 || k >= shell::kGridPoints) return 0;
    return AddSource(x, y, DiffractionFrequencyGrid[k], k, sample);
}

int EdgeDiffractionAtFrequencyCommonGrid(float x, float y, int k, int sample) {
    if (k < 0 || k >= shell::kGridPoints) return 0;
    return AddSource(x, y, shell::FrequencyGrid[k], k, sample);
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
}

}  // namespace driverdata
