// Building blocks of the complex FFT shared by its scalar, 128-bit and 256-bit kernels: the
// complex point, the rotations by multiples of pi/4, the view of the cos/sin table and the
// twiddle lookups. Only shell/ComplexFft*.{h,cpp} include this header.
#pragma once

#if defined(__clang__)
// GCC's lane shuffle by a mask vector, which clang (used only for the fuzzing build) lacks: the
// same result lane by lane.
#define __builtin_shuffle(a, ...)                                                 \
    __extension__({                                                               \
        const auto qv_a_ = (a);                                                   \
        const auto qv_m_ = __VA_ARGS__;                                           \
        auto qv_r_ = qv_a_;                                                       \
        for (unsigned qv_i_ = 0; qv_i_ < sizeof qv_a_ / sizeof qv_a_[0]; ++qv_i_) \
            qv_r_[qv_i_] = qv_a_[qv_m_[qv_i_]];                                   \
        qv_r_;                                                                    \
    })
#endif

namespace shell::fft_kernels {

constexpr float kSqrtHalf = 0.707106781186547524f;

struct Cx {
    float re;
    float im;
};

inline Cx Add(Cx a, Cx b) { return {a.re + b.re, a.im + b.im}; }
inline Cx Sub(Cx a, Cx b) { return {a.re - b.re, a.im - b.im}; }
inline Cx Mul(Cx a, Cx b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }

// Multiplies by -j (forward) or +j (inverse).
template <bool kInverse>
inline Cx RotQuarter(Cx a) {
    if constexpr (kInverse) {
        return {-a.im, a.re};
    } else {
        return {a.im, -a.re};
    }
}

// Multiplies by e^(-+ j pi/4) and e^(-+ j 3 pi/4).
template <bool kInverse>
inline Cx RotEighth(Cx a) {
    if constexpr (kInverse) {
        return {kSqrtHalf * (a.re - a.im), kSqrtHalf * (a.re + a.im)};
    } else {
        return {kSqrtHalf * (a.re + a.im), kSqrtHalf * (a.im - a.re)};
    }
}
template <bool kInverse>
inline Cx RotThreeEighths(Cx a) {
    if constexpr (kInverse) {
        return {-kSqrtHalf * (a.re + a.im), kSqrtHalf * (a.re - a.im)};
    } else {
        return {kSqrtHalf * (a.im - a.re), -kSqrtHalf * (a.re + a.im)};
    }
}

inline int Log2(int value) {
    int bits = 0;
    while ((1 << bits) < value) ++bits;
    return bits;
}

// Reverses the low `bits` bits of v.
inline int ReverseBits(int v, int bits) {
    int r = 0;
    for (int b = 0; b < bits; ++b) {
        r = (r << 1) | (v & 1);
        v >>= 1;
    }
    return r;
}

// Cos/sin table geometry for one transform: the table holds Nt = 2 ip[0] points, the transform
// uses every stride-th of them.
struct TableView {
    const float* w;
    int stride;   // Nt / N
    int quarter;  // Nt / 4: pairs in the table
};

// e^(-+ j 2 pi e / N) for 0 <= e < N/2 (first two quadrants), read from the quarter-wave table.
template <bool kInverse>
inline Cx Twiddle(const TableView& t, int e) {
    int r = e * t.stride;
    float re;
    float im;
    if (r < t.quarter) {
        re = t.w[2 * r];
        im = -t.w[2 * r + 1];
    } else {  // second quadrant: e^(-j (pi/2 + phi)) = -j e^(-j phi)
        r -= t.quarter;
        re = -t.w[2 * r + 1];
        im = -t.w[2 * r];
    }
    if constexpr (kInverse) im = -im;
    return {re, im};
}

// The three twiddles of one butterfly column that come from the table: W^e, W^2e, W^4e with
// e = k step < N/8, for a radix-8 stage whose groups span 8 `span` points (step = N / (8 span)).
template <bool kInverse>
[[gnu::always_inline]] inline void ColumnLookups(const TableView& t, int k, int step, Cx& t1,
                                                 Cx& t2, Cx& t4) {
    const int e = k * step;
    t1 = Twiddle<kInverse>(t, e);
    t2 = Twiddle<kInverse>(t, 2 * e);
    t4 = Twiddle<kInverse>(t, 4 * e);
}

// The seven twiddles W^(s e), s = 1..7, of one column: three from the table, four products
// t3 = t1 t2, t5 = t1 t4, t6 = t2 t4, t7 = t3 t4 in single precision. The vector kernels form
// the same products lane by lane.
template <bool kInverse>
[[gnu::always_inline]] inline void ColumnTwiddles(const TableView& t, int k, int step,
                                                  Cx (&tw)[8]) {
    ColumnLookups<kInverse>(t, k, step, tw[1], tw[2], tw[4]);
    tw[3] = Mul(tw[1], tw[2]);
    tw[5] = Mul(tw[1], tw[4]);
    tw[6] = Mul(tw[2], tw[4]);
    tw[7] = Mul(tw[3], tw[4]);
}

// Bit-reversed order of 3 bits: the sub-transform that belongs to input s sits at rev3(s) L.
constexpr int kRev3[8] = {0, 4, 2, 6, 1, 5, 3, 7};

}  // namespace shell::fft_kernels
