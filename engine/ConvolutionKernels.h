// The convolution's inner loops in two twins: the plain loops (any processor) and 256-bit
// versions (AVX2, chosen at run time). Element by element the wide loops perform exactly the
// operations of the plain ones in the same order, so both give the same bits; the engine's tests
// compare them. The multiply-accumulate comes in a second pair of twins that fuse each multiply
// with its add (std::fma in the plain one), chosen at run time where the processor has fused
// multiply-add. All of them run on the worker threads: no allocation, no lock.
#pragma once

#include <cstdint>

namespace engine::kernels {

inline constexpr int kMaxGroupOutputs = 8;  // outputs whose products one pass accumulates

// The processor offers the 256-bit kernels (decided once, before main).
bool WideVectorsAvailable();
// The processor offers fused multiply-add next to the 256-bit kernels (decided once).
bool FusedMultiplyAddAvailable();
// The processor offers 512-bit vectors (with fused multiply-add; decided once).
bool Vectors512Available();

// One pass of the multiply-accumulate: outputs that hear the same input, so that the input's
// delay line is read once for all of them. For each output j and bin k:
//   acc[j][k] = sum over s = 0..7 of x_s[k] h_js[k]  (s = 0 first, complex products)
struct MacGroup {
    int outputs;         // 1..kMaxGroupOutputs
    const float* xr[8];  // input spectrum s blocks back
    const float* xi[8];
    const float* hr[kMaxGroupOutputs][8];  // partition s of output j's filter
    const float* hi[kMaxGroupOutputs][8];
    float* acc_re[kMaxGroupOutputs];
    float* acc_im[kMaxGroupOutputs];
};

// Bins 0..bins-1; the wide twins need bins % 8 == 0 (rows are padded).
void MultiplyAccumulatePlain(const MacGroup& group, int bins);
void MultiplyAccumulateWide(const MacGroup& group, int bins);
// The fused twins: acc = fma(-xi, hi, xr hr), fma(xi, hr, xr hi) for s = 0, then per partition
// re = fma(-xi, hi, fma(xr, hr, re)), im = fma(xi, hr, fma(xr, hi, im)). The wide twin needs the
// processor's fused multiply-add (FusedMultiplyAddAvailable).
void MultiplyAccumulateFusedPlain(const MacGroup& group, int bins);
void MultiplyAccumulateFusedWide(const MacGroup& group, int bins);
// The fused twin on 512-bit vectors (Vectors512Available); needs bins % 16 == 0.
void MultiplyAccumulateFused512(const MacGroup& group, int bins);

// The split after the forward half-size transform: z holds F complex points; bins k of the 2F
// real points. The plain twin does k in [begin, end) (k = 0 and k = F included); the wide twin
// does k = 1 .. and returns the first k it did not do (always <= F - 1).
void ForwardSplitPlain(int f, const float* z, const float* cos_k, const float* sin_k, float* re,
                       float* im, int begin, int end);
int ForwardSplitWide(int f, const float* z, const float* cos_k, const float* sin_k, float* re,
                     float* im);

// The merge before the inverse half-size transform: bins 0..F into F complex points z.
// The wide twin needs f % 8 == 0.
void InverseMergePlain(int f, const float* re, const float* im, const float* cos_k,
                       const float* sin_k, float* z);
void InverseMergeWide(int f, const float* re, const float* im, const float* cos_k,
                      const float* sin_k, float* z);

// One output's words of a block: v = (y[n] + tail[n]) x master x trim in double precision, kept
// within +-8,388,607 (not a number gives 0), truncated toward zero, shifted left by 8; then the
// tail becomes y[F..2F-1]. The wide twin needs f % 8 == 0.
void OutputWordsPlain(int f, const float* y, float* tail, double master, double trim,
                      std::int32_t* words);
void OutputWordsWide(int f, const float* y, float* tail, double master, double trim,
                     std::int32_t* words);

// Frame-interleaves `count` word rows: out[n * stride + j] = rows[j][n]. The wide twin takes
// exactly eight rows and needs f % 8 == 0.
void InterleavePlain(const std::int32_t* const* rows, int count, int f, std::int32_t* out,
                     int stride);
void InterleaveEightWide(const std::int32_t* const* rows, int f, std::int32_t* out, int stride);

}  // namespace engine::kernels
