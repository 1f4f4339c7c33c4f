// A minimal uniformly partitioned convolution built from FFTW's real-input transforms, as one
// would write it with well-known parts: the second peer of the engine's block benchmark. The
// same work as the engine's block: 8 inputs, 16 outputs, 8 partitions of F, output o hears the
// input its routing names; each input's F samples and F zeros go through a measured 2F-point
// real forward plan into an eight-stage delay line; each output sums the products over the
// partitions in registers, eight bins at a time (fused multiply-add where the processor has
// it), goes back through a measured real
// inverse plan, adds the previous block's tail and is written as interleaved 24-bit words
// shifted left by 8, as the engine writes them. The filters are scaled by 1/(2F) once.
#pragma once

#include <fftw3.h>
#include <immintrin.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "bench/engine/BlockData.h"

namespace bench {

namespace peer {

// One output's product sum over the partitions, acc = sum over p of x_p h_p for `bins` complex
// bins: x_p interleaved (re, im) as FFTW gives it; each filter partition kept as two rows made
// once, h1 = (hr, hr) and h2 = (-hi, hi) per bin, so that x h = x h1 + swap(x) h2. Four bins at a
// time with every partition's products kept in registers (fused multiply-add).
__attribute__((target("avx2,fma"))) inline void ProductSumFma(float* acc, const float* const* x,
                                                              const float* const* h1,
                                                              const float* const* h2, int bins) {
    int k = 0;
    for (; k + 4 <= bins; k += 4) {
        __m256 sum = _mm256_setzero_ps();
        for (int p = 0; p < kPartitions; ++p) {
            const __m256 v = _mm256_loadu_ps(x[p] + 2 * k);
            sum = _mm256_fmadd_ps(v, _mm256_loadu_ps(h1[p] + 2 * k), sum);
            sum = _mm256_fmadd_ps(_mm256_permute_ps(v, 0xB1), _mm256_loadu_ps(h2[p] + 2 * k), sum);
        }
        _mm256_storeu_ps(acc + 2 * k, sum);
    }
    for (; k < bins; ++k) {
        float re = 0.0f, im = 0.0f;
        for (int p = 0; p < kPartitions; ++p) {
            const float xr = x[p][2 * k], xi = x[p][2 * k + 1];
            re = std::fma(xi, h2[p][2 * k], std::fma(xr, h1[p][2 * k], re));
            im = std::fma(xr, h2[p][2 * k + 1], std::fma(xi, h1[p][2 * k + 1], im));
        }
        acc[2 * k] = re;
        acc[2 * k + 1] = im;
    }
}

// The same for processors without fused multiply-add.
inline void ProductSumPlain(float* acc, const float* const* x, const float* const* h1,
                            const float* const* h2, int bins) {
    for (int k = 0; k < bins; ++k) {
        float re = 0.0f, im = 0.0f;
        for (int p = 0; p < kPartitions; ++p) {
            const float xr = x[p][2 * k], xi = x[p][2 * k + 1];
            re += xr * h1[p][2 * k] + xi * h2[p][2 * k];
            im += xi * h1[p][2 * k + 1] + xr * h2[p][2 * k + 1];
        }
        acc[2 * k] = re;
        acc[2 * k + 1] = im;
    }
}

}  // namespace peer

class FftwPeer {
  public:
    explicit FftwPeer(const BlockData& s) : f_(s.frames), bins_(s.frames + 1) {
        fused_ = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
        time_ = Floats(2 * f_);
        acc_ = Floats(2 * bins_);
        // Measured plans overwrite their arrays while planning: plan first, fill afterwards.
        forward_ = fftwf_plan_dft_r2c_1d(2 * f_, time_, Complex(acc_), FFTW_MEASURE);
        inverse_ = fftwf_plan_dft_c2r_1d(2 * f_, Complex(acc_), time_, FFTW_MEASURE);
        if (forward_ == nullptr || inverse_ == nullptr) std::abort();
        for (int r = 0; r < kInputs; ++r)
            for (int o = 0; o < kOutputs; ++o)
                if (s.routing[r][o] != 0) input_of_[o] = r;
        for (int i = 0; i < kInputs * kPartitions; ++i) line_.push_back(Zeros(2 * bins_));
        const float scale = 1.0f / static_cast<float>(2 * f_);
        for (int o = 0; o < kOutputs; ++o) {
            overlap_.push_back(Zeros(f_));
            for (int p = 0; p < kPartitions; ++p) {
                for (int n = 0; n < 2 * f_; ++n)
                    time_[n] = n < f_ ? scale * s.taps[static_cast<std::size_t>(o)]
                                                      [static_cast<std::size_t>(p * f_ + n)]
                                      : 0.0f;
                fftwf_execute_dft_r2c(forward_, time_, Complex(acc_));
                float* h1 = Floats(2 * bins_);
                float* h2 = Floats(2 * bins_);
                for (int k = 0; k < bins_; ++k) {
                    h1[2 * k] = h1[2 * k + 1] = acc_[2 * k];
                    h2[2 * k] = -acc_[2 * k + 1];
                    h2[2 * k + 1] = acc_[2 * k + 1];
                }
                h1_.push_back(h1);
                h2_.push_back(h2);
            }
        }
        block.assign(static_cast<std::size_t>(f_) * kOutputs, 0);
    }
    ~FftwPeer() {
        fftwf_destroy_plan(forward_);
        fftwf_destroy_plan(inverse_);
        for (float* p : owned_) fftwf_free(p);
    }
    FftwPeer(const FftwPeer&) = delete;
    FftwPeer& operator=(const FftwPeer&) = delete;

