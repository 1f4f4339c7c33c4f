#include "engine/Convolution.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>

#include "engine/ConvolutionKernels.h"
#include "shell/ComplexFft.h"

namespace engine {

namespace {

constexpr int kMaxFftFloats = 2 * kMaxBlockFrames;  // F complex points of the largest block
constexpr std::size_t kRowAlign = 16;               // floats (64 bytes)

std::size_t RoundRow(std::size_t floats) {
    return (floats + kRowAlign - 1) / kRowAlign * kRowAlign;
}

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
    // Word rows hold only 32-bit words; the arena is raw storage aligned for both.
    for (int o = 0; o < kOutputCount; ++o)
        m.words[o] = reinterpret_cast<std::int32_t*>(c.Take(kMaxBlockFrames));
    for (FftWorkArea& w : m.work) {
        w.packed = c.Take(kMaxFftFloats);
        for (int j = 0; j < kMaxGroupOutputs; ++j) {
            w.acc_re[j] = c.Take(kBinStride);
            w.acc_im[j] = c.Take(kBinStride);
        }
        w.time = c.Take(kMaxFftFloats);
    }
}

// Outputs of the layout that are convolved (layout 2's two S/PDIF channels are not).
int ActiveOutputs(int output_layout) { return output_layout == 1 ? 16 : 8; }

bool Wide() { return ConvolutionUseWideVectors && kernels::WideVectorsAvailable(); }

// The fused multiply-accumulate twins wherever the processor fuses (so that the plain and the
// wide road of one processor give the same bits); the unfused ones elsewhere.
bool Fused() { return ConvolutionUseFusedMultiplyAdd && kernels::FusedMultiplyAddAvailable(); }

// The 512-bit multiply-accumulate where the processor has it (the same bits as the 256-bit one).
bool Use512() { return ConvolutionUse512BitVectors && kernels::Vectors512Available(); }

// The four workers' shares: the layout's routed outputs ordered by their input (so that outputs
// hearing one input mostly fall into one share) and cut into runs of nearly equal length; each
// used input belongs to the first share that hears it, which transforms it.
void ShareOutTheWork(ConvolutionMemory& m) {
    int ordered[kOutputCount];
    int count = 0;
    for (int r = 0; r < kInputCount; ++r)
        for (int o = 0; o < ActiveOutputs(m.output_layout); ++o)
            if (m.routed_input[o] == r) ordered[count++] = o;
    bool owned[kInputCount] = {};
    int next = 0;
    for (int w = 0; w < kWorkerCount; ++w) {
        const int take = count / kWorkerCount + (w < count % kWorkerCount ? 1 : 0);
        m.output_share_count[w] = take;
        m.input_share_count[w] = 0;
        for (int i = 0; i < take; ++i) {
            const int o = ordered[next++];
            const int r = m.routed_input[o];
            m.output_share[w][i] = o;
            if (!owned[r]) {
                owned[r] = true;
                m.input_share[w][m.input_share_count[w]++] = r;
            }
        }
    }
}

}  // namespace

bool ConvolutionUseWideVectors;
bool ConvolutionUseFusedMultiplyAdd;
bool ConvolutionUse512BitVectors;

void ResetConvolutionHooks() {
    ConvolutionUseWideVectors = ConvolutionUseFusedMultiplyAdd = ConvolutionUse512BitVectors = true;
}

namespace {
[[maybe_unused]] const bool kHooksReady = (ResetConvolutionHooks(), true);
}  // namespace

