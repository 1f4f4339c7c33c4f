#include "engine/ConvolutionKernels.h"

#include <immintrin.h>

#include <cmath>

namespace engine::kernels {

namespace {

bool DetectWideVectors() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

const bool kHaveWideVectors = DetectWideVectors();
const bool kHaveFusedMultiplyAdd = kHaveWideVectors && __builtin_cpu_supports("fma");
const bool kHave512 = kHaveFusedMultiplyAdd && __builtin_cpu_supports("avx512f");

}  // namespace

bool WideVectorsAvailable() { return kHaveWideVectors; }
bool FusedMultiplyAddAvailable() { return kHaveFusedMultiplyAdd; }
bool Vectors512Available() { return kHave512; }

// ---- The plain twins: the reference every wide loop follows operation by operation ----

void MultiplyAccumulatePlain(const MacGroup& g, int bins) {
    for (int j = 0; j < g.outputs; ++j) {
        float* __restrict acc_re = g.acc_re[j];
        float* __restrict acc_im = g.acc_im[j];
        for (int s = 0; s < 8; ++s) {
            const float* __restrict xr = g.xr[s];
            const float* __restrict xi = g.xi[s];
            const float* __restrict hr = g.hr[j][s];
            const float* __restrict hi = g.hi[j][s];
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
}

void MultiplyAccumulateFusedPlain(const MacGroup& g, int bins) {
    for (int j = 0; j < g.outputs; ++j) {
        float* __restrict acc_re = g.acc_re[j];
        float* __restrict acc_im = g.acc_im[j];
        for (int s = 0; s < 8; ++s) {
            const float* __restrict xr = g.xr[s];
            const float* __restrict xi = g.xi[s];
            const float* __restrict hr = g.hr[j][s];
            const float* __restrict hi = g.hi[j][s];
            if (s == 0) {
                for (int k = 0; k < bins; ++k) {
                    acc_re[k] = std::fma(-xi[k], hi[k], xr[k] * hr[k]);
                    acc_im[k] = std::fma(xi[k], hr[k], xr[k] * hi[k]);
                }
            } else {
                for (int k = 0; k < bins; ++k) {
                    acc_re[k] = std::fma(-xi[k], hi[k], std::fma(xr[k], hr[k], acc_re[k]));
                    acc_im[k] = std::fma(xi[k], hr[k], std::fma(xr[k], hi[k], acc_im[k]));
                }
            }
        }
    }
}

void ForwardSplitPlain(int f, const float* z, const float* cos_k, const float* sin_k, float* re,
                       float* im, int begin, int end) {
    for (int k = begin; k < end; ++k) {
        const int kk = k == f ? 0 : k;
        const int kc = k == 0 ? 0 : f - k;
        const float zr = z[2 * kk], zi = z[2 * kk + 1];
        const float cr = z[2 * kc], ci = -z[2 * kc + 1];
        const float er = 0.5f * (zr + cr), ei = 0.5f * (zi + ci);    // even samples' spectrum
        const float orr = 0.5f * (zi - ci), oi = -0.5f * (zr - cr);  // odd samples' spectrum
        const float c = cos_k[k], s = sin_k[k];                      // W^k = c - j s
        re[k] = er + c * orr + s * oi;
        im[k] = ei + c * oi - s * orr;
    }
}

void InverseMergePlain(int f, const float* re, const float* im, const float* cos_k,
                       const float* sin_k, float* z) {
    for (int k = 0; k < f; ++k) {
        const float xr = re[k], xi = im[k];
        const float cr = re[f - k], ci = -im[f - k];
        const float er = 0.5f * (xr + cr), ei = 0.5f * (xi + ci);
        const float dr = 0.5f * (xr - cr), di = 0.5f * (xi - ci);
        const float c = cos_k[k], s = sin_k[k];  // conj(W^k) = c + j s
        const float orr = dr * c - di * s, oi = dr * s + di * c;
        z[2 * k] = er - oi;
        z[2 * k + 1] = ei + orr;
    }
}

void OutputWordsPlain(int f, const float* y, float* tail, double master, double trim,
                      std::int32_t* words) {
    for (int n = 0; n < f; ++n) {
        double v = (double(y[n]) + double(tail[n])) * master * trim;
        tail[n] = y[n + f];
        if (!(v == v)) v = 0.0;
        if (v > 8388607.0) v = 8388607.0;
        if (v < -8388607.0) v = -8388607.0;
        words[n] = static_cast<std::int32_t>(v) * 256;
    }
}

void InterleavePlain(const std::int32_t* const* rows, int count, int f, std::int32_t* out,
                     int stride) {
    for (int n = 0; n < f; ++n)
        for (int j = 0; j < count; ++j) out[n * stride + j] = rows[j][n];
}

// ---- The 256-bit twins ----

#define QV_WIDE __attribute__((target("avx2")))

namespace {

// Eight complex points from interleaved (re, im) floats: the real and the imaginary parts.
QV_WIDE inline void Deinterleave(const float* p, __m256& re, __m256& im) {
    const __m256 a = _mm256_loadu_ps(p);
    const __m256 b = _mm256_loadu_ps(p + 8);
    const __m256 r = _mm256_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0));
    const __m256 i = _mm256_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1));
    re = _mm256_castpd_ps(_mm256_permute4x64_pd(_mm256_castps_pd(r), _MM_SHUFFLE(3, 1, 2, 0)));
    im = _mm256_castpd_ps(_mm256_permute4x64_pd(_mm256_castps_pd(i), _MM_SHUFFLE(3, 1, 2, 0)));
}