    void Block(const BlockData& s, int b) {
        head_ = (head_ + kPartitions - 1) % kPartitions;  // the newest spectrum's stage
        for (int r = 0; r < kInputs; ++r) {
            const float* in = s.Input(r, b);
            for (int n = 0; n < f_; ++n) time_[n] = in[n];
            for (int n = f_; n < 2 * f_; ++n) time_[n] = 0.0f;
            fftwf_execute_dft_r2c(forward_, time_, Complex(line_[r * kPartitions + head_]));
        }
        for (int o = 0; o < kOutputs; ++o) {
            const int r = input_of_[o];
            const float *x[kPartitions], *h1[kPartitions], *h2[kPartitions];
            for (int p = 0; p < kPartitions; ++p) {
                const std::size_t h = static_cast<std::size_t>(o * kPartitions + p);
                x[p] = line_[r * kPartitions + (head_ + p) % kPartitions];
                h1[p] = h1_[h];
                h2[p] = h2_[h];
            }
            (fused_ ? peer::ProductSumFma : peer::ProductSumPlain)(acc_, x, h1, h2, bins_);
            fftwf_execute_dft_c2r(inverse_, Complex(acc_), time_);
            float* tail = overlap_[static_cast<std::size_t>(o)];
            std::int32_t* words = block.data() + o;
            for (int n = 0; n < f_; ++n) {
                double v = static_cast<double>(gain * (time_[n] + tail[n]));
                if (v > 8388607.0) v = 8388607.0;
                if (v < -8388607.0) v = -8388607.0;
                words[static_cast<std::size_t>(n) * kOutputs] = static_cast<std::int32_t>(v) * 256;
                tail[n] = time_[f_ + n];
            }
        }
    }

    std::vector<std::int32_t> block;  // interleaved, 16 words per frame
    float gain = 1.0f;                // master gain times trim

  private:
    float* Floats(int count) {
        float* p =
            static_cast<float*>(fftwf_malloc(sizeof(float) * static_cast<std::size_t>(count)));
        if (p == nullptr) std::abort();
        owned_.push_back(p);
        return p;
    }
    float* Zeros(int count) {
        float* p = Floats(count);
        for (int i = 0; i < count; ++i) p[i] = 0.0f;
        return p;
    }
    static fftwf_complex* Complex(float* p) { return reinterpret_cast<fftwf_complex*>(p); }

    int f_, bins_;
    bool fused_ = false;
    int head_ = 0;
    int input_of_[kOutputs] = {};
    float* time_;
    float* acc_;
    fftwf_plan forward_, inverse_;
    std::vector<float*> line_;     // [input * 8 + stage] F + 1 bins, interleaved
    std::vector<float*> h1_, h2_;  // [output * 8 + partition] (hr, hr), (-hi, hi), scaled
    std::vector<float*> overlap_;  // [output] F floats
    std::vector<float*> owned_;
};

}  // namespace bench
