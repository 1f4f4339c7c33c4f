// ComplexFft: the one complex FFT of the system. In place, single precision, table-driven
// radix-8 on N = n/2 complex points (interleaved re, im), N a power of two, N >= 2.
//
//   sign < 0 : forward, X[k] = sum x[m] e^(-j 2 pi m k / N), not scaled
//   sign >= 0: inverse, x[m] = (2/n) sum X[k] e^(+j 2 pi m k / N)
//
// ip (int work area): ip[0] = size nw of the cos/sin table built in w (0 = none; set it to 0 to
// force a rebuild), ip[1] = 1, ip[2..] the bit-reversal table every call rewrites for its own n.
// w: nw = n/4 floats, built by the routine when n > 4 ip[0], then only read; a table built for
// a larger transform serves every smaller one.
//
// Threads: every call rewrites ip[2..], so concurrent callers each need their own integer work
// area (FftWorkAreaInts(n) entries). Build the shared table once for the largest n before the
// threads start (BuildFftTable), then give each thread an area prepared with AdoptFftTable:
// its calls then only read w.
#pragma once

#include <cstddef>

namespace shell {

// Runs on the UI thread and on the engine's worker threads: allocates nothing, takes no lock.
void ComplexFft(int n, int sign, float* a, int* ip, float* w);

// The scalar twin of ComplexFft: the same stages one complex point at a time, without the
// vector kernels. Same contract; the results are bit for bit those of ComplexFft.
void ComplexFftScalar(int n, int sign, float* a, int* ip, float* w);

// Test hook: false keeps ComplexFft on its 128-bit kernels even where 256-bit vectors exist.
// Both give the same bits; the hook lets a test compare them. Set only while no transform runs.
extern bool FftUseWideVectors;

// Test hook: false makes ComplexFft form its twiddles even where PrepareFftTwiddles prepared
// them. Both give the same bits. Set only while no transform runs.
extern bool FftUsePreparedTwiddles;

// Both hooks back to their start value, true.
void ResetFftHooks();

// Builds the cos/sin table for transforms of up to n floats into w and records it in ip[0],
// ip[1]; w needs n/4 floats.
void BuildFftTable(int n, int* ip, float* w);

// Prepares, once per size, the twiddle factors of the 256-bit stages of transforms of n floats,
// so that ComplexFft reads them instead of forming them for every column. Allocates and takes a
// lock: call it outside the real-time path, before the first transform of that size that must
// be fast. Transforms give the same bits with or without it. Safe to call from any thread, also
// while transforms run.
void PrepareFftTwiddles(int n);

// Entries an integer work area needs for transforms of n floats (header plus bit-reversal table).
std::size_t FftWorkAreaInts(int n);

// Makes a thread's own integer work area use the table described by shared_ip (copies its
// header), so that the thread's calls never rebuild the shared table.
void AdoptFftTable(int* thread_ip, const int* shared_ip);

}  // namespace shell