QV_WIDE inline void Interleave(float* p, __m256 re, __m256 im) {
    const __m256 lo = _mm256_unpacklo_ps(re, im);
    const __m256 hi = _mm256_unpackhi_ps(re, im);
    _mm256_storeu_ps(p, _mm256_permute2f128_ps(lo, hi, 0x20));
    _mm256_storeu_ps(p + 8, _mm256_permute2f128_ps(lo, hi, 0x31));
}

QV_WIDE inline __m256 Reverse(__m256 v) {
    return _mm256_permutevar8x32_ps(v, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0));
}

}  // namespace

// Bins in the outer loop, partitions inside: each output's sums stay in registers, and the
// input's eight stages for these eight bins stay in the first-level cache for all outputs.
QV_WIDE void MultiplyAccumulateWide(const MacGroup& g, int bins) {
    for (int k = 0; k < bins; k += 8)
        for (int j = 0; j < g.outputs; ++j) {
            __m256 xr = _mm256_load_ps(g.xr[0] + k);
            __m256 xi = _mm256_load_ps(g.xi[0] + k);
            __m256 hr = _mm256_load_ps(g.hr[j][0] + k);
            __m256 hi = _mm256_load_ps(g.hi[j][0] + k);
            __m256 re = _mm256_sub_ps(_mm256_mul_ps(xr, hr), _mm256_mul_ps(xi, hi));
            __m256 im = _mm256_add_ps(_mm256_mul_ps(xr, hi), _mm256_mul_ps(xi, hr));
            for (int s = 1; s < 8; ++s) {
                xr = _mm256_load_ps(g.xr[s] + k);
                xi = _mm256_load_ps(g.xi[s] + k);
                hr = _mm256_load_ps(g.hr[j][s] + k);
                hi = _mm256_load_ps(g.hi[j][s] + k);
                re = _mm256_add_ps(re, _mm256_sub_ps(_mm256_mul_ps(xr, hr), _mm256_mul_ps(xi, hi)));
                im = _mm256_add_ps(im, _mm256_add_ps(_mm256_mul_ps(xr, hi), _mm256_mul_ps(xi, hr)));
            }
            _mm256_store_ps(g.acc_re[j] + k, re);
            _mm256_store_ps(g.acc_im[j] + k, im);
        }
}

// The same with each multiply fused into its add.
__attribute__((target("avx2,fma"))) void MultiplyAccumulateFusedWide(const MacGroup& g, int bins) {
    for (int k = 0; k < bins; k += 8)
        for (int j = 0; j < g.outputs; ++j) {
            __m256 xr = _mm256_load_ps(g.xr[0] + k);
            __m256 xi = _mm256_load_ps(g.xi[0] + k);
            __m256 hr = _mm256_load_ps(g.hr[j][0] + k);
            __m256 hi = _mm256_load_ps(g.hi[j][0] + k);
            __m256 re = _mm256_fnmadd_ps(xi, hi, _mm256_mul_ps(xr, hr));
            __m256 im = _mm256_fmadd_ps(xi, hr, _mm256_mul_ps(xr, hi));
            for (int s = 1; s < 8; ++s) {
                xr = _mm256_load_ps(g.xr[s] + k);
                xi = _mm256_load_ps(g.xi[s] + k);
                hr = _mm256_load_ps(g.hr[j][s] + k);
                hi = _mm256_load_ps(g.hi[j][s] + k);
                re = _mm256_fnmadd_ps(xi, hi, _mm256_fmadd_ps(xr, hr, re));
                im = _mm256_fmadd_ps(xi, hr, _mm256_fmadd_ps(xr, hi, im));
            }
            _mm256_store_ps(g.acc_re[j] + k, re);
            _mm256_store_ps(g.acc_im[j] + k, im);
        }
}

