// The 256-bit kernels of the complex FFT. Only shell/ComplexFft.cpp includes this header.
#pragma once

#include <immintrin.h>

#include <cstring>

#include "shell/ComplexFftBasics.h"

namespace shell::fft_kernels {

// The 256-bit kernels: four neighbouring columns per vector, used when the processor has them
// (checked once at start-up). Element by element they perform exactly the operations of the
// narrower kernels, so the results do not depend on which kernel ran. Need span % 4 == 0.
#define QV_WIDE __attribute__((target("avx"), always_inline))
#define QV_WIDE_FUNCTION __attribute__((target("avx")))

typedef float V8 __attribute__((vector_size(32)));
typedef int V8i __attribute__((vector_size(32)));

QV_WIDE inline V8 Load8(const Cx* p) {
    V8 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
QV_WIDE inline void Store8(Cx* p, V8 v) { std::memcpy(p, &v, sizeof v); }
QV_WIDE inline V8 Swap8(V8 a) { return __builtin_shuffle(a, V8i{1, 0, 3, 2, 5, 4, 7, 6}); }
QV_WIDE inline V8 VMul8(V8 a, V8 tre, V8 tim) { return a * tre + Swap8(a) * tim; }

// Multiplies by -j (forward) or +j (inverse): the swapped lanes with one sign bit flipped, the
// bits of a multiplication by -1 and 1 without its latency.
template <bool kInverse>
QV_WIDE inline V8 VRotQuarter8(V8 a) {
    const V8 flip = kInverse ? V8{-0.0f, 0.0f, -0.0f, 0.0f, -0.0f, 0.0f, -0.0f, 0.0f}
                             : V8{0.0f, -0.0f, 0.0f, -0.0f, 0.0f, -0.0f, 0.0f, -0.0f};
    return reinterpret_cast<V8>(
        _mm256_xor_ps(reinterpret_cast<__m256>(Swap8(a)), reinterpret_cast<__m256>(flip)));
}

template <bool kInverse>
QV_WIDE inline void VDft8Wide(V8 (&y)[8]) {
    const V8 c = {kSqrtHalf, kSqrtHalf, kSqrtHalf, kSqrtHalf,
                  kSqrtHalf, kSqrtHalf, kSqrtHalf, kSqrtHalf};
    const V8 e0 = y[0] + y[4];
    const V8 e1 = y[0] - y[4];
    const V8 e2 = y[2] + y[6];
    const V8 e3 = VRotQuarter8<kInverse>(y[2] - y[6]);
    const V8 E0 = e0 + e2;
    const V8 E2 = e0 - e2;
    const V8 E1 = e1 + e3;
    const V8 E3 = e1 - e3;
    const V8 o0 = y[1] + y[5];
    const V8 o1 = y[1] - y[5];
    const V8 o2 = y[3] + y[7];
    const V8 o3 = VRotQuarter8<kInverse>(y[3] - y[7]);
    const V8 O0 = o0 + o2;
    const V8 O2 = VRotQuarter8<kInverse>(o0 - o2);
    const V8 s1 = o1 + o3;
    const V8 O1 = c * (s1 + VRotQuarter8<kInverse>(s1));
    const V8 d1 = o1 - o3;
    const V8 O3 = c * (VRotQuarter8<kInverse>(d1) - d1);
    y[0] = E0 + O0;
    y[4] = E0 - O0;
    y[1] = E1 + O1;
    y[5] = E1 - O1;
    y[2] = E2 + O2;
    y[6] = E2 - O2;
    y[3] = E3 + O3;
    y[7] = E3 - O3;
}

// The bit-reversal permutation fused with the first stage. Write an index of N = 2^b points as
// [a: top 3 bits][m: middle b - 6 bits][c: low 3 bits]; block m is the 64 points with middle m,
// eight rows (a) of eight neighbouring points (c), rows N/8 points apart. Point (a, m, c) of the
// permuted data is point (rev3 c, rev m, rev3 a) of the input, so the first stage's outputs in
// block m need exactly the inputs of block rev m: its DFTs run down the columns of that block
// and land transposed, with the rows in reversed order. A pair of blocks m, rev m is done at a
// time, through a small buffer, so the permutation needs no pass of its own. Every output point
// sees the operations of the separate permutation and first stage, in the same order.
QV_WIDE inline V8 FromPd(__m256d v) { return reinterpret_cast<V8>(_mm256_castpd_ps(v)); }
QV_WIDE inline __m256d ToPd(V8 v) { return _mm256_castps_pd(reinterpret_cast<__m256>(v)); }

// Transposes the 4 x 4 complex points held by r0..r3 (one row each).
QV_WIDE inline void Transpose4(V8& r0, V8& r1, V8& r2, V8& r3) {
    const __m256d t0 = _mm256_unpacklo_pd(ToPd(r0), ToPd(r1));
    const __m256d t1 = _mm256_unpackhi_pd(ToPd(r0), ToPd(r1));
    const __m256d t2 = _mm256_unpacklo_pd(ToPd(r2), ToPd(r3));
    const __m256d t3 = _mm256_unpackhi_pd(ToPd(r2), ToPd(r3));
    r0 = FromPd(_mm256_permute2f128_pd(t0, t2, 0x20));
    r1 = FromPd(_mm256_permute2f128_pd(t1, t3, 0x20));
    r2 = FromPd(_mm256_permute2f128_pd(t0, t2, 0x31));
    r3 = FromPd(_mm256_permute2f128_pd(t1, t3, 0x31));
}

// The first stage on the rows x[0..7] of a block (four columns per vector): radix 2, 4 or 8
// (kBits = 1, 2, 3). Output y[q] is the value that lands in column q.
template <int kBits, bool kInverse>
QV_WIDE inline void FirstDftWide(V8 (&y)[8]) {
    if constexpr (kBits == 3) {
        VDft8Wide<kInverse>(y);
    } else if constexpr (kBits == 2) {
        // Two 4-point DFTs over rows (t, t + 2, t + 4, t + 6), t = 0, 1.
        V8 r[8];
        for (int t = 0; t < 2; ++t) {
            const V8 t0 = y[t] + y[t + 4];
            const V8 t1 = y[t] - y[t + 4];
            const V8 t2 = y[t + 2] + y[t + 6];
            const V8 t3 = VRotQuarter8<kInverse>(y[t + 2] - y[t + 6]);
            r[4 * t] = t0 + t2;
            r[4 * t + 1] = t1 + t3;
            r[4 * t + 2] = t0 - t2;
            r[4 * t + 3] = t1 - t3;
        }
        for (int q = 0; q < 8; ++q) y[q] = r[q];
    } else {
        // Four 2-point DFTs over rows (u, u + 4), u = 0, 2, 1, 3.
        V8 r[8];
        for (int t = 0; t < 4; ++t) {
            const int u = kRev3[2 * t];  // 0, 2, 1, 3
            r[2 * t] = y[u] + y[u + 4];
            r[2 * t + 1] = y[u] - y[u + 4];
        }
        for (int q = 0; q < 8; ++q) y[q] = r[q];
    }
}

// Reads the block at `in` (rows in_rows points apart), writes its first-stage outputs
// transposed to `out` (rows out_rows apart).
template <int kBits, bool kInverse>
QV_WIDE inline void FirstBlockWide(const Cx* in, int in_rows, Cx* out, int out_rows) {
    for (int half = 0; half < 2; ++half) {
        V8 y[8];
        for (int t = 0; t < 8; ++t) y[t] = Load8(in + t * in_rows + 4 * half);
        FirstDftWide<kBits, kInverse>(y);
        Transpose4(y[0], y[1], y[2], y[3]);
        Transpose4(y[4], y[5], y[6], y[7]);
        for (int c = 0; c < 4; ++c) {
            Cx* row = out + kRev3[4 * half + c] * out_rows;
            Store8(row, y[c]);
            Store8(row + 4, y[4 + c]);
        }
    }
}

template <int kBits, bool kInverse>
QV_WIDE_FUNCTION void PermuteFirstStageWide(Cx* x, int log2n, int* table) {
    const int rows = 1 << (log2n - 3);
    const int middle_bits = log2n - 6;
    const int hi_bits = (middle_bits + 1) / 2;
    const int lo_bits = middle_bits / 2;
    const int shift = hi_bits - lo_bits;
    const int hi_count = 1 << hi_bits;
    const int lo_count = 1 << lo_bits;
    for (int j = 0; j < hi_count; ++j) table[j] = ReverseBits(j, hi_bits);
    alignas(32) Cx buffer[64];
    for (int lo = 0; lo < lo_count; ++lo) {
        const int rev_lo = table[lo << shift] << hi_bits;
        for (int hi = 0; hi < hi_count; ++hi) {
            const int m = (hi << lo_bits) | lo;
            const int r = rev_lo | table[hi];
            if (r < m) continue;
            FirstBlockWide<kBits, kInverse>(x + 8 * r, rows, buffer, 8);
            if (r != m) FirstBlockWide<kBits, kInverse>(x + 8 * m, rows, x + 8 * r, rows);
            for (int a = 0; a < 8; ++a) {
                Store8(x + a * rows + 8 * m, Load8(buffer + 8 * a));
                Store8(x + a * rows + 8 * m + 4, Load8(buffer + 8 * a + 4));
            }
        }
    }
}

// Four table pairs (cos, sin) at indices r0, r0 + d, r0 + 2 d, r0 + 3 d, one pair per column.
QV_WIDE inline V8 GatherPairs(const float* w, int r0, int d) {
    double p[4];
    for (int j = 0; j < 4; ++j) std::memcpy(&p[j], w + 2 * (r0 + j * d), sizeof(double));
    return FromPd(_mm256_set_pd(p[3], p[2], p[1], p[0]));
}
QV_WIDE inline V8 EvenLanes8(V8 v) { return __builtin_shuffle(v, V8i{0, 0, 2, 2, 4, 4, 6, 6}); }
QV_WIDE inline V8 OddLanes8(V8 v) { return __builtin_shuffle(v, V8i{1, 1, 3, 3, 5, 5, 7, 7}); }

// Twiddle W^(s e) of four neighbouring columns, split into real parts re (each twice, once per
// lane of a point) and imaginary parts im (likewise): the values of Twiddle(), lane by lane.
struct WideTwiddle {
    V8 re;
    V8 im;
};

// Columns whose exponents e * stride lie in the first quadrant of the table for all four.
template <bool kInverse>
QV_WIDE inline WideTwiddle FirstQuadrant(const float* w, int r0, int d) {
    const V8 v = GatherPairs(w, r0, d);
    const V8 im = OddLanes8(v);
    return {EvenLanes8(v), kInverse ? im : -im};
}

// W^(s e) for e = (k + j) step, j = 0..3, with s e < N/2.
template <bool kInverse>
QV_WIDE inline WideTwiddle WideLookup(const TableView& t, int k, int s_step) {
    const int d = s_step * t.stride;
    const int r0 = k * d;
    const int r3 = r0 + 3 * d;
    if (r3 < t.quarter) return FirstQuadrant<kInverse>(t.w, r0, d);
    if (r0 >= t.quarter) {
        // Second quadrant: e^(-j (pi/2 + phi)) = (-sin phi, -cos phi).
        const V8 v = GatherPairs(t.w, r0 - t.quarter, d);
        const V8 im = EvenLanes8(v);
        return {-OddLanes8(v), kInverse ? im : -im};
    }
    Cx c[4];
    for (int j = 0; j < 4; ++j) c[j] = Twiddle<kInverse>(t, (k + j) * s_step);
    return {V8{c[0].re, c[0].re, c[1].re, c[1].re, c[2].re, c[2].re, c[3].re, c[3].re},
            V8{c[0].im, c[0].im, c[1].im, c[1].im, c[2].im, c[2].im, c[3].im, c[3].im}};
}

// The scalar Mul, lane by lane.
QV_WIDE inline WideTwiddle WideMul(const WideTwiddle& a, const WideTwiddle& b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

// kScale: the last stage of an inverse transform also applies the factor 2/n to every result,
// the same single-precision product a separate pass would form.
// The seven twiddles of four neighbouring columns k..k+3 of a stage with exponent unit `step`,
// spread for VMul8: re = (c, c, ...), im = (-s, s, ...).
template <bool kInverse>
QV_WIDE inline void WideColumnTwiddles(const TableView& table, int k, int step, V8 (&tre)[8],
                                       V8 (&tim)[8]) {
    const V8 conj = {-1.0f, 1.0f, -1.0f, 1.0f, -1.0f, 1.0f, -1.0f, 1.0f};
    WideTwiddle tw[8];
    tw[1] = WideLookup<kInverse>(table, k, step);
    tw[2] = WideLookup<kInverse>(table, k, 2 * step);
    tw[4] = WideLookup<kInverse>(table, k, 4 * step);
    tw[3] = WideMul(tw[1], tw[2]);
    tw[5] = WideMul(tw[1], tw[4]);
    tw[6] = WideMul(tw[2], tw[4]);
    tw[7] = WideMul(tw[3], tw[4]);
    for (int s = 1; s < 8; ++s) {
        tre[s] = tw[s].re;
        tim[s] = tw[s].im * conj;
    }
}

// The same seven twiddles read from a prepared table entry: one vector per s = 1..7 holding the
// (re, im) pairs of the four columns, as WideColumnTwiddles forms them.
constexpr int kTabledFloatsPerQuad = 56;

QV_WIDE inline void TabledColumnTwiddles(const float* entry, V8 (&tre)[8], V8 (&tim)[8]) {
    const V8 conj = {-1.0f, 1.0f, -1.0f, 1.0f, -1.0f, 1.0f, -1.0f, 1.0f};
    for (int s = 1; s < 8; ++s) {
        V8 v;
        std::memcpy(&v, entry + 8 * (s - 1), sizeof v);
        tre[s] = EvenLanes8(v);
        tim[s] = OddLanes8(v) * conj;
    }
}

// The twiddles of column quad k..k+3 of a stage, from its prepared table when there is one.
template <bool kInverse>
QV_WIDE inline void StageTwiddles(const TableView& table, const float* tabled, int k, int step,
                                  V8 (&tre)[8], V8 (&tim)[8]) {
    if (tabled) {
        TabledColumnTwiddles(tabled + (kTabledFloatsPerQuad / 4) * k, tre, tim);
    } else {
        WideColumnTwiddles<kInverse>(table, k, step, tre, tim);
    }
}

// Fills the prepared table of one stage of one direction for the column quads k = 0, 4, ..,
// span - 4 (kTabledFloatsPerQuad floats each), with the values WideColumnTwiddles forms.
template <bool kInverse>
QV_WIDE_FUNCTION void PrepareStageTable(const TableView& table, int span, int step, float* out) {
    for (int k = 0; k < span; k += 4) {
        WideTwiddle tw[8];
        tw[1] = WideLookup<kInverse>(table, k, step);
        tw[2] = WideLookup<kInverse>(table, k, 2 * step);
        tw[4] = WideLookup<kInverse>(table, k, 4 * step);
        tw[3] = WideMul(tw[1], tw[2]);
        tw[5] = WideMul(tw[1], tw[4]);
        tw[6] = WideMul(tw[2], tw[4]);
        tw[7] = WideMul(tw[3], tw[4]);
        float* entry = out + (kTabledFloatsPerQuad / 4) * k;
        for (int s = 1; s < 8; ++s) {
            for (int j = 0; j < 4; ++j) {
                entry[8 * (s - 1) + 2 * j] = tw[s].re[2 * j];
                entry[8 * (s - 1) + 2 * j + 1] = tw[s].im[2 * j];
            }
        }
    }
}

// One butterfly: y[s] = in[s] times twiddle s, then the 8-point DFT.
template <bool kInverse>
QV_WIDE inline void TwiddledDft8Wide(V8 (&y)[8], const V8 (&tre)[8], const V8 (&tim)[8]) {
    for (int s = 1; s < 8; ++s) y[s] = VMul8(y[s], tre[s], tim[s]);
    VDft8Wide<kInverse>(y);
}

// kScale: the last stage of an inverse transform also applies the factor 2/n to every result,
// the same single-precision product a separate pass would form.
template <bool kInverse, bool kScale>
QV_WIDE_FUNCTION void Radix8StageWide(Cx* x, int count, int span, const TableView& table,
                                      const float* tabled, float scale) {
    const int group = 8 * span;
    const int step = count / group;
    const V8 factor = {scale, scale, scale, scale, scale, scale, scale, scale};
    for (int k = 0; k < span; k += 4) {
        V8 tre[8];
        V8 tim[8];
        StageTwiddles<kInverse>(table, tabled, k, step, tre, tim);
        for (int g = k; g < count; g += group) {
            Cx* p = x + g;
            V8 y[8];
            for (int s = 0; s < 8; ++s) y[s] = Load8(p + kRev3[s] * span);
            TwiddledDft8Wide<kInverse>(y, tre, tim);
            for (int q = 0; q < 8; ++q) Store8(p + q * span, kScale ? y[q] * factor : y[q]);
        }
    }
}

// Two stages in one pass: spans L and 8 L. For a column k < L and a base b (a multiple of
// 64 L), the 64 points b + k + j L (j = 0..63) depend only on each other through both stages,
// so a few such columns go through the first stage into a small buffer and from there through
// the second, each point read and written once. Same operations per point as two separate
// stages. kQuads groups of four columns run side by side, so that with two of them every cache
// line of the data is used whole while it is loaded.
template <bool kInverse, bool kScale, int kQuads>
QV_WIDE_FUNCTION void TwoRadix8StagesWide(Cx* x, int count, int span, const TableView& table,
                                          const float* tabled_a, const float* tabled_b,
                                          float scale) {
    const int step_a = count / (8 * span);
    const int step_b = count / (64 * span);
    const V8 factor = {scale, scale, scale, scale, scale, scale, scale, scale};
    V8 buffer[kQuads][64];
    V8 a_re[kQuads][8];
    V8 a_im[kQuads][8];
    V8 b_re[kQuads][8][8];
    V8 b_im[kQuads][8][8];
    for (int k = 0; k < span; k += 4 * kQuads) {
        for (int h = 0; h < kQuads; ++h) {
            const int column = k + 4 * h;
            StageTwiddles<kInverse>(table, tabled_a, column, step_a, a_re[h], a_im[h]);
            for (int c = 0; c < 8; ++c) {
                StageTwiddles<kInverse>(table, tabled_b, column + c * span, step_b, b_re[h][c],
                                        b_im[h][c]);
            }
        }
        for (int base = k; base < count; base += 64 * span) {
            Cx* p = x + base;
            for (int m = 0; m < 8; ++m) {
                for (int h = 0; h < kQuads; ++h) {
                    const Cx* g = p + 8 * m * span + 4 * h;
                    V8 y[8];
                    for (int s = 0; s < 8; ++s) y[s] = Load8(g + kRev3[s] * span);
                    TwiddledDft8Wide<kInverse>(y, a_re[h], a_im[h]);
                    for (int q = 0; q < 8; ++q) buffer[h][8 * m + q] = y[q];
                }
            }
            for (int c = 0; c < 8; ++c) {
                for (int h = 0; h < kQuads; ++h) {
                    V8 y[8];
                    for (int s = 0; s < 8; ++s) y[s] = buffer[h][c + 8 * kRev3[s]];
                    TwiddledDft8Wide<kInverse>(y, b_re[h][c], b_im[h][c]);
                    Cx* out = p + c * span + 4 * h;
                    for (int q = 0; q < 8; ++q) {
                        Store8(out + 8 * q * span, kScale ? y[q] * factor : y[q]);
                    }
                }
            }
        }
    }
}

// The stage of span 2 (the second of sizes 2^(3 m + 1)): a vector holds columns 0 and 1 of
// group g and of group g + 1, so the 256-bit kernel runs where a column quad does not exist.
// tw[c][s] is twiddle s of column c, formed as ColumnTwiddles forms it.
QV_WIDE inline V8 LoadHalves(const Cx* lo, const Cx* hi) {
    return reinterpret_cast<V8>(
        _mm256_loadu2_m128(reinterpret_cast<const float*>(hi), reinterpret_cast<const float*>(lo)));
}
QV_WIDE inline void StoreHalves(Cx* lo, Cx* hi, V8 v) {
    _mm256_storeu2_m128(reinterpret_cast<float*>(hi), reinterpret_cast<float*>(lo),
                        reinterpret_cast<__m256>(v));
}

template <bool kInverse>
QV_WIDE_FUNCTION void Radix8StageSpan2Wide(Cx* x, int count, const Cx (&tw)[2][8]) {
    V8 tre[8];
    V8 tim[8];
    for (int s = 1; s < 8; ++s) {
        const Cx a = tw[0][s];
        const Cx b = tw[1][s];
        tre[s] = V8{a.re, a.re, b.re, b.re, a.re, a.re, b.re, b.re};
        tim[s] = V8{-a.im, a.im, -b.im, b.im, -a.im, a.im, -b.im, b.im};
    }
    constexpr int kGroup = 16;
    for (int g = 0; g < count; g += 2 * kGroup) {
        Cx* p = x + g;
        Cx* q = p + kGroup;
        V8 y[8];
        for (int s = 0; s < 8; ++s) y[s] = LoadHalves(p + 2 * kRev3[s], q + 2 * kRev3[s]);
        TwiddledDft8Wide<kInverse>(y, tre, tim);
        for (int k = 0; k < 8; ++k) StoreHalves(p + 2 * k, q + 2 * k, y[k]);
    }
}

// Picks the two-stage kernel for the span: eight columns at a time where the span allows.
template <bool kInverse, bool kScale>
void TwoRadix8Stages(Cx* x, int count, int span, const TableView& table, const float* tabled_a,
                     const float* tabled_b, float scale) {
    if (span % 8 == 0) {
        TwoRadix8StagesWide<kInverse, kScale, 2>(x, count, span, table, tabled_a, tabled_b, scale);
    } else {
        TwoRadix8StagesWide<kInverse, kScale, 1>(x, count, span, table, tabled_a, tabled_b, scale);
    }
}

inline bool DetectWideVectors() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx");
}

// Decided once before main runs, so no call ever pays for the check.
inline const bool kHaveWideVectors = DetectWideVectors();

}  // namespace shell::fft_kernels
