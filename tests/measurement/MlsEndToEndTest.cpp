// A whole measurement on the virtual card at order 18 and 48 kHz: the sequence is played on both
// outputs, output 0 comes back on input 0 (the reference loop) and output 1 through a known
// impulse response on input 1, each after its own latency. The deconvolved In impulse and the
// SPL and phase of Calculate SPL are compared with what the response gives analytically.

#include <cmath>
#include <complex>
#include <cstring>
#include <vector>

#include "MeasurementTestSupport.h"
#include "measurement/CaptureFile.h"
#include "measurement/MlsDeconvolution.h"
#include "measurement/MlsSequences.h"
#include "measurement/MlsSpl.h"
#include "measurement/RoomEqLocation.h"
#include "measurement/RoomEqMinimumPhase.h"
#include "platform/audio/VirtualCard.h"
#include "platform/audio/Wave.h"
#include "shell/NetworkTables.h"

namespace measurement::test {
namespace {

constexpr int kRate = 48000;
constexpr int kOrder = 18;
constexpr int kLength = (1 << kOrder) - 1;
constexpr int kRefLatency = 20;
constexpr int kInLatency = 520;
constexpr int kTaps = 3000;
constexpr int kLevel = 10;
// One turn of phase in the degrees the system computes (radians x 57.288).
constexpr double kTurn = 2.0 * M_PI * 57.288;

// The driver: a peaking section (+6 dB at 1 kHz, Q 1) followed by a one-pole low-pass at 8 kHz,
// as the first kTaps samples of its impulse response.
std::vector<double> DriverResponse() {
    const double w0 = 2.0 * M_PI * 1000.0 / kRate;
    const double a = std::pow(10.0, 6.0 / 40.0);
    const double alpha = std::sin(w0) / 2.0;
    const double b0 = 1 + alpha * a, b1 = -2 * std::cos(w0), b2 = 1 - alpha * a;
    const double a0 = 1 + alpha / a, a1 = -2 * std::cos(w0), a2 = 1 - alpha / a;
    const double pole = std::exp(-2.0 * M_PI * 8000.0 / kRate);
    std::vector<double> h(kTaps);
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0, z = 0;
    for (int n = 0; n < kTaps; ++n) {
        const double x = n == 0 ? 1.0 : 0.0;
        const double y = (b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2) / a0;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        z = (1.0 - pole) * y + pole * z;
        h[static_cast<std::size_t>(n)] = z;
    }
    return h;
}

// A second-order Butterworth high-pass at 60 Hz (bilinear transform, a0 = 1). Its coefficients
// give the true response in closed form; its impulse response, run from the difference equation
// until it has died away, is what the loop plays through.
struct Biquad {
    double b0, b1, b2, a1, a2;
};
Biquad HighPass60() {
    const double w0 = 2.0 * M_PI * 60.0 / kRate;
    const double alpha = std::sin(w0) / (2.0 * M_SQRT1_2);
    const double c = std::cos(w0), a0 = 1.0 + alpha;
    return {(1.0 + c) / 2.0 / a0, -(1.0 + c) / a0, (1.0 + c) / 2.0 / a0, -2.0 * c / a0,
            (1.0 - alpha) / a0};
}
std::complex<double> BiquadResponse(const Biquad& s, double f) {
    const std::complex<double> z = std::polar(1.0, -2.0 * M_PI * f / kRate);
    return (s.b0 + s.b1 * z + s.b2 * z * z) / (1.0 + s.a1 * z + s.a2 * z * z);
}
std::vector<double> BiquadTaps(const Biquad& s, int count) {
    std::vector<double> h(static_cast<std::size_t>(count));
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (int n = 0; n < count; ++n) {
        const double x = n == 0 ? 1.0 : 0.0;
        const double y = s.b0 * x + s.b1 * x1 + s.b2 * x2 - s.a1 * y1 - s.a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        h[static_cast<std::size_t>(n)] = y;
    }
    return h;
}

// The sound card's own filter, heard on both channels.
const std::vector<double> kInterface = {0.6, 0.3, 0.1};

std::vector<double> Convolve(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> c(a.size() + b.size() - 1, 0.0);
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t k = 0; k < b.size(); ++k) c[i + k] += a[i] * b[k];
    return c;
}

std::complex<double> Dtft(const std::vector<double>& h, double f) {
    std::complex<double> sum = 0.0;
    for (std::size_t k = 0; k < h.size(); ++k)
        sum += h[k] * std::polar(1.0, -2.0 * M_PI * f * static_cast<double>(k) / kRate);
    return sum;
}

// The level of a unit response after the deconvolution: 2 x the captured amplitude x (L + 1) / L.
double ChainGain() {
    const double amplitude = kLevel * 83386.0 / 205.0;
    return 2.0 * amplitude * (kLength + 1.0) / kLength;
}

class MlsEndToEndTest : public MeasurementTest {
  protected:
    void SetUp() override {
        MeasurementTest::SetUp();
        ASSERT_TRUE(AllocMlsCaptureCopies());
        shell::Mls.MlsSampleRateIndex = 5;
        shell::Mls.MlsOutputLevel = kLevel;
        shell::CopyTextSlot(shell::MlsOutputDelayText, "200");
        shell::Mls.MlsWindowType = 2;  // Rectangular
        // A gate of 4096 samples holds the whole response. The single-precision transform leaves
        // an error of about 3e-5 of the peak per tap, which a wider gate gathers into the
        // spectrum (0.08 dB at 30,000 samples), and the sequence's own offset of -sum(h) / L per
        // sample, gathered over the gate, raises the Ref's loudest level (the reference of the
        // correction) most at the lowest grid points: the plot range is 20 Hz .. 20 kHz.
        shell::CopyTextSlot(shell::Mls.MlsWindowWidthText, "4096");
        shell::BuildFrequencyGrids(4, 5);
        shell::Mls.MlsSmoothingIndex = 5;  // None
        UpdateSmoothingPasses();
        MlsLinPhase = 0;
        shell::Mls.MlsUseMikeCal = 0;
        shell::Mls.MlsUsePreampCal = 0;
        shell::Mls.MlsLengthIndex = kOrder - 13;  // as the acquisition page sets it
        MlsOrder = kOrder;
    }

