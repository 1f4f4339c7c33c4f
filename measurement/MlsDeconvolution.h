// From a finished capture to the Ref and In impulse responses: the scaled samples of both
// channels, the MLS correlation with its steady-state repair, and the alignment on the Ref peak.
// Also the stream format both measurement devices are opened with.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/audio/Wave.h"
#include "shell/StartupAllocation.h"

namespace measurement {

// Entries of MlsRefSamples / MlsInSamples (and MlsInIrCopy) that the measurement uses: all of the
// first two.
inline constexpr int kMlsSampleEntries = static_cast<int>(shell::kMlsSampleBytes / sizeof(float));
static_assert(kMlsSampleEntries * sizeof(float) <= shell::kMlsInIrCopyBytes);
// Samples of the first pass searched for the channel's peak.
inline constexpr int kMlsPeakSearch = 4000;
// Sample of the aligned impulses where the Ref gate starts; the Ref peak lands 10 later.
inline constexpr int kMlsLeadingZeros = 50;
// Scale of a captured 24-bit sample.
inline constexpr float kMlsSampleScale = 1.0f / 205.0f;

// Numeric sampling rate of a sampling-rate index (SampleRateNames); 0 when it is out of range.
int MlsSampleRateAt(int rate_index);
// The same of shell::Mls.MlsSampleRateIndex, the rate the next measurement runs at.
int MlsSampleRate();
// Numeric sampling rate the impulses were measured at (MeasuredRateIndex); 0 when out of range.
int MeasuredSampleRate();

// The format of both measurement devices: extensible PCM, 2 channels at `rate`, 32-bit
// containers with 24 valid bits.
void FillMlsWaveFormat(platform::WAVEFORMATEXTENSIBLE* format, platform::DWORD rate);

// Copies a finished capture (at most kMlsCaptureBytes) into MlsCaptureCopy; false when the copy
// is not allocated.
bool TakeMlsCapture(const void* data, std::size_t bytes);

// The capture processing: MlsCaptureCopy kept in MlsCaptureSave (KeepMlsCapture), the scaled and
// signed samples of both channels (In read later by the Delay Read offset when it is ticked) with
// their peak levels, then, after a measurement (MlsImpulseValid), the deconvolution of both
// channels and the gating windows. 0 when done, 1 when a buffer or the sequence is missing.
int ProcessMlsCapture();

// Deconvolution of one channel in place (Ref first: it sets MlsRefPeak, which both alignments
// use). `peak` receives the channel's first-pass peak. Impulse curves 20 (Ref) / 21 (In) and,
// for In, MlsInIrCopy are written.
void DeconvolveMlsChannel(float* x, bool is_ref, std::int32_t* peak);

}  // namespace measurement
