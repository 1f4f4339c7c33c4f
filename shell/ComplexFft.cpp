#include "shell/ComplexFft.h"

#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include "shell/ComplexFftBasics.h"
#include "shell/ComplexFftWide.h"

// In-place complex FFT. Layout of the work areas:
//   ip[0] = nw, the number of floats of the cos/sin table in w (the table serves transforms of
//           up to 4 nw floats, that is Nt = 2 nw complex points); ip[1] = 1;
//   ip[2..] = bit-reversal table of the current call: entry j is j with its top-half bits
//           reversed, 2^ceil(log2(N)/2) entries.
//   w = quarter-wave table: pair q (q < Nt/4) is (cos(2 pi q / Nt), sin(2 pi q / Nt)).
// The transform is decimation in time: the points are put into bit-reversed order, then a
// radix-2 or radix-4 stage (when log2 N is not a multiple of 3) and radix-8 stages follow.
// Each stage has a scalar kernel (the twin that ComplexFftScalar runs) and kernels that hold two
// (128-bit) or four (256-bit, when the processor has them) complex points per vector. The vector
// kernels perform, point by point, exactly the floating-point operations of the scalar one, so
// every kernel gives the same bits on every machine.
// The 256-bit path also reorders the memory traffic without changing any point's arithmetic:
// the permutation runs in the same pass as the first stage, radix-8 stages go two at a time
// through a small buffer (where the data outgrow the first-level cache), and the last stage of
// an inverse transform applies the factor 2/n as it stores. Its twiddles come from tables that
// PrepareFftTwiddles builds once per size, holding exactly the values the stage would form.

