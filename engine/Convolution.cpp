#include "engine/Convolution.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>

#include "shell/ComplexFft.h"

namespace engine {

namespace {

constexpr int kMaxFftFloats = 2 * kMaxBlockFrames;  // F complex points of the largest block
constexpr std::size_t kRowAlign = 16;               // floats (64 bytes)

std::size_t RoundRow(std::size_t floats) { return (floats + kRowAlign - 1) / kRowAlign * kRowAlign; }

// Carves rows out of one arena; Count() first with a null base to size it.
struct Carver {
    float* base;
    std::size_t used;
    float* Take(std::size_t floats) {
        float* row = base ? base + used : nullptr;
        used += RoundRow(floats);
        return row;
    }
};

float* g_arena_of[8];  // arena per memory object alive (tests may hold a few)
int* g_ints_of[8];
ConvolutionMemory* g_owner_of[8];

void Carve(ConvolutionMemory& m, Carver& c) {
    m.fft_table = c.Take(kMaxFftFloats / 4);
    m.real_cos = c.Take(kBinStride);
    m.real_sin = c.Take(kBinStride);
    for (int o = 0; o < kOutputCount; ++o)
        for (int p = 0; p < kPartitionCount; ++p) {
            m.filter_re[o][p] = c.Take(kBinStride);
            m.filter_im[o][p] = c.Take(kBinStride);
        }
    for (int s = 0; s < kInputSlotCount; ++s) m.input_slots[s] = c.Take(kMaxBlockFrames);
    for (int r = 0; r < kInputCount; ++r)
        for (int p = 0; p < kPartitionCount; ++p) {
            m.delay_re[r][p] = c.Take(kBinStride);
            m.delay_im[r][p] = c.Take(kBinStride);
        }
    for (int o = 0; o < kOutputCount; ++o) m.tails[o] = c.Take(kMaxBlockFrames);
    for (FftWorkArea& w : m.work) {
        w.packed = c.Take(kMaxFftFloats);
        w.acc_re = c.Take(kBinStride);
        w.acc_im = c.Take(kBinStride);
        w.time = c.Take(kMaxFftFloats);
    }
}

}  // namespace

int OutputChannelCount(int output_layout) {
    switch (output_layout) {
    case 0: return 8;
    case 1: return 16;
    case 2: return 10;
    default: return 0;
    }
}

int AllocConvolutionMemory(ConvolutionMemory& memory) {
    int slot = -1;
    for (int i = 0; i < 8; ++i)
        if (g_owner_of[i] == &memory) FreeConvolutionMemory(memory);
    for (int i = 0; i < 8; ++i)
        if (!g_owner_of[i]) {
            slot = i;
            break;
        }
    if (slot < 0) return 1;
    std::memset(&memory, 0, sizeof memory);
    Carver sizing{nullptr, 0};
    Carve(memory, sizing);
    const std::size_t bytes = sizing.used * sizeof(float);
    float* arena = static_cast<float*>(std::aligned_alloc(64, bytes));
    const std::size_t ints_per_area = shell::FftWorkAreaInts(kMaxFftFloats);
    int* ints = new (std::nothrow) int[ints_per_area * 6]();
    if (!arena || !ints) {
        std::free(arena);
        delete[] ints;
        return 1;
    }
    std::memset(arena, 0, bytes);
    Carver carve{arena, 0};
    Carve(memory, carve);
    memory.fft_table_ip = ints;
    for (int i = 0; i < 5; ++i) memory.work[i].ip = ints + ints_per_area * (i + 1);
    g_arena_of[slot] = arena;
    g_ints_of[slot] = ints;
    g_owner_of[slot] = &memory;

    // The shared cos/sin table for every size the engine uses, built once; each work area then
    // adopts it, so no call ever rebuilds it while workers run.
    shell::BuildFftTable(kMaxFftFloats, memory.fft_table_ip, memory.fft_table);
    for (FftWorkArea& w : memory.work) shell::AdoptFftTable(w.ip, memory.fft_table_ip);
    for (int o = 0; o < kOutputCount; ++o) memory.routed_input[o] = -1;
    return 0;
}

void FreeConvolutionMemory(ConvolutionMemory& memory) {
    for (int i = 0; i < 8; ++i)
        if (g_owner_of[i] == &memory) {
            std::free(g_arena_of[i]);
            delete[] g_ints_of[i];
            g_arena_of[i] = nullptr;
            g_ints_of[i] = nullptr;
            g_owner_of[i] = nullptr;
        }
    std::memset(&memory, 0, sizeof memory);
}

int PrepareConvolutionRun(ConvolutionMemory& memory, int frames, int output_layout,
                          const std::int32_t (*routing)[kOutputCount],
                          const float* const* filter_spectra) {
    if (frames != 1024 && frames != 2048 && frames != 4096) return 1;
    if (OutputChannelCount(output_layout) == 0 || !memory.fft_table) return 1;
    memory.frames = frames;
    memory.output_layout = output_layout;

    for (int k = 0; k <= frames; ++k) {
        const double angle = std::numbers::pi * k / frames;
        memory.real_cos[k] = static_cast<float>(std::cos(angle));
        memory.real_sin[k] = static_cast<float>(std::sin(angle));
    }

    // Routing snapshot: a later routed row replaces an earlier one.
    const int active_outputs = output_layout == 1 ? 16 : 8;
    for (int r = 0; r < kInputCount; ++r) memory.input_used[r] = false;
    for (int o = 0; o < kOutputCount; ++o) {
        int routed = -1;
        if (routing)
            for (int r = 0; r < kInputCount; ++r)
                if (routing[r][o] == 1) routed = r;
        memory.routed_input[o] = routed;
        if (routed >= 0 && o < active_outputs) memory.input_used[routed] = true;
    }

    // Hermitian part of each partition: (H[k] + conj(H[2F - k])) / 2 for k = 0..F.
    const int points = 2 * frames;
    for (int o = 0; o < kOutputCount; ++o)
        for (int p = 0; p < kPartitionCount; ++p) {
            float* re = memory.filter_re[o][p];
            float* im = memory.filter_im[o][p];
            const float* h = filter_spectra ? filter_spectra[o * kPartitionCount + p] : nullptr;
            for (int k = 0; k <= frames; ++k) {
                if (!h) {
                    re[k] = 0.0f;
                    im[k] = 0.0f;
                    continue;
                }
                const int kc = (points - k) % points;
                re[k] = static_cast<float>(0.5 * (double(h[2 * k]) + double(h[2 * kc])));
                im[k] = static_cast<float>(0.5 * (double(h[2 * k + 1]) - double(h[2 * kc + 1])));
            }
        }

    // The last check before the outputs: a filter that is not finite and bounded is not played.
    for (int o = 0; o < kOutputCount; ++o) {
        bool sound = true;
        for (int p = 0; p < kPartitionCount && sound; ++p)
            for (int k = 0; k <= frames && sound; ++k) {
                const float re = memory.filter_re[o][p][k];
                const float im = memory.filter_im[o][p][k];
                sound = std::fabs(re) <= kMaxFilterBinMagnitude &&
                        std::fabs(im) <= kMaxFilterBinMagnitude;  // false for NaN too
            }
        memory.filter_refused[o] = !sound;
        if (sound) continue;
        for (int p = 0; p < kPartitionCount; ++p) {
            std::memset(memory.filter_re[o][p], 0, sizeof(float) * (frames + 1));
            std::memset(memory.filter_im[o][p], 0, sizeof(float) * (frames + 1));
        }
    }

    for (float* slot : memory.input_slots) std::memset(slot, 0, sizeof(float) * kMaxBlockFrames);
    for (int r = 0; r < kInputCount; ++r) {
        for (int p = 0; p < kPartitionCount; ++p) {
            std::memset(memory.delay_re[r][p], 0, sizeof(float) * kBinStride);
            std::memset(memory.delay_im[r][p], 0, sizeof(float) * kBinStride);
        }
        memory.delay_head[r] = 0;
    }
    for (float* tail : memory.tails) std::memset(tail, 0, sizeof(float) * kMaxBlockFrames);
    return 0;
}

void RealForward(const ConvolutionMemory& memory, const float* samples, float* re, float* im,
                 FftWorkArea& work) {
    const int f = memory.frames;
    float* z = work.packed;
    // z[m] = x[2m] + j x[2m+1]; the second half of the 2F points is zero.
    std::memcpy(z, samples, sizeof(float) * f);
    std::memset(z + f, 0, sizeof(float) * f);
    shell::ComplexFft(2 * f, -1, z, work.ip, memory.fft_table);
    for (int k = 0; k <= f; ++k) {
        const int kk = k == f ? 0 : k;
        const int kc = k == 0 ? 0 : f - k;
        const float zr = z[2 * kk], zi = z[2 * kk + 1];
        const float cr = z[2 * kc], ci = -z[2 * kc + 1];
        const float er = 0.5f * (zr + cr), ei = 0.5f * (zi + ci);  // even samples' spectrum
        const float orr = 0.5f * (zi - ci), oi = -0.5f * (zr - cr);  // odd samples' spectrum
        const float c = memory.real_cos[k], s = memory.real_sin[k];  // W^k = c - j s
        re[k] = er + c * orr + s * oi;
        im[k] = ei + c * oi - s * orr;
    }
}

void RealInverse(const ConvolutionMemory& memory, const float* re, const float* im, float* out,
                 FftWorkArea& work) {
    const int f = memory.frames;
    float* z = out;
    for (int k = 0; k < f; ++k) {
        const float xr = re[k], xi = im[k];
        const float cr = re[f - k], ci = -im[f - k];
        const float er = 0.5f * (xr + cr), ei = 0.5f * (xi + ci);
        const float dr = 0.5f * (xr - cr), di = 0.5f * (xi - ci);
        const float c = memory.real_cos[k], s = memory.real_sin[k];  // conj(W^k) = c + j s
        const float orr = dr * c - di * s, oi = dr * s + di * c;
        z[2 * k] = er - oi;
        z[2 * k + 1] = ei + orr;
    }
    // z[m] = x[2m] + j x[2m+1]: the interleaved floats are the time signal in order.
    shell::ComplexFft(2 * f, +1, z, work.ip, memory.fft_table);
}

void TransformInputs(ConvolutionMemory& memory, const int* inputs, int count, FftWorkArea& work) {
    for (int i = 0; i < count; ++i) {
        const int r = inputs[i];
        if (r < 0 || r >= kInputCount || !memory.input_used[r]) continue;
        const int head = (memory.delay_head[r] + 1) & (kPartitionCount - 1);
        RealForward(memory, memory.input_slots[kSlotOfInput[r]], memory.delay_re[r][head],
                    memory.delay_im[r][head], work);
        memory.delay_head[r] = head;
    }
}

namespace {

// Sum over the eight partitions of (input spectrum s blocks back) x (filter partition s).
void MultiplyAccumulate(const ConvolutionMemory& memory, int output, int input,
                        FftWorkArea& work) {
    const int bins = memory.frames + 1;
    float* __restrict acc_re = work.acc_re;
    float* __restrict acc_im = work.acc_im;
    const int head = memory.delay_head[input];
    for (int s = 0; s < kPartitionCount; ++s) {
        const int stage = (head - s) & (kPartitionCount - 1);
        const float* __restrict xr = memory.delay_re[input][stage];
        const float* __restrict xi = memory.delay_im[input][stage];
        const float* __restrict hr = memory.filter_re[output][s];
        const float* __restrict hi = memory.filter_im[output][s];
        if (s == 0) {
            for (int k = 0; k < bins; ++k) {
                acc_re[k] = xr[k] * hr[k] - xi[k] * hi[k];
                acc_im[k] = xr[k] * hi[k] + xi[k] * hr[k];
            }
        } else {
            for (int k = 0; k < bins; ++k) {
                acc_re[k] += xr[k] * hr[k] - xi[k] * hi[k];
                acc_im[k] += xr[k] * hi[k] + xi[k] * hr[k];
            }
        }
    }
}

}  // namespace

float BoundedGain(float gain, float top) {
    if (!(gain > 0.0f)) return 0.0f;  // also NaN
    return gain > top ? top : gain;
}

std::int32_t OutputWord(double value) {
    if (!(value == value)) return 0;
    if (value > 8388607.0) value = 8388607.0;
    if (value < -8388607.0) value = -8388607.0;
    return static_cast<std::int32_t>(value) * 256;
}

void ConvolveOutputs(ConvolutionMemory& memory, int first, int last, const BlockGains& gains,
                     std::int32_t* block, FftWorkArea& work) {
    const int f = memory.frames;
    const int channels = OutputChannelCount(memory.output_layout);
    for (int o = first; o <= last && o < channels && o < kOutputCount; ++o) {
        const int input = memory.routed_input[o];
        if (input < 0) {
            for (int n = 0; n < f; ++n) block[n * channels + o] = 0;
            continue;
        }
        MultiplyAccumulate(memory, o, input, work);
        RealInverse(memory, work.acc_re, work.acc_im, work.time, work);
        const double master = BoundedGain(gains.master, kMaxMasterGain);
        const double trim = BoundedGain(gains.trims[o], kMaxOutputTrim);
        float* tail = memory.tails[o];
        const float* y = work.time;
        for (int n = 0; n < f; ++n) {
            const double v = (double(y[n]) + double(tail[n])) * master * trim;
            tail[n] = y[n + f];
            block[n * channels + o] = OutputWord(v);
        }
    }
    if (first == 0 && memory.output_layout == 2)
        for (int n = 0; n < f; ++n) {
            block[n * channels + 8] = 0;
            block[n * channels + 9] = 0;
        }
}

}  // namespace engine
