#include "shell/StartupAllocation.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace shell {

DriverRecord* ScratchDriverRecord = nullptr;
ComplexPoint* FirSpectrumTables[kFirSpectrumTableCount][kFirSpectraPerTable] = {};
CurveRecord* SystemCurveTable[kSystemCurveCount] = {};
SolverMatrices* SolverMatrixTable = nullptr;
ComplexPoint* PortResponseTable[kResponsePorts] = {};
ComplexPoint* FinalResponseTable[kResponsePorts] = {};

CurveRecord* DiffractionCurveTable[kDiffractionCurveCount] = {};
CurveRecord* MeasuredCurveTable[kMeasuredCurveCount] = {};
CurveRecord* RoomEQCurves[kRoomEqCurveCount] = {};
CurveRecord* ProcessBufferTable[kProcessBufferCount] = {};
PreferencesRecord* Preferences = nullptr;
DriverRecord* CurrentDriverRecord = nullptr;
ComplexPoint* MlsRefResponse = nullptr;
ComplexPoint* MlsInResponse = nullptr;
ComplexPoint* WorkResponsePairs = nullptr;
CalibrationPoint* MikeCalibrationCurve = nullptr;
CalibrationPoint* PreampCalibrationCurve = nullptr;
BaffleRecord* Baffle = nullptr;

float* MlsRefSamples = nullptr;
float* MlsInSamples = nullptr;
std::int32_t* MlsPermutationS = nullptr;
std::int32_t* MlsPermutationL = nullptr;
float* HadamardWork = nullptr;
float* GateWindowRef = nullptr;
float* GateWindowIn = nullptr;
float* FftWorkBuffer = nullptr;
float* MlsInIrCopy = nullptr;
std::int32_t* MlsBitBuffer = nullptr;
std::uint8_t* MlsCaptureBuffer = nullptr;
std::int32_t* MlsPlaybackBuffer = nullptr;
std::int32_t* OutputRing = nullptr;
std::int32_t* InterleavedOutputBlock = nullptr;
std::int32_t* RawInputBlock = nullptr;
float* MlsFftBuffers[kMlsFftBufferCount] = {};
float* EngineInputBlocks[kEngineInputBlockCount] = {};
float* OutputOverlapTails[kOverlapTailCount] = {};
int* FftBitReverseTable = nullptr;
float* FftTwiddleTable = nullptr;
char (*WaveInDeviceTexts)[kDeviceTextSlot] = nullptr;
char (*WaveOutDeviceTexts)[kDeviceTextSlot] = nullptr;
float* InputSpectrumDelayLines[kInputSpectrumLines][kInputSpectrumStages] = {};
float* OutputBlocks[kOutputBlockCount] = {};
float* FilterSpectra[kFilterOutputs][kFilterPartitions] = {};
float* FirWorkBuffer = nullptr;

namespace {

// Counts the blocks of one routine so a failure can say which one it was.
struct Allocator {
    int count = 0;
    int failed = 0;

    template <class T>
    bool Raw(T*& target, std::size_t bytes) {
        ++count;
        if (failed != 0) return false;
        target = static_cast<T*>(std::malloc(bytes));
        if (target == nullptr) failed = count;
        return target != nullptr;
    }
    template <class T>
    bool Zero(T*& target, std::size_t bytes) {
        ++count;
        if (failed != 0) return false;
        target = static_cast<T*>(std::calloc(1, bytes));
        if (target == nullptr) failed = count;
        return target != nullptr;
    }
};

template <class T>
void Release(T*& pointer) {
    std::free(pointer);
    pointer = nullptr;
}

void FillComplex(ComplexPoint* points, std::size_t count, float re, float im) {
    for (std::size_t i = 0; i < count; ++i) points[i] = ComplexPoint{re, im};
}

template <int N>
void AllocCurveTable(Allocator& alloc, CurveRecord* (&table)[N]) {
    for (auto& record : table) alloc.Zero(record, sizeof(CurveRecord));
}

template <int N>
void FreeCurveTable(CurveRecord* (&table)[N]) {
    for (auto& record : table) Release(record);
}

}  // namespace