namespace shell {

bool FftUseWideVectors;
bool FftUsePreparedTwiddles;

void ResetFftHooks() { FftUseWideVectors = FftUsePreparedTwiddles = true; }

namespace {
[[maybe_unused]] const bool kHooksReady = (ResetFftHooks(), true);
}  // namespace

// The shared building blocks and the 256-bit kernels live in their own headers.
using namespace fft_kernels;

namespace {

// Prepared twiddles of the 256-bit stages of one transform size: per direction and per stage
// (indexed by log2 of its span) a table of column quads, or null for spans not prepared.
constexpr int kMaxLog2Points = 24;
struct PreparedTwiddles {
    std::vector<float> storage;
    std::array<std::array<const float*, kMaxLog2Points>, 2> stage{};  // [inverse][log2 span]
};

// Published once per size with release order; the transforms only load them.
std::atomic<const PreparedTwiddles*> g_prepared[kMaxLog2Points];
std::mutex g_prepare_mutex;

const float* StageTable(const PreparedTwiddles* prepared, bool inverse, int span) {
    return prepared ? prepared->stage[inverse ? 1 : 0][Log2(span)] : nullptr;
}

void BitReverse(Cx* x, int log2n, int* table) {
    const int hi_bits = (log2n + 1) / 2;
    const int lo_bits = log2n / 2;
    const int shift = hi_bits - lo_bits;
    const int hi_count = 1 << hi_bits;
    const int lo_count = 1 << lo_bits;
    for (int j = 0; j < hi_count; ++j) table[j] = ReverseBits(j, hi_bits);
    for (int lo = 0; lo < lo_count; ++lo) {
        const int rev_lo = table[lo << shift] << hi_bits;
        for (int hi = 0; hi < hi_count; ++hi) {
            const int i = (hi << lo_bits) | lo;
            const int r = rev_lo | table[hi];
            // Branch-free exchange: half the pairs swap, in no predictable pattern.
            const bool exchange = r > i;
            const Cx a = x[i];
            const Cx b = x[r];
            x[i] = exchange ? b : a;
            x[r] = exchange ? a : b;
        }
    }
}

template <bool kInverse>
void Radix2Stage(Cx* x, int count) {
    for (int p = 0; p < count; p += 2) {
        const Cx a = x[p];
        const Cx b = x[p + 1];
        x[p] = Add(a, b);
        x[p + 1] = Sub(a, b);
    }
}

// 4-point DFTs of consecutive groups whose inputs are in bit-reversed order (0, 2, 1, 3).
template <bool kInverse>
void Radix4FirstStage(Cx* x, int count) {
    for (int g = 0; g < count; g += 4) {
        const Cx x0 = x[g];
        const Cx x2 = x[g + 1];
        const Cx x1 = x[g + 2];
        const Cx x3 = x[g + 3];
        const Cx t0 = Add(x0, x2);
        const Cx t1 = Sub(x0, x2);
        const Cx t2 = Add(x1, x3);
        const Cx t3 = RotQuarter<kInverse>(Sub(x1, x3));
        x[g] = Add(t0, t2);
        x[g + 1] = Add(t1, t3);
        x[g + 2] = Sub(t0, t2);
        x[g + 3] = Sub(t1, t3);
    }
}

// 8-point DFT of y[0..7] in natural order, result in natural order.
template <bool kInverse>
inline void Dft8(Cx (&y)[8]) {
    // Even and odd halves as 4-point DFTs.
    const Cx e0 = Add(y[0], y[4]);
    const Cx e1 = Sub(y[0], y[4]);
    const Cx e2 = Add(y[2], y[6]);
    const Cx e3 = RotQuarter<kInverse>(Sub(y[2], y[6]));
    const Cx E0 = Add(e0, e2);
    const Cx E2 = Sub(e0, e2);
    const Cx E1 = Add(e1, e3);
    const Cx E3 = Sub(e1, e3);
    const Cx o0 = Add(y[1], y[5]);
    const Cx o1 = Sub(y[1], y[5]);
    const Cx o2 = Add(y[3], y[7]);
    const Cx o3 = RotQuarter<kInverse>(Sub(y[3], y[7]));
    const Cx O0 = Add(o0, o2);
    const Cx O2 = RotQuarter<kInverse>(Sub(o0, o2));
    const Cx O1 = RotEighth<kInverse>(Add(o1, o3));
    const Cx O3 = RotThreeEighths<kInverse>(Sub(o1, o3));
    y[0] = Add(E0, O0);
    y[4] = Sub(E0, O0);
    y[1] = Add(E1, O1);
    y[5] = Sub(E1, O1);
    y[2] = Add(E2, O2);
    y[6] = Sub(E2, O2);
    y[3] = Add(E3, O3);
    y[7] = Sub(E3, O3);
}

template <bool kInverse>
void Radix8StageScalar(Cx* x, int count, int span, const TableView& table) {
    const int group = 8 * span;
    const int step = count / group;  // twiddle exponent unit on the N-point circle
    int offsets[8];
    for (int s = 0; s < 8; ++s) offsets[s] = kRev3[s] * span;
    for (int k = 0; k < span; ++k) {
        Cx t[8];
        ColumnTwiddles<kInverse>(table, k, step, t);
        for (int g = k; g < count; g += group) {
            Cx y[8];
            y[0] = x[g];
            for (int s = 1; s < 8; ++s) y[s] = Mul(x[g + offsets[s]], t[s]);
            Dft8<kInverse>(y);
            for (int q = 0; q < 8; ++q) x[g + q * span] = y[q];
        }
    }
}

// The same stage on two neighbouring columns k, k+1 at once: one vector holds two complex
// points (re, im, re, im). Needs an even span. Runs with the host's 128-bit vectors.
typedef float V4 __attribute__((vector_size(16)));
typedef int V4i __attribute__((vector_size(16)));

inline V4 Load(const Cx* p) {
    V4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void Store(Cx* p, V4 v) { std::memcpy(p, &v, sizeof v); }
inline V4 Swap(V4 a) { return __builtin_shuffle(a, V4i{1, 0, 3, 2}); }

// a times the twiddle pair held as re = (c0, c0, c1, c1), im = (-s0, s0, -s1, s1).
inline V4 VMul(V4 a, V4 tre, V4 tim) { return a * tre + Swap(a) * tim; }
inline V4 DupRe(V4 b) { return __builtin_shuffle(b, V4i{0, 0, 2, 2}); }
inline V4 DupImConj(V4 b) {
    return __builtin_shuffle(b, V4i{1, 1, 3, 3}) * V4{-1.0f, 1.0f, -1.0f, 1.0f};
}
// Lane-wise complex product of two vectors, the operations of the scalar Mul.
inline V4 VMulFull(V4 a, V4 b) { return VMul(a, DupRe(b), DupImConj(b)); }

template <bool kInverse>
inline V4 VRotQuarter(V4 a) {
    if constexpr (kInverse) {
        return Swap(a) * V4{-1.0f, 1.0f, -1.0f, 1.0f};
    } else {
        return Swap(a) * V4{1.0f, -1.0f, 1.0f, -1.0f};
    }
}
template <bool kInverse>
inline V4 VRotEighth(V4 a) {
    const V4 c = {kSqrtHalf, kSqrtHalf, kSqrtHalf, kSqrtHalf};
    return c * (a + VRotQuarter<kInverse>(a));
}
template <bool kInverse>
inline V4 VRotThreeEighths(V4 a) {
    const V4 c = {kSqrtHalf, kSqrtHalf, kSqrtHalf, kSqrtHalf};
    return c * (VRotQuarter<kInverse>(a) - a);
}

template <bool kInverse>
[[gnu::always_inline]] inline void VDft8(V4 (&y)[8]) {
    const V4 e0 = y[0] + y[4];
    const V4 e1 = y[0] - y[4];
    const V4 e2 = y[2] + y[6];
    const V4 e3 = VRotQuarter<kInverse>(y[2] - y[6]);
    const V4 E0 = e0 + e2;
    const V4 E2 = e0 - e2;
    const V4 E1 = e1 + e3;
    const V4 E3 = e1 - e3;
    const V4 o0 = y[1] + y[5];
    const V4 o1 = y[1] - y[5];
    const V4 o2 = y[3] + y[7];
    const V4 o3 = VRotQuarter<kInverse>(y[3] - y[7]);
    const V4 O0 = o0 + o2;
    const V4 O2 = VRotQuarter<kInverse>(o0 - o2);
    const V4 O1 = VRotEighth<kInverse>(o1 + o3);
    const V4 O3 = VRotThreeEighths<kInverse>(o1 - o3);
    y[0] = E0 + O0;
    y[4] = E0 - O0;
    y[1] = E1 + O1;
    y[5] = E1 - O1;
    y[2] = E2 + O2;
    y[6] = E2 - O2;
    y[3] = E3 + O3;
    y[7] = E3 - O3;
}

template <bool kInverse>
void Radix8StagePaired(Cx* x, int count, int span, const TableView& table) {
    const int group = 8 * span;
    const int step = count / group;
    int offsets[8];
    for (int s = 0; s < 8; ++s) offsets[s] = kRev3[s] * span;
    for (int k = 0; k < span; k += 2) {
        Cx a1[2];
        Cx a2[2];
        Cx a4[2];
        ColumnLookups<kInverse>(table, k, step, a1[0], a2[0], a4[0]);
        ColumnLookups<kInverse>(table, k + 1, step, a1[1], a2[1], a4[1]);
        V4 v[8];
        v[1] = Load(a1);
        v[2] = Load(a2);
        v[4] = Load(a4);
        v[3] = VMulFull(v[1], v[2]);
        v[5] = VMulFull(v[1], v[4]);
        v[6] = VMulFull(v[2], v[4]);
        v[7] = VMulFull(v[3], v[4]);
        V4 tre[8];
        V4 tim[8];
        for (int s = 1; s < 8; ++s) {
            tre[s] = DupRe(v[s]);
            tim[s] = DupImConj(v[s]);
        }
        for (int g = k; g < count; g += group) {
            Cx* p = x + g;
            // Written out so that the eight vectors stay in registers.
            V4 y[8] = {Load(p),
                       VMul(Load(p + offsets[1]), tre[1], tim[1]),
                       VMul(Load(p + offsets[2]), tre[2], tim[2]),
                       VMul(Load(p + offsets[3]), tre[3], tim[3]),
                       VMul(Load(p + offsets[4]), tre[4], tim[4]),
                       VMul(Load(p + offsets[5]), tre[5], tim[5]),
                       VMul(Load(p + offsets[6]), tre[6], tim[6]),
                       VMul(Load(p + offsets[7]), tre[7], tim[7])};
            VDft8<kInverse>(y);
            Store(p, y[0]);
            Store(p + span, y[1]);
            Store(p + 2 * span, y[2]);
            Store(p + 3 * span, y[3]);
            Store(p + 4 * span, y[4]);
            Store(p + 5 * span, y[5]);
            Store(p + 6 * span, y[6]);
            Store(p + 7 * span, y[7]);
        }
    }
}

// The first radix-8 stage (span 1: groups of eight neighbouring points, no twiddles) on two
// groups at once: one vector holds point s of group g and point s of group g + 8.
inline V4 LoadTwo(const Cx* a, const Cx* b) { return V4{a->re, a->im, b->re, b->im}; }
inline void StoreTwo(Cx* a, Cx* b, V4 v) {
    *a = Cx{v[0], v[1]};
    *b = Cx{v[2], v[3]};
}

template <bool kInverse>
void Radix8FirstStagePaired(Cx* x, int count) {
    for (int g = 0; g + 16 <= count; g += 16) {
        Cx* p = x + g;
        Cx* q = p + 8;
        V4 y[8] = {LoadTwo(p, q),         LoadTwo(p + 4, q + 4), LoadTwo(p + 2, q + 2),
                   LoadTwo(p + 6, q + 6), LoadTwo(p + 1, q + 1), LoadTwo(p + 5, q + 5),
                   LoadTwo(p + 3, q + 3), LoadTwo(p + 7, q + 7)};
        VDft8<kInverse>(y);
        for (int k = 0; k < 8; ++k) StoreTwo(p + k, q + k, y[k]);
    }
}

// The radix-2 first stage with one vector per pair of neighbouring points (a, b):
// (a, b) * (1, 1, -1, -1) + (b, a) = (a + b, a - b), the scalar stage's operations.
void Radix2StagePaired(Cx* x, int count) {
    const V4 sign = {1.0f, 1.0f, -1.0f, -1.0f};
    for (int p = 0; p < count; p += 2) {
        const V4 v = Load(x + p);
        Store(x + p, v * sign + __builtin_shuffle(v, V4i{2, 3, 0, 1}));
    }
}

// The radix-4 first stage with two vectors per group: (x0, x2) and (x1, x3) as they lie in
// bit-reversed order. Same operations as the scalar stage.
template <bool kInverse>
void Radix4FirstStagePaired(Cx* x, int count) {
    const V4 sign = {1.0f, 1.0f, -1.0f, -1.0f};
    // Rotates the upper point of a vector by -j (forward) or +j (inverse).
    const V4 rotate = kInverse ? V4{1.0f, 1.0f, -1.0f, 1.0f} : V4{1.0f, 1.0f, 1.0f, -1.0f};
    for (int g = 0; g < count; g += 4) {
        const V4 v02 = Load(x + g);
        const V4 v13 = Load(x + g + 2);
        const V4 u = v02 * sign + __builtin_shuffle(v02, V4i{2, 3, 0, 1});  // (t0, t1)
        const V4 w = v13 * sign + __builtin_shuffle(v13, V4i{2, 3, 0, 1});  // (t2, x1 - x3)
        const V4 r = __builtin_shuffle(w, V4i{0, 1, 3, 2}) * rotate;        // (t2, t3)
        Store(x + g, u + r);                                                // (X0, X1)
        Store(x + g + 2, u - r);                                            // (X2, X3)
    }
}

// The radix-8 stages from `span` on. Returns true when the last stage also applied `scale`
// (inverse transforms on the 256-bit kernels); otherwise the caller scales.
template <bool kInverse>
bool RemainingStages(Cx* x, int count, int span, const int* ip, const float* w, bool paired,
                     float scale) {
    // Up to this many points the data stay in the first-level cache, where the two-stage
    // kernel's buffer costs more than the second pass it saves.
    constexpr int kPairAbove = 2048;
    const int table_points = 2 * ip[0];
    const TableView table{w, table_points >= count ? table_points / count : 1, table_points / 4};
    bool scaled = false;
    const bool wide = paired && kHaveWideVectors && FftUseWideVectors;
    const PreparedTwiddles* prepared = wide && FftUsePreparedTwiddles
                                           ? g_prepared[Log2(count)].load(std::memory_order_acquire)
                                           : nullptr;
    int stages_left = 0;
    for (int t = span; t < count; t *= 8) ++stages_left;
    for (; span < count; span *= 8, --stages_left) {
        if (wide && span % 4 == 0 && stages_left >= 2 && count > kPairAbove) {
            // The stages pair up from the last one: the widest strides gain the most.
            const bool last = 64 * span == count;
            const float* tabled_a = StageTable(prepared, kInverse, span);
            const float* tabled_b = StageTable(prepared, kInverse, 8 * span);
            if (kInverse && last) {
                TwoRadix8Stages<kInverse, true>(x, count, span, table, tabled_a, tabled_b, scale);
                scaled = true;
            } else {
                TwoRadix8Stages<kInverse, false>(x, count, span, table, tabled_a, tabled_b, scale);
            }
            span *= 8;
            --stages_left;
        } else if (wide && span % 4 == 0) {
            const float* tabled = StageTable(prepared, kInverse, span);
            if (kInverse && 8 * span == count) {
                Radix8StageWide<kInverse, true>(x, count, span, table, tabled, scale);
                scaled = true;
            } else {
                Radix8StageWide<kInverse, false>(x, count, span, table, tabled, scale);
            }
        } else if (wide && span == 2 && count >= 32 && 8 * span < count) {
            Cx tw[2][8];
            ColumnTwiddles<kInverse>(table, 0, count / 16, tw[0]);
            ColumnTwiddles<kInverse>(table, 1, count / 16, tw[1]);
            Radix8StageSpan2Wide<kInverse>(x, count, tw);
        } else if (paired && span % 2 == 0) {
            Radix8StagePaired<kInverse>(x, count, span, table);
        } else {
            Radix8StageScalar<kInverse>(x, count, span, table);
        }
    }
    return scaled;
}

template <bool kInverse>
bool Transform(Cx* x, int count, int* ip, const float* w, bool paired, float scale) {
    const int log2n = Log2(count);
    const bool wide = paired && kHaveWideVectors && FftUseWideVectors;
    if (wide && log2n >= 6) {
        // Permutation and first stage in one pass over the data.
        const int first_bits = log2n % 3 == 0 ? 3 : log2n % 3;
        switch (first_bits) {
            case 1:
                PermuteFirstStageWide<1, kInverse>(x, log2n, ip + 2);
                break;
            case 2:
                PermuteFirstStageWide<2, kInverse>(x, log2n, ip + 2);
                break;
            default:
                PermuteFirstStageWide<3, kInverse>(x, log2n, ip + 2);
                break;
        }
        return RemainingStages<kInverse>(x, count, 1 << first_bits, ip, w, paired, scale);
    }
    BitReverse(x, log2n, ip + 2);

    int span = 1;
    switch (log2n % 3) {
        case 1:
            if (paired) {
                Radix2StagePaired(x, count);
            } else {
                Radix2Stage<kInverse>(x, count);
            }
            span = 2;
            break;
        case 2:
            if (paired) {
                Radix4FirstStagePaired<kInverse>(x, count);
            } else {
                Radix4FirstStage<kInverse>(x, count);
            }
            span = 4;
            break;
        default:
            break;
    }
    if (paired && span == 1 && count >= 16) {
        Radix8FirstStagePaired<kInverse>(x, count);
        span = 8;
    }
    return RemainingStages<kInverse>(x, count, span, ip, w, paired, scale);
}

void Run(int n, int sign, float* a, int* ip, float* w, bool paired) {
    if (n > 4 * ip[0]) BuildFftTable(n, ip, w);
    const int count = n / 2;
    // Cx is two floats in a row, so the interleaved array is an array of Cx.
    Cx* x = reinterpret_cast<Cx*>(a);
    if (sign >= 0) {
        // 2/n is a power of two, so the single-precision product equals the exact product
        // rounded once, as an extended-precision factor would give.
        const float scale = static_cast<float>(2.0 / n);
        if (!Transform<true>(x, count, ip, w, paired, scale)) {
            for (int i = 0; i < n; ++i) a[i] *= scale;
        }
    } else {
        Transform<false>(x, count, ip, w, paired, 1.0f);
    }
}

}  // namespace

void BuildFftTable(int n, int* ip, float* w) {
    const int nw = n / 4;
    ip[0] = nw;
    ip[1] = 1;
    if (nw <= 2) return;
    const int h = nw / 2;
    // The angle step, rounded to single precision: pair q holds the angle 2 q delta.
    const double delta = static_cast<float>(std::atan(1.0) / h);
    const int pairs = nw / 2;
    const int eighth = h / 2;  // pair index of pi/4
    for (int q = 0; q < pairs; ++q) {
        if (q < eighth) {
            const double angle = 2.0 * q * delta;
            w[2 * q] = static_cast<float>(std::cos(angle));
            w[2 * q + 1] = static_cast<float>(std::sin(angle));
        } else if (q == eighth) {
            const float c = static_cast<float>(std::cos(delta * h));
            w[2 * q] = c;
            w[2 * q + 1] = c;
        } else {
            // Upper octant from its mirror angle, so both octants share the same rounding.
            const double angle = static_cast<double>(nw - 2 * q) * delta;
            w[2 * q] = static_cast<float>(std::sin(angle));
            w[2 * q + 1] = static_cast<float>(std::cos(angle));
        }
    }
}

namespace {

void BuildPreparedTwiddles(int n) {
    const int count = n / 2;
    const int log2n = Log2(count);
    if (!kHaveWideVectors || count < 64 || log2n >= kMaxLog2Points) return;
    std::lock_guard<std::mutex> lock(g_prepare_mutex);
    if (g_prepared[log2n].load(std::memory_order_acquire)) return;
    // The cos/sin table of exactly this size: a larger one holds the same values.
    std::vector<int> ip(FftWorkAreaInts(n));
    std::vector<float> w(static_cast<std::size_t>(n) / 4 + 2);
    BuildFftTable(n, ip.data(), w.data());
    const TableView table{w.data(), 1, count / 4};
    // The spans of the radix-8 stages: from the first stage's size on, those the 256-bit
    // kernels take (multiples of four).
    const int first_bits = log2n % 3 == 0 ? 3 : log2n % 3;
    std::size_t floats = 0;
    for (int span = 1 << first_bits; span < count; span *= 8) {
        if (span % 4 == 0) floats += 2 * static_cast<std::size_t>(span) / 4 * kTabledFloatsPerQuad;
    }
    auto prepared = std::make_unique<PreparedTwiddles>();
    prepared->storage.assign(floats, 0.0f);
    float* next = prepared->storage.data();
    for (int span = 1 << first_bits; span < count; span *= 8) {
        if (span % 4 != 0) continue;
        const int step = count / (8 * span);
        const std::size_t size = static_cast<std::size_t>(span) / 4 * kTabledFloatsPerQuad;
        PrepareStageTable<false>(table, span, step, next);
        prepared->stage[0][Log2(span)] = next;
        next += size;
        PrepareStageTable<true>(table, span, step, next);
        prepared->stage[1][Log2(span)] = next;
        next += size;
    }
    // Kept for the life of the process: transforms on other threads may be reading it.
    g_prepared[log2n].store(prepared.release(), std::memory_order_release);
}

}  // namespace

void PrepareFftTwiddles(int n) {
    try {
        BuildPreparedTwiddles(n);
    } catch (const std::bad_alloc&) {
        // Without the tables the transforms form their twiddles: slower, the same bits.
    }
}

std::size_t FftWorkAreaInts(int n) {
    const int count = n / 2 > 1 ? n / 2 : 2;
    const int hi_bits = (Log2(count) + 1) / 2;
    return 2 + (std::size_t{1} << hi_bits);
}

void AdoptFftTable(int* thread_ip, const int* shared_ip) {
    thread_ip[0] = shared_ip[0];
    thread_ip[1] = shared_ip[1];
}

void ComplexFft(int n, int sign, float* a, int* ip, float* w) { Run(n, sign, a, ip, w, true); }

void ComplexFftScalar(int n, int sign, float* a, int* ip, float* w) {
    Run(n, sign, a, ip, w, false);
}

}  // namespace shell
