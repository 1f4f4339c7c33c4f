// The capture processing on captures written by hand: scaling, signs, peak levels and the
// Delay Read offset, and the alignment of both impulses on the Ref peak.

#include <cmath>
#include <cstring>
#include <vector>

#include "MeasurementTestSupport.h"
#include "measurement/CaptureFile.h"
#include "measurement/MlsDeconvolution.h"
#include "measurement/MlsSequences.h"
#include "measurement/MlsSpl.h"

namespace measurement::test {
namespace {

void PutWord(int word, std::int32_t value) {
    std::memcpy(MlsCaptureCopy + 4 * static_cast<std::size_t>(word), &value, 4);
}

class MlsDeconvolutionTest : public MeasurementTest {
  protected:
    void SetUp() override {
        MeasurementTest::SetUp();
        ASSERT_TRUE(AllocMlsCaptureCopies());
        shell::Mls.MlsSampleRateIndex = 5;
    }
};

TEST_F(MlsDeconvolutionTest, SamplesAreScaledSignedAndTheInChannelReadLaterOnRequest) {
    struct Row {
        int ref_sign, in_sign, delay_read;
        const char* ms;
        int offset_words;
    } rows[] = {{1, 1, 0, "2.00", 0},   {-1, 1, 0, "2.00", 0},     {1, -1, 1, "0.5", 48},
                {1, 1, 1, "2.00", 192}, {1, 1, 1, "9999", 192000}, {1, 1, 1, "-3", 0}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.ms);
        std::memset(MlsCaptureCopy, 0, kMlsCaptureBytes);
        for (int w = 0; w < 527000; ++w) PutWord(w, (w % 1000 - 500) * 256);
        shell::MlsRefSign = r.ref_sign;
        shell::MlsDataSign = r.in_sign;
        shell::Mls.MlsDelayRead = r.delay_read;
        shell::CopyTextSlot(shell::Mls.TextA778, r.ms);
        MlsImpulseValid = 0;
        ASSERT_EQ(ProcessMlsCapture(), 0);
        for (int f : {0, 7, 1000, 263498}) {
            const float ref = static_cast<float>((2 * f) % 1000 - 500) * kMlsSampleScale;
            const int w = 2 * f + 1 + r.offset_words;
            const float in =
                w < 527000 ? static_cast<float>(w % 1000 - 500) * kMlsSampleScale : 0.0f;
            EXPECT_EQ(shell::MlsRefSamples[f], r.ref_sign * ref) << f;
            EXPECT_EQ(shell::MlsInSamples[f], r.in_sign * in) << f;
        }
        EXPECT_EQ(shell::MlsRefSamples[263499], 0.0f) << "the last frame is not used";
        EXPECT_FLOAT_EQ(MlsRefPeakLevel, 500.0f / 205.0f);
        EXPECT_EQ(std::memcmp(MlsCaptureSave, MlsCaptureCopy, kMlsCaptureBytes), 0);
    }
}

TEST_F(MlsDeconvolutionTest, ImpulsesAreAlignedOnTheRefPeak) {
    // At order 13 the sequence played once, Ref arriving 500 frames in, In 100 frames after it
    // through (0.8, -0.4), whose second tap rings on for a frame after the sequence's end.
    const int order = 13, length = 8191;
    MlsOrder = order;
    shell::Mls.MlsWindowType = 2;
    ASSERT_TRUE(BuildMlsSequence(order));
    auto s = [&](int i) {
        return i < 0 || i >= length ? 0 : MlsBit(shell::MlsBitBuffer, i) ? -1 : 1;
    };
    std::memset(MlsCaptureCopy, 0, kMlsCaptureBytes);
    for (int f = 0; f < 263499; ++f) {
        PutWord(2 * f, 10000 * s(f - 500) * 256);
        PutWord(2 * f + 1, (8000 * s(f - 600) - 4000 * s(f - 601)) * 256);
    }
    MlsImpulseValid = 1;
    ASSERT_EQ(ProcessMlsCapture(), 0);
    EXPECT_EQ(MlsRefPeak, 500);
    EXPECT_EQ(MlsInPeak, 600);
    const double unit = 2.0 / 205.0 * (length + 1.0) / length;  // per captured unit
    EXPECT_NEAR(shell::MlsRefSamples[60], 10000 * unit - 2.0 * 10000 / 205.0 / length, 1e-3);
    EXPECT_NEAR(shell::MlsInSamples[160], 8000 * unit - 2.0 * 4000 / 205.0 / length, 1e-3);
    EXPECT_NEAR(shell::MlsInSamples[161], -4000 * unit - 2.0 * 4000 / 205.0 / length, 1e-3);
    for (int i = 0; i < 50; ++i) ASSERT_EQ(shell::MlsRefSamples[i], 0.0f) << i;
    EXPECT_EQ(shell::MlsInIrCopy[160], shell::MlsInSamples[160]);
    EXPECT_EQ(shell::MeasuredCurveTable[20]->v[60], 0.01f * shell::MlsRefSamples[60]);
    EXPECT_EQ(shell::MeasuredCurveTable[20]->v[shell::kCurveVisible], 1.0f);
}

TEST_F(MlsDeconvolutionTest, SilenceLeavesNoImpulseAndCalculateSplRefuses) {
    std::memset(MlsCaptureCopy, 0, kMlsCaptureBytes);
    MlsOrder = 13;
    MlsImpulseValid = 1;
    ASSERT_EQ(ProcessMlsCapture(), 0);
    EXPECT_EQ(MlsRefPeak, 0);
    EXPECT_EQ(MlsInPeak, 0);
    EXPECT_EQ(CalculateMlsSpl(nullptr), 1);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Please Generate Impulse Response First"});
}

}  // namespace
}  // namespace measurement::test