int AllocMainBuffers() {
    Allocator alloc;
    alloc.Raw(ScratchDriverRecord, sizeof(DriverRecord));
    constexpr std::size_t kSpectrumBytes = sizeof(ComplexPoint) * kFirSpectrumPoints;
    for (int table : {0, 2, 1, 3}) {
        for (auto& spectrum : FirSpectrumTables[table]) {
            if (alloc.Zero(spectrum, kSpectrumBytes) && (table == 1 || table == 3)) {
                FillComplex(spectrum, kFirSpectrumPoints, 1e-7f, 0.0f);
            }
        }
    }
    AllocCurveTable(alloc, SystemCurveTable);
    alloc.Raw(SolverMatrixTable, sizeof(SolverMatrices));
    for (auto& port : PortResponseTable) alloc.Zero(port, sizeof(ComplexPoint) * kResponsePoints);
    for (auto& port : FinalResponseTable) alloc.Zero(port, sizeof(ComplexPoint) * kResponsePoints);
    return alloc.failed;
}

int AllocCurveBuffers() {
    Allocator alloc;
    AllocCurveTable(alloc, DiffractionCurveTable);
    AllocCurveTable(alloc, MeasuredCurveTable);
    AllocCurveTable(alloc, RoomEQCurves);
    AllocCurveTable(alloc, ProcessBufferTable);
    if (alloc.failed == 0) {
        // Records 0, 2, ..., 10: flat 1.0 in white; the process buffers start as 1 + 0j.
        for (int r = 0; r <= 10; r += 2) {
            float* v = ProcessBufferTable[r]->v;
            for (int k = 0; k < kGridPoints; ++k) v[k] = 1.0f;
            v[kCurvePenRed] = v[kCurvePenGreen] = v[kCurvePenBlue] = 255.0f;
        }
    }
    alloc.Raw(Preferences, sizeof(PreferencesRecord));
    alloc.Raw(CurrentDriverRecord, sizeof(DriverRecord));
    alloc.Raw(MlsRefResponse, sizeof(ComplexPoint) * kGridPoints);
    if (alloc.Raw(MlsInResponse, sizeof(ComplexPoint) * kGridPoints)) {
        FillComplex(MlsInResponse, kGridPoints, 1.0f, 0.0f);
    }
    alloc.Raw(WorkResponsePairs, sizeof(ComplexPoint) * kGridPoints);
    alloc.Zero(MikeCalibrationCurve, sizeof(CalibrationPoint) * kGridPoints);
    alloc.Zero(PreampCalibrationCurve, sizeof(CalibrationPoint) * kGridPoints);
    alloc.Raw(Baffle, sizeof(BaffleRecord));
    return alloc.failed;
}

