// Every large table, record and buffer of the program: allocated once at start-up by three
// routines called back to back, released once at exit. No block is ever reallocated.
// Sizes are element counts; a complex element is a ComplexPoint (two floats).
#pragma once

#include <cstddef>
#include <cstdint>

#include "shell/BaffleRecord.h"
#include "shell/Curves.h"
#include "shell/DriverRecord.h"
#include "shell/PreferencesRecord.h"

namespace shell {

// ---- AllocMainBuffers ----
inline constexpr int kFirSpectrumTableCount = 4;
inline constexpr int kFirSpectraPerTable = 17;
inline constexpr int kFirSpectrumPoints = 262144;  // complex points per spectrum
inline constexpr int kSolverMatrixRows = 128;
inline constexpr int kResponsePorts = 16;
inline constexpr int kResponsePoints = 2049;  // complex points per port (2000 used)

// The solver's working matrices (one block). Paired names share storage in the solve.
struct SolverMatrices {
    std::int32_t A[kSolverMatrixRows][kSolverMatrixRows];
    std::int32_t AoT[kSolverMatrixRows][kSolverMatrixRows];
    std::int32_t Ae[kSolverMatrixRows][kSolverMatrixRows];
    std::int32_t AeT[kSolverMatrixRows][kSolverMatrixRows];
    ComplexPoint ZeYe[kSolverMatrixRows][kSolverMatrixRows];  // Ze, inverted in place into Ye
    ComplexPoint G[kSolverMatrixRows][kSolverMatrixRows];
    ComplexPoint MeM[kSolverMatrixRows][kSolverMatrixRows];  // Me, then M and M^-1
    ComplexPoint WYL[kSolverMatrixRows][kSolverMatrixRows];  // W / YL
    ComplexPoint PPo[kSolverMatrixRows][kSolverMatrixRows];  // P / Po
    ComplexPoint V[64];
    ComplexPoint J[256];
    float s[256];
};

extern DriverRecord* ScratchDriverRecord;  // output-port dialog reads driver files into it
// [table][spectrum] -> kFirSpectrumPoints complex points. Tables 1 and 3 start at (1e-7, 0).
extern ComplexPoint* FirSpectrumTables[kFirSpectrumTableCount][kFirSpectraPerTable];
extern CurveRecord* SystemCurveTable[kSystemCurveCount];
extern SolverMatrices* SolverMatrixTable;
extern ComplexPoint* PortResponseTable[kResponsePorts];   // kResponsePoints each
extern ComplexPoint* FinalResponseTable[kResponsePorts];  // kResponsePoints each

// ---- AllocCurveBuffers ----
extern CurveRecord* DiffractionCurveTable[kDiffractionCurveCount];
extern CurveRecord* MeasuredCurveTable[kMeasuredCurveCount];
extern CurveRecord* RoomEQCurves[kRoomEqCurveCount];
extern CurveRecord* ProcessBufferTable[kProcessBufferCount];
extern PreferencesRecord* Preferences;            // the preferences record
extern DriverRecord* CurrentDriverRecord;         // the record the driver tools edit
extern ComplexPoint* MlsRefResponse;              // kGridPoints
extern ComplexPoint* MlsInResponse;               // kGridPoints, start (1, 0)
extern ComplexPoint* WorkResponsePairs;           // kGridPoints
extern CalibrationPoint* MikeCalibrationCurve;    // kGridPoints
extern CalibrationPoint* PreampCalibrationCurve;  // kGridPoints
extern BaffleRecord* Baffle;                      // the diffraction calculator's baffle

// ---- AllocDspBuffers (byte sizes as the blocks are defined; typed for their main users) ----
inline constexpr std::size_t kMlsSampleBytes = 2144000;
inline constexpr std::size_t kMlsPermutationBytes = 1072000;
inline constexpr std::size_t kHadamardWorkBytes = 8576000;
inline constexpr std::size_t kGateWindowBytes = 4288000;
inline constexpr std::size_t kFftWorkBufferBytes = 8576000;
inline constexpr std::size_t kMlsInIrCopyBytes = 4288000;
inline constexpr std::size_t kMlsBitBufferBytes = 8576000;
inline constexpr std::size_t kMlsCaptureBufferBytes = 4216000;
inline constexpr std::size_t kMlsPlaybackBufferBytes = 4288000;
inline constexpr std::size_t kOutputRingBytes = 4194304;
inline constexpr std::size_t kInterleavedOutputBlockBytes = 4194304;
inline constexpr std::size_t kRawInputBlockBytes = 524288;
inline constexpr std::size_t kMlsFftBufferBytes = 4288000;
// The part of an MLS FFT buffer that Calculate SPL, the room equalizer and Run MLS clear and use.
inline constexpr int kMlsFftBufferFloats = 268000;
static_assert(kMlsFftBufferFloats * sizeof(float) <= kMlsFftBufferBytes);
// What Calculate SPL clears of each when it takes a result back: twice that part.
inline constexpr int kMlsFftBufferSplClearFloats = 2 * kMlsFftBufferFloats;
static_assert(kMlsFftBufferSplClearFloats * sizeof(float) <= kMlsFftBufferBytes);
inline constexpr int kMlsFftBufferCount = 3;
inline constexpr int kEngineInputBlockCount = 9;
inline constexpr std::size_t kEngineInputBlockFloats = 131072;
inline constexpr int kOverlapTailCount = 16;
inline constexpr std::size_t kOverlapTailFloats = 1048576;
inline constexpr std::size_t kFftTableEntries = 1310720;  // FftBitReverseTable, FftTwiddleTable
inline constexpr int kDeviceTextCount = 64;
inline constexpr int kDeviceTextSlot = 128;
inline constexpr int kInputSpectrumLines = 9;
inline constexpr int kInputSpectrumStages = 8;
inline constexpr std::size_t kSpectrumBlockFloats = 32768;
inline constexpr int kOutputBlockCount = 16;
inline constexpr int kFilterOutputs = 16;
inline constexpr int kFilterPartitions = 8;
inline constexpr std::size_t kFirWorkBufferFloats = 524288;

extern float* MlsRefSamples;
extern float* MlsInSamples;
extern std::int32_t* MlsPermutationS;
extern std::int32_t* MlsPermutationL;
extern float* HadamardWork;
extern float* GateWindowRef;
extern float* GateWindowIn;
extern float* FftWorkBuffer;
extern float* MlsInIrCopy;
extern std::int32_t* MlsBitBuffer;
extern std::uint8_t* MlsCaptureBuffer;
extern std::int32_t* MlsPlaybackBuffer;
extern std::int32_t* OutputRing;
extern std::int32_t* InterleavedOutputBlock;
extern std::int32_t* RawInputBlock;
extern float* MlsFftBuffers[kMlsFftBufferCount];
extern float* EngineInputBlocks[kEngineInputBlockCount];  // zero
extern float* OutputOverlapTails[kOverlapTailCount];      // zero
extern int* FftBitReverseTable;                           // zero: ComplexFft ip
extern float* FftTwiddleTable;                            // zero: ComplexFft w
extern char (*WaveInDeviceTexts)[kDeviceTextSlot];        // 64 texts, each "***"
extern char (*WaveOutDeviceTexts)[kDeviceTextSlot];       // 64 texts, each "***"
// [line][stage], 9 lines x 8 stages, kSpectrumBlockFloats each, zero.
extern float* InputSpectrumDelayLines[kInputSpectrumLines][kInputSpectrumStages];
extern float* OutputBlocks[kOutputBlockCount];  // zero
// [output][partition], 16 x 8, kSpectrumBlockFloats each (2F complex points used), zero.
extern float* FilterSpectra[kFilterOutputs][kFilterPartitions];
extern float* FirWorkBuffer;  // zero, complex interleaved

// Allocate as above; 0 when every block was allocated, otherwise the 1-based number of the
// block that failed (blocks allocated before it stay allocated).
int AllocMainBuffers();
int AllocCurveBuffers();
int AllocDspBuffers();
// Release what the matching routine allocated and set the pointers to null; return 0.
int FreeMainBuffers();
int FreeCurveBuffers();
int FreeDspBuffers();

}  // namespace shell