// The same sixteen bins at a time.
__attribute__((target("avx512f"))) void MultiplyAccumulateFused512(const MacGroup& g, int bins) {
    for (int k = 0; k < bins; k += 16)
        for (int j = 0; j < g.outputs; ++j) {
            __m512 xr = _mm512_loadu_ps(g.xr[0] + k);
            __m512 xi = _mm512_loadu_ps(g.xi[0] + k);
            __m512 hr = _mm512_loadu_ps(g.hr[j][0] + k);
            __m512 hi = _mm512_loadu_ps(g.hi[j][0] + k);
            __m512 re = _mm512_fnmadd_ps(xi, hi, _mm512_mul_ps(xr, hr));
            __m512 im = _mm512_fmadd_ps(xi, hr, _mm512_mul_ps(xr, hi));
            for (int s = 1; s < 8; ++s) {
                xr = _mm512_loadu_ps(g.xr[s] + k);
                xi = _mm512_loadu_ps(g.xi[s] + k);
                hr = _mm512_loadu_ps(g.hr[j][s] + k);
                hi = _mm512_loadu_ps(g.hi[j][s] + k);
                re = _mm512_fnmadd_ps(xi, hi, _mm512_fmadd_ps(xr, hr, re));
                im = _mm512_fmadd_ps(xi, hr, _mm512_fmadd_ps(xr, hi, im));
            }
            _mm512_storeu_ps(g.acc_re[j] + k, re);
            _mm512_storeu_ps(g.acc_im[j] + k, im);
        }
}

QV_WIDE int ForwardSplitWide(int f, const float* z, const float* cos_k, const float* sin_k,
                             float* re, float* im) {
    const __m256 half = _mm256_set1_ps(0.5f);
    const __m256 minus_half = _mm256_set1_ps(-0.5f);
    const __m256 sign = _mm256_set1_ps(-0.0f);
    int k = 1;
    for (; k + 8 <= f; k += 8) {
        __m256 zr, zi, cr, ci;
        Deinterleave(z + 2 * k, zr, zi);
        Deinterleave(z + 2 * (f - k - 7), cr, ci);  // points f-k-7 .. f-k
        cr = Reverse(cr);
        ci = _mm256_xor_ps(Reverse(ci), sign);
        const __m256 er = _mm256_mul_ps(half, _mm256_add_ps(zr, cr));
        const __m256 ei = _mm256_mul_ps(half, _mm256_add_ps(zi, ci));
        const __m256 orr = _mm256_mul_ps(half, _mm256_sub_ps(zi, ci));
        const __m256 oi = _mm256_mul_ps(minus_half, _mm256_sub_ps(zr, cr));
        const __m256 c = _mm256_loadu_ps(cos_k + k);
        const __m256 s = _mm256_loadu_ps(sin_k + k);
        _mm256_storeu_ps(
            re + k, _mm256_add_ps(_mm256_add_ps(er, _mm256_mul_ps(c, orr)), _mm256_mul_ps(s, oi)));
        _mm256_storeu_ps(
            im + k, _mm256_sub_ps(_mm256_add_ps(ei, _mm256_mul_ps(c, oi)), _mm256_mul_ps(s, orr)));
    }
    return k;
}