    // One measurement: play, record, deconvolve.
    void Measure(const std::vector<double>& ref_taps, const std::vector<double>& in_taps) {
        ASSERT_TRUE(platform::VirtualCardSetLoopback(
            0, 0, ref_taps.data(), static_cast<int>(ref_taps.size()), kRefLatency));
        ASSERT_TRUE(platform::VirtualCardSetLoopback(1, 1, in_taps.data(),
                                                     static_cast<int>(in_taps.size()), kInLatency));
        PlayAndDeconvolve(kInLatency - kRefLatency);
    }

    // Plays the sequence through whatever loopback the card has, records and deconvolves; the
    // impulse view starts `lag` samples after the reference.
    void PlayAndDeconvolve(int lag) {
        ASSERT_EQ(GenerateMls32(MlsOrder, nullptr), 0);
        MlsImpulseValid = 1;
        platform::WAVEFORMATEXTENSIBLE format;
        FillMlsWaveFormat(&format, kRate);
        const auto* wave = reinterpret_cast<const platform::WAVEFORMATEX*>(&format);
        platform::HWAVEOUT out{};
        platform::HWAVEIN in{};
        ASSERT_EQ(platform::waveOutOpen(&out, 0, wave, {}, 0, platform::CALLBACK_NULL), 0u);
        ASSERT_EQ(platform::waveInOpen(&in, 0, wave, {}, 0, platform::CALLBACK_NULL), 0u);
        platform::WAVEHDR in_header{};
        in_header.lpData = reinterpret_cast<char*>(shell::MlsCaptureBuffer);
        in_header.dwBufferLength = static_cast<platform::DWORD>(kMlsCaptureBytes);
        in_header.dwLoops = 1;
        platform::WAVEHDR out_header{};
        out_header.lpData = reinterpret_cast<char*>(shell::MlsPlaybackBuffer);
        out_header.dwBufferLength =
            static_cast<platform::DWORD>(kMlsPlayedWords * sizeof(std::int32_t));
        out_header.dwLoops = 1;
        ASSERT_EQ(platform::waveInPrepareHeader(in, &in_header, sizeof(in_header)), 0u);
        ASSERT_EQ(platform::waveInAddBuffer(in, &in_header, sizeof(in_header)), 0u);
        ASSERT_EQ(platform::waveOutPrepareHeader(out, &out_header, sizeof(out_header)), 0u);
        ASSERT_EQ(platform::waveInStart(in), 0u);
        ASSERT_EQ(platform::waveOutWrite(out, &out_header, sizeof(out_header)), 0u);
        for (int step = 0; step < 100 && (in_header.dwFlags & platform::WHDR_DONE) == 0; ++step)
            platform::VirtualCardStep(4096, kRate);
        ASSERT_NE(in_header.dwFlags & platform::WHDR_DONE, 0u) << "capture never finished";
        ASSERT_EQ(in_header.dwBytesRecorded, kMlsCaptureBytes);
        ASSERT_TRUE(TakeMlsCapture(in_header.lpData, in_header.dwBytesRecorded));
        platform::waveInStop(in);
        platform::waveInReset(in);
        platform::waveInUnprepareHeader(in, &in_header, sizeof(in_header));
        platform::waveInClose(in);
        platform::waveOutReset(out);
        platform::waveOutUnprepareHeader(out, &out_header, sizeof(out_header));
        platform::waveOutClose(out);
        ASSERT_EQ(ProcessMlsCapture(), 0);
        MlsImpulseStart = 50 + lag;
    }