int AllocDspBuffers() {
    Allocator alloc;
    alloc.Raw(MlsRefSamples, kMlsSampleBytes);
    alloc.Raw(MlsInSamples, kMlsSampleBytes);
    alloc.Raw(MlsPermutationS, kMlsPermutationBytes);
    alloc.Raw(MlsPermutationL, kMlsPermutationBytes);
    alloc.Raw(HadamardWork, kHadamardWorkBytes);
    alloc.Raw(GateWindowRef, kGateWindowBytes);
    alloc.Raw(GateWindowIn, kGateWindowBytes);
    alloc.Raw(FftWorkBuffer, kFftWorkBufferBytes);
    alloc.Raw(MlsInIrCopy, kMlsInIrCopyBytes);
    alloc.Raw(MlsBitBuffer, kMlsBitBufferBytes);
    alloc.Raw(MlsCaptureBuffer, kMlsCaptureBufferBytes);
    alloc.Raw(MlsPlaybackBuffer, kMlsPlaybackBufferBytes);
    alloc.Raw(OutputRing, kOutputRingBytes);
    alloc.Raw(InterleavedOutputBlock, kInterleavedOutputBlockBytes);
    alloc.Raw(RawInputBlock, kRawInputBlockBytes);
    for (auto& buffer : MlsFftBuffers) alloc.Raw(buffer, kMlsFftBufferBytes);
    for (auto& block : EngineInputBlocks)
        alloc.Zero(block, sizeof(float) * kEngineInputBlockFloats);
    for (auto& tail : OutputOverlapTails) alloc.Zero(tail, sizeof(float) * kOverlapTailFloats);
    alloc.Zero(FftBitReverseTable, sizeof(int) * kFftTableEntries);
    alloc.Zero(FftTwiddleTable, sizeof(float) * kFftTableEntries);
    if (alloc.Raw(WaveInDeviceTexts, sizeof(char) * kDeviceTextCount * kDeviceTextSlot)) {
        for (int i = 0; i < kDeviceTextCount; ++i) std::strcpy(WaveInDeviceTexts[i], "***");
    }
    if (alloc.Raw(WaveOutDeviceTexts, sizeof(char) * kDeviceTextCount * kDeviceTextSlot)) {
        for (int i = 0; i < kDeviceTextCount; ++i) std::strcpy(WaveOutDeviceTexts[i], "***");
    }
    for (auto& line : InputSpectrumDelayLines) {
        for (auto& stage : line) alloc.Zero(stage, sizeof(float) * kSpectrumBlockFloats);
    }
    for (auto& block : OutputBlocks) alloc.Zero(block, sizeof(float) * kSpectrumBlockFloats);
    for (auto& output : FilterSpectra) {
        for (auto& partition : output) alloc.Zero(partition, sizeof(float) * kSpectrumBlockFloats);
    }
    alloc.Zero(FirWorkBuffer, sizeof(float) * kFirWorkBufferFloats);
    return alloc.failed;
}

int FreeMainBuffers() {
    Release(ScratchDriverRecord);
    for (auto& table : FirSpectrumTables) {
        for (auto& spectrum : table) Release(spectrum);
    }
    FreeCurveTable(SystemCurveTable);
    Release(SolverMatrixTable);
    for (auto& port : PortResponseTable) Release(port);
    for (auto& port : FinalResponseTable) Release(port);
    return 0;
}

int FreeCurveBuffers() {
    FreeCurveTable(DiffractionCurveTable);
    FreeCurveTable(MeasuredCurveTable);
    FreeCurveTable(RoomEQCurves);
    FreeCurveTable(ProcessBufferTable);
    Release(Preferences);
    Release(CurrentDriverRecord);
    Release(MlsRefResponse);
    Release(MlsInResponse);
    Release(WorkResponsePairs);
    Release(MikeCalibrationCurve);
    Release(PreampCalibrationCurve);
    Release(Baffle);
    return 0;
}

int FreeDspBuffers() {
    Release(MlsRefSamples);
    Release(MlsInSamples);
    Release(MlsPermutationS);
    Release(MlsPermutationL);
    Release(HadamardWork);
    Release(GateWindowRef);
    Release(GateWindowIn);
    Release(FftWorkBuffer);
    Release(MlsInIrCopy);
    Release(MlsBitBuffer);
    Release(MlsCaptureBuffer);
    Release(MlsPlaybackBuffer);
    Release(OutputRing);
    Release(InterleavedOutputBlock);
    Release(RawInputBlock);
    for (auto& buffer : MlsFftBuffers) Release(buffer);
    for (auto& block : EngineInputBlocks) Release(block);
    for (auto& tail : OutputOverlapTails) Release(tail);
    Release(FftBitReverseTable);
    Release(FftTwiddleTable);
    Release(WaveInDeviceTexts);
    Release(WaveOutDeviceTexts);
    for (auto& line : InputSpectrumDelayLines) {
        for (auto& stage : line) Release(stage);
    }
    for (auto& block : OutputBlocks) Release(block);
    for (auto& output : FilterSpectra) {
        for (auto& partition : output) Release(partition);
    }
    Release(FirWorkBuffer);
    return 0;
}

}  // namespace shell