QV_WIDE void InverseMergeWide(int f, const float* re, const float* im, const float* cos_k,
                              const float* sin_k, float* z) {
    const __m256 half = _mm256_set1_ps(0.5f);
    const __m256 sign = _mm256_set1_ps(-0.0f);
    for (int k = 0; k < f; k += 8) {
        const __m256 xr = _mm256_loadu_ps(re + k);
        const __m256 xi = _mm256_loadu_ps(im + k);
        const __m256 cr = Reverse(_mm256_loadu_ps(re + f - k - 7));  // bins f-k .. f-k-7
        const __m256 ci = _mm256_xor_ps(Reverse(_mm256_loadu_ps(im + f - k - 7)), sign);
        const __m256 er = _mm256_mul_ps(half, _mm256_add_ps(xr, cr));
        const __m256 ei = _mm256_mul_ps(half, _mm256_add_ps(xi, ci));
        const __m256 dr = _mm256_mul_ps(half, _mm256_sub_ps(xr, cr));
        const __m256 di = _mm256_mul_ps(half, _mm256_sub_ps(xi, ci));
        const __m256 c = _mm256_loadu_ps(cos_k + k);
        const __m256 s = _mm256_loadu_ps(sin_k + k);
        const __m256 orr = _mm256_sub_ps(_mm256_mul_ps(dr, c), _mm256_mul_ps(di, s));
        const __m256 oi = _mm256_add_ps(_mm256_mul_ps(dr, s), _mm256_mul_ps(di, c));
        Interleave(z + 2 * k, _mm256_sub_ps(er, oi), _mm256_add_ps(ei, orr));
    }
}

namespace {

QV_WIDE inline __m128i FourWords(__m256d v, __m256d master, __m256d trim) {
    const __m256d top = _mm256_set1_pd(8388607.0);
    const __m256d bottom = _mm256_set1_pd(-8388607.0);
    v = _mm256_mul_pd(_mm256_mul_pd(v, master), trim);
    v = _mm256_and_pd(v, _mm256_cmp_pd(v, v, _CMP_ORD_Q));  // not a number: 0
    v = _mm256_min_pd(_mm256_max_pd(v, bottom), top);
    return _mm_slli_epi32(_mm256_cvttpd_epi32(v), 8);
}

}  // namespace

QV_WIDE void OutputWordsWide(int f, const float* y, float* tail, double master, double trim,
                             std::int32_t* words) {
    const __m256d m = _mm256_set1_pd(master);
    const __m256d t = _mm256_set1_pd(trim);
    for (int n = 0; n < f; n += 8) {
        const __m256 yv = _mm256_loadu_ps(y + n);
        const __m256 tv = _mm256_loadu_ps(tail + n);
        const __m256d lo = _mm256_add_pd(_mm256_cvtps_pd(_mm256_castps256_ps128(yv)),
                                         _mm256_cvtps_pd(_mm256_castps256_ps128(tv)));
        const __m256d hi = _mm256_add_pd(_mm256_cvtps_pd(_mm256_extractf128_ps(yv, 1)),
                                         _mm256_cvtps_pd(_mm256_extractf128_ps(tv, 1)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(words + n), FourWords(lo, m, t));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(words + n + 4), FourWords(hi, m, t));
        _mm256_storeu_ps(tail + n, _mm256_loadu_ps(y + f + n));
    }
}

// An 8 x 8 transpose of words, eight frames at a time (moves bits only).
QV_WIDE void InterleaveEightWide(const std::int32_t* const* rows, int f, std::int32_t* out,
                                 int stride) {
    for (int n = 0; n < f; n += 8) {
        __m256 r[8];
        for (int j = 0; j < 8; ++j)
            r[j] = _mm256_castsi256_ps(
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[j] + n)));
        __m256 t[8], u[8];
        for (int j = 0; j < 8; j += 2) {
            t[j] = _mm256_unpacklo_ps(r[j], r[j + 1]);
            t[j + 1] = _mm256_unpackhi_ps(r[j], r[j + 1]);
        }
        for (int j = 0; j < 8; j += 4) {
            u[j] = _mm256_shuffle_ps(t[j], t[j + 2], _MM_SHUFFLE(1, 0, 1, 0));
            u[j + 1] = _mm256_shuffle_ps(t[j], t[j + 2], _MM_SHUFFLE(3, 2, 3, 2));
            u[j + 2] = _mm256_shuffle_ps(t[j + 1], t[j + 3], _MM_SHUFFLE(1, 0, 1, 0));
            u[j + 3] = _mm256_shuffle_ps(t[j + 1], t[j + 3], _MM_SHUFFLE(3, 2, 3, 2));
        }
        for (int i = 0; i < 4; ++i) {
            const __m256 first = _mm256_permute2f128_ps(u[i], u[i + 4], 0x20);
            const __m256 second = _mm256_permute2f128_ps(u[i], u[i + 4], 0x31);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + (n + i) * stride),
                                _mm256_castps_si256(first));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + (n + i + 4) * stride),
                                _mm256_castps_si256(second));
        }
    }
}

}  // namespace engine::kernels