    // The driver's SPL and phase against 20 log10 |H| + the chain's gain and arg H, 20 Hz - 20 kHz.
    void ExpectDriverCurves(const std::vector<double>& h, double db_offset, double degree_offset,
                            double* worst_db, double* worst_degrees) {
        const double gain_db = 20.0 * std::log10(ChainGain());
        *worst_db = *worst_degrees = 0.0;
        int checked = 0;
        for (int j = 0; j < shell::kGridPoints; ++j) {
            const double f = shell::FrequencyGrid[j];
            if (f < 20.0 || f > 20000.0) continue;
            const std::complex<double> H = Dtft(h, f);
            const double db = 20.0 * std::log10(std::abs(H)) + gain_db + db_offset;
            const double degrees = std::arg(H) * 57.288 + degree_offset;
            const double e_db = std::fabs(shell::CurrentDriverRecord->Spl[j] - db);
            const double e_deg =
                std::fabs(std::remainder(shell::CurrentDriverRecord->Phase[j] - degrees, kTurn));
            *worst_db = std::max(*worst_db, e_db);
            *worst_degrees = std::max(*worst_degrees, e_deg);
            EXPECT_LE(e_db, 0.05) << f << " Hz";
            EXPECT_LE(e_deg, 0.5) << f << " Hz";
            ++checked;
        }
        EXPECT_GT(checked, 1000);
    }
};

TEST_F(MlsEndToEndTest, LoopbackThroughAKnownResponseGivesItsTapsAndItsSplAndPhase) {
    const std::vector<double> h = DriverResponse();
    Measure({1.0}, h);
    EXPECT_EQ(MlsRefPeak, 100 + kRefLatency) << "the sequence starts 100 frames in";
    std::size_t peak_tap = 0;
    for (std::size_t k = 0; k < h.size(); ++k)
        if (std::fabs(h[k]) > std::fabs(h[peak_tap])) peak_tap = k;
    EXPECT_EQ(MlsInPeak, 100 + kInLatency + static_cast<int>(peak_tap));

    // Deconvolved taps: 2 A ((L + 1) h[k] - sum h) / L from sample 60 + the latency difference.
    double sum = 0.0, largest = 0.0;
    for (double v : h) {
        sum += v;
        largest = std::max(largest, std::fabs(v));
    }
    const double amplitude = 2.0 * kLevel * 83386.0 / 205.0;
    const int first = 60 + kInLatency - kRefLatency;
    double worst = 0.0;
    for (int k = -40; k < kTaps + 100; ++k) {
        const double tap = (k >= 0 && k < kTaps) ? h[static_cast<std::size_t>(k)] : 0.0;
        const double want = amplitude * ((kLength + 1.0) * tap - sum) / kLength;
        const double got = shell::MlsInSamples[first + k];
        worst = std::max(worst, std::fabs(got - want));
    }
    const double scale = amplitude * largest;
    EXPECT_LE(worst, 0.001 * scale) << "largest tap error " << worst / scale * 100.0 << " %";
    RecordProperty("in_tap_error_percent", std::to_string(worst / scale * 100.0));
    EXPECT_NEAR(shell::MlsRefSamples[60], ChainGain() - amplitude / kLength, 0.001 * ChainGain());
    for (int i = 0; i < 2000; ++i)
        ASSERT_FLOAT_EQ(shell::MeasuredCurveTable[21]->v[i], 0.01f * shell::MlsInSamples[i]);

    ASSERT_EQ(CalculateMlsSpl(nullptr), 0);
    double worst_db = 0.0, worst_deg = 0.0;
    ExpectDriverCurves(h, 0.0, 0.0, &worst_db, &worst_deg);
    RecordProperty("spl_error_db", std::to_string(worst_db));
    RecordProperty("phase_error_degrees", std::to_string(worst_deg));
    std::printf("[ e2e ] In taps within %.4f %%, SPL within %.4f dB, phase within %.3f degrees\n",
                worst / scale * 100.0, worst_db, worst_deg);

    // A flat +3 dB / +45 degree microphone calibration is divided out.
    for (int j = 0; j < shell::kGridPoints; ++j) shell::MikeCalibrationCurve[j] = {3.0f, 45.0f};
    shell::Mls.MlsUseMikeCal = 1;
    ASSERT_EQ(CalculateMlsSpl(nullptr), 0);
    ExpectDriverCurves(h, -3.0, -45.0, &worst_db, &worst_deg);

    // The capture file keeps everything that is needed to process it again.
    shell::Mls.MlsUseMikeCal = 0;
    const std::string path = PathOf("e2e.res");
    ASSERT_TRUE(WriteMlsCaptureFile(nullptr, path.c_str()));
    const std::vector<float> in_before(shell::MlsInSamples, shell::MlsInSamples + 4000);
    std::memset(MlsCaptureCopy, 0, kMlsCaptureBytes);
    shell::Mls.MlsLengthIndex = 0;
    ASSERT_EQ(ReadMlsCaptureFile(nullptr, path.c_str()), CaptureLoad::kLoaded);
    EXPECT_EQ(MlsOrder, 18);
    ASSERT_EQ(ProcessMlsCapture(), 0);
    for (int i = 0; i < 4000; ++i)
        ASSERT_EQ(shell::MlsInSamples[i], in_before[static_cast<std::size_t>(i)]) << i;
}

TEST_F(MlsEndToEndTest, AHighPassLoopKeepsItsLowEndInTheImpulseAndTheCurves) {
    // The sequence is played once: the part of the response that rings on after its end is
    // captured after it and belongs to the start of the period.
    const Biquad hp = HighPass60();
    const std::vector<double> h = BiquadTaps(hp, 4000);
    Measure({1.0}, h);
    ASSERT_EQ(MlsInPeak, 100 + kInLatency);
    const double amplitude = 2.0 * kLevel * 83386.0 / 205.0;
    double worst = 0.0;
    for (int k = -40; k < 4100; ++k) {
        const double tap = (k >= 0 && k < 4000) ? h[static_cast<std::size_t>(k)] : 0.0;
        const double want = amplitude * (kLength + 1.0) * tap / kLength;  // the taps sum to 0
        worst = std::max(worst,
                         std::fabs(shell::MlsInSamples[60 + kInLatency - kRefLatency + k] - want));
    }
    const double error_db = 20.0 * std::log10(worst / (amplitude * h[0]));
    EXPECT_LE(error_db, -100.0) << "largest impulse error against the peak";

    // The same capture as a room-EQ location gives the same impulses.
    const std::vector<float> ref(shell::MlsRefSamples, shell::MlsRefSamples + 8000);
    const std::vector<float> in(shell::MlsInSamples, shell::MlsInSamples + 8000);
    BuildRoomEqGrids();
    float params[shell::kElementParamCount] = {};
    ASSERT_EQ(ProcessRoomEqLocation(platform::HWND{}, 0, params), LocationResult::kDone);
    for (int i = 0; i < 8000; ++i) {
        ASSERT_NEAR(shell::MlsRefSamples[i], ref[static_cast<std::size_t>(i)], 1e-6 * ref[60]) << i;
        ASSERT_NEAR(shell::MlsInSamples[i], in[static_cast<std::size_t>(i)], 1e-6 * ref[60]) << i;
    }
    ASSERT_EQ(ProcessMlsCapture(), 0);

    // Each grid point that an FFT bin reaches directly shows the response at that bin.
    ASSERT_EQ(CalculateMlsSpl(nullptr), 0);
    const double df = static_cast<double>(kRate) / (kLength + 1);
    const double gain_db = 20.0 * std::log10(ChainGain());
    double worst_db = 0.0, worst_deg = 0.0;
    int checked = 0;
    for (int j = 1; j < shell::kGridPoints; ++j) {
        const double f = shell::FrequencyGrid[j];
        const double bin = (std::ceil(f / df) - 1.0) * df;  // the highest bin below the point
        if (f < 25.0 || f > 20000.0 || !(bin >= shell::FrequencyGrid[j - 1])) continue;
        const std::complex<double> H = BiquadResponse(hp, bin);
        const double e_db = std::fabs(shell::CurrentDriverRecord->Spl[j] -
                                      (20.0 * std::log10(std::abs(H)) + gain_db));
        const double e_deg = std::fabs(
            std::remainder(shell::CurrentDriverRecord->Phase[j] - std::arg(H) * 57.288, kTurn));
        EXPECT_LE(e_db, 0.05) << f << " Hz";
        EXPECT_LE(e_deg, 0.5) << f << " Hz";
        worst_db = std::max(worst_db, e_db);
        worst_deg = std::max(worst_deg, e_deg);
        ++checked;
    }
    EXPECT_GT(checked, 1000);
    std::printf(
        "[ e2e ] 60 Hz high-pass: impulse error %.1f dB, SPL within %.4f dB, phase within "
        "%.3f degrees\n",
        error_db, worst_db, worst_deg);
}

TEST_F(MlsEndToEndTest, ReferenceCorrectionCancelsAnInterfaceFilterOnBothChannels) {
    const std::vector<double> h = DriverResponse();
    Measure(kInterface, Convolve(kInterface, h));
    ASSERT_EQ(CalculateMlsSpl(nullptr), 0);
    double worst_db = 0.0, worst_deg = 0.0;
    ExpectDriverCurves(h, 0.0, 0.0, &worst_db, &worst_deg);
    std::printf(
        "[ e2e ] with the interface filter: SPL within %.4f dB, phase within %.3f degrees\n",
        worst_db, worst_deg);
    // The correction is what brings the weaker Ref back to its loudest level.
    const int j = 1900;
    EXPECT_GT(MlsRefCorrection[j], 1.0f);
}

TEST_F(MlsEndToEndTest, InvertedReferenceWithItsSignSetGivesTheSameResult) {
    const std::vector<double> h = DriverResponse();
    Measure({1.0}, h);
    ASSERT_EQ(CalculateMlsSpl(nullptr), 0);
    const std::vector<float> spl(shell::CurrentDriverRecord->Spl,
                                 shell::CurrentDriverRecord->Spl + shell::kGridPoints);
    const std::vector<float> phase(shell::CurrentDriverRecord->Phase,
                                   shell::CurrentDriverRecord->Phase + shell::kGridPoints);
    shell::MlsRefSign = -1;
    Measure({-1.0}, h);
    ASSERT_EQ(CalculateMlsSpl(nullptr), 0);
    for (int j = 0; j < shell::kGridPoints; ++j) {
        ASSERT_NEAR(shell::CurrentDriverRecord->Spl[j], spl[static_cast<std::size_t>(j)], 1e-3)
            << j;
        ASSERT_NEAR(shell::CurrentDriverRecord->Phase[j], phase[static_cast<std::size_t>(j)], 1e-2)
            << j;
    }
    // With the sign left at +1 the inverted Ref turns the phase by 180 degrees.
    shell::MlsRefSign = 1;
    ASSERT_EQ(ProcessMlsCapture(), 0);
    ASSERT_EQ(CalculateMlsSpl(nullptr), 0);
    const int j = 1000;
    EXPECT_NEAR(std::fabs(std::remainder(shell::CurrentDriverRecord->Phase[j] - phase[j], kTurn)),
                180.0 * 57.288 / 57.29578, 0.5);
}

// The loudspeaker loopback a user can try without a sound card: the measured SPL and phase are
// the loudspeaker's own, roll-off and all.
TEST_F(MlsEndToEndTest, SpeakerLoopbackMeasuresTheLoudspeakersResponse) {
    platform::VirtualCardSetSpeakerLoopback();
    PlayAndDeconvolve(platform::kSpeakerMicrophoneLatency - platform::kSpeakerReferenceLatency);
    EXPECT_EQ(MlsRefPeak, 100 + platform::kSpeakerReferenceLatency);
    ASSERT_EQ(CalculateMlsSpl(nullptr), 0);
    // The SPL follows the response; below 300 Hz, where the roll-off is steep between the
    // transform's bins, within the spacing of those bins.
    const std::vector<double> h = platform::SpeakerLoopbackResponse();
    const double gain_db = 20.0 * std::log10(ChainGain());
    for (int j = 0; j < shell::kGridPoints; ++j) {
        const double f = shell::FrequencyGrid[j];
        if (f < 20.0 || f > 20000.0) continue;
        const double db = 20.0 * std::log10(std::abs(Dtft(h, f))) + gain_db;
        ASSERT_NEAR(shell::CurrentDriverRecord->Spl[j], db, f < 300.0 ? 1.0 : 0.06) << f << " Hz";
    }
    // What the user sees: the bass about 12 dB down an octave below the cut.
    const auto level_at = [](double hz) {
        int j = 0;
        while (j < shell::kGridPoints - 1 && shell::FrequencyGrid[j] < hz) ++j;
        return shell::CurrentDriverRecord->Spl[j];
    };
    EXPECT_NEAR(level_at(1000.0) - level_at(30.0), 12.3, 1.0);
}

}  // namespace
}  // namespace measurement::test