int OutputChannelCount(int output_layout) {
    switch (output_layout) {
        case 0:
            return 8;
        case 1:
            return 16;
        case 2:
            return 10;
        default:
            return 0;
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
    for (int n = 128; n <= kMaxFftFloats; n *= 2) shell::PrepareFftTwiddles(n);
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
    for (std::int32_t* row : memory.words)
        std::memset(row, 0, sizeof(std::int32_t) * kMaxBlockFrames);
    ShareOutTheWork(memory);
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
    int k = 1;
    if (Wide()) k = kernels::ForwardSplitWide(f, z, memory.real_cos, memory.real_sin, re, im);
    kernels::ForwardSplitPlain(f, z, memory.real_cos, memory.real_sin, re, im, 0, 1);
    kernels::ForwardSplitPlain(f, z, memory.real_cos, memory.real_sin, re, im, k, f + 1);
}

void RealInverse(const ConvolutionMemory& memory, const float* re, const float* im, float* out,
                 FftWorkArea& work) {
    const int f = memory.frames;
    if (Wide())
        kernels::InverseMergeWide(f, re, im, memory.real_cos, memory.real_sin, out);
    else
        kernels::InverseMergePlain(f, re, im, memory.real_cos, memory.real_sin, out);
    // out[m] = x[2m] + j x[2m+1]: the interleaved floats are the time signal in order.
    shell::ComplexFft(2 * f, +1, out, work.ip, memory.fft_table);
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

void TransformInputShare(ConvolutionMemory& memory, int share, FftWorkArea& work,
                         void (*transformed)(int input)) {
    if (share < 0 || share >= kWorkerCount) return;
    for (int i = 0; i < memory.input_share_count[share]; ++i) {
        const int r = memory.input_share[share][i];
        TransformInputs(memory, &r, 1, work);
        if (transformed) transformed(r);
    }
}

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

namespace {

// The words of `count` routed outputs into their rows: outputs hearing one input are accumulated
// in passes of up to kMaxGroupOutputs over its delay line, then each is transformed back,
// overlapped and converted. Worker threads.
void ConvolveOutputList(ConvolutionMemory& memory, const int* outputs, int count,
                        const BlockGains& gains, FftWorkArea& work, InputWait await_input) {
    const int f = memory.frames;
    const bool wide = Wide();
    const int bins = wide ? f + 8 : f + 1;  // rows are padded past bin F
    const double master = BoundedGain(gains.master, kMaxMasterGain);
    bool done[kOutputCount] = {};
    for (int i = 0; i < count; ++i) {
        const int first = outputs[i];
        if (first < 0 || first >= kOutputCount || done[first]) continue;
        const int input = memory.routed_input[first];
        if (input < 0 || input >= kInputCount) continue;
        if (await_input && !await_input(input)) return;
        kernels::MacGroup group;
        group.outputs = 0;
        const int head = memory.delay_head[input];
        for (int s = 0; s < kPartitionCount; ++s) {
            const int stage = (head - s) & (kPartitionCount - 1);
            group.xr[s] = memory.delay_re[input][stage];
            group.xi[s] = memory.delay_im[input][stage];
        }
        // More than kMaxGroupOutputs hearing one input: the rest start a pass of their own.
        int members[kMaxGroupOutputs] = {};
        for (int k = i; k < count && group.outputs < kMaxGroupOutputs; ++k) {
            const int o = outputs[k];
            if (o < 0 || o >= kOutputCount || done[o] || memory.routed_input[o] != input) continue;
            done[o] = true;
            const int j = group.outputs++;
            members[j] = o;
            for (int s = 0; s < kPartitionCount; ++s) {
                group.hr[j][s] = memory.filter_re[o][s];
                group.hi[j][s] = memory.filter_im[o][s];
            }
            group.acc_re[j] = work.acc_re[j];
            group.acc_im[j] = work.acc_im[j];
        }
        if (Fused() && wide && Use512())
            kernels::MultiplyAccumulateFused512(group, f + 16);  // rows are padded past bin F
        else if (Fused())
            (wide ? kernels::MultiplyAccumulateFusedWide : kernels::MultiplyAccumulateFusedPlain)(
                group, bins);
        else
            (wide ? kernels::MultiplyAccumulateWide : kernels::MultiplyAccumulatePlain)(group,
                                                                                        bins);
        for (int j = 0; j < group.outputs; ++j) {
            const int o = members[j];
            RealInverse(memory, work.acc_re[j], work.acc_im[j], work.time, work);
            const double trim = BoundedGain(gains.trims[o], kMaxOutputTrim);
            if (wide)
                kernels::OutputWordsWide(f, work.time, memory.tails[o], master, trim,
                                         memory.words[o]);
            else
                kernels::OutputWordsPlain(f, work.time, memory.tails[o], master, trim,
                                          memory.words[o]);
        }
    }
}

// Words of outputs first..last, frames begin .. begin + count - 1, into the block (frames of
// `channels` words).
void InterleaveRange(const ConvolutionMemory& memory, int first, int last, std::int32_t* block,
                     int begin, int count) {
    const int channels = OutputChannelCount(memory.output_layout);
    const bool wide = Wide() && count % 8 == 0;
    for (int o = first; o <= last && o < channels && o < kOutputCount;) {
        const std::int32_t* rows[8];
        const int span = std::min(last, std::min(channels, kOutputCount) - 1) - o + 1;
        const int take = span >= 8 && wide ? 8 : 1;
        for (int j = 0; j < take; ++j) rows[j] = memory.words[o + j] + begin;
        std::int32_t* out = block + static_cast<std::ptrdiff_t>(begin) * channels + o;
        if (take == 8)
            kernels::InterleaveEightWide(rows, count, out, channels);
        else
            kernels::InterleavePlain(rows, 1, count, out, channels);
        o += take;
    }
}

void SilenceSpdif(const ConvolutionMemory& memory, std::int32_t* block, int begin, int count) {
    if (memory.output_layout != 2) return;
    const int channels = OutputChannelCount(2);
    for (int n = begin; n < begin + count; ++n) {
        block[n * channels + 8] = 0;
        block[n * channels + 9] = 0;
    }
}

}  // namespace

void ConvolveOutputs(ConvolutionMemory& memory, int first, int last, const BlockGains& gains,
                     std::int32_t* block, FftWorkArea& work) {
    const int channels = OutputChannelCount(memory.output_layout);
    int outputs[kOutputCount];
    int count = 0;
    for (int o = first < 0 ? 0 : first; o <= last && o < channels && o < kOutputCount; ++o)
        outputs[count++] = o;
    ConvolveOutputList(memory, outputs, count, gains, work, nullptr);
    InterleaveRange(memory, first < 0 ? 0 : first, last, block, 0, memory.frames);
    if (first == 0) SilenceSpdif(memory, block, 0, memory.frames);
}

void ConvolveOutputShare(ConvolutionMemory& memory, int share, const BlockGains& gains,
                         FftWorkArea& work, InputWait await_input) {
    if (share < 0 || share >= kWorkerCount) return;
    ConvolveOutputList(memory, memory.output_share[share], memory.output_share_count[share], gains,
                       work, await_input);
}

void InterleaveOutputWords(const ConvolutionMemory& memory, std::int32_t* block) {
    InterleaveOutputFrames(memory, block, 0, memory.frames);
}

void InterleaveOutputFrames(const ConvolutionMemory& memory, std::int32_t* block, int first_frame,
                            int count) {
    if (first_frame < 0 || count <= 0 || first_frame + count > memory.frames) return;
    InterleaveRange(memory, 0, ActiveOutputs(memory.output_layout) - 1, block, first_frame, count);
    SilenceSpdif(memory, block, first_frame, count);
}

}  // namespace engine
