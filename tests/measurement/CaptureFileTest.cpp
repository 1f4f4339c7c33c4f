// The capture file: round trip, the size and index checks, and that a refused or failed file
// changes nothing.

#include <fstream>
#include <iterator>

#include "MeasurementTestSupport.h"
#include "measurement/CaptureFile.h"
#include "measurement/MlsSequences.h"

namespace measurement::test {
namespace {

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

class CaptureFileTest : public MeasurementTest {
  protected:
    void SetUp() override {
        MeasurementTest::SetUp();
        ASSERT_TRUE(AllocMlsCaptureCopies());
        for (std::size_t i = 0; i < kMlsCaptureBytes; ++i) {
            MlsCaptureSave[i] = static_cast<std::uint8_t>((i * 131 + 7) % 251);
            MlsCaptureCopy[i] = 0xAA;
        }
        shell::Mls.MlsSampleRateIndex = 4;
        shell::Mls.MlsLengthIndex = 3;
    }

    // A valid file image from the save buffer with the given index bytes.
    std::vector<std::uint8_t> Image(std::uint8_t rate, std::uint8_t rate_end, std::uint8_t length,
                                    std::uint8_t length_end) const {
        std::vector<std::uint8_t> image(kMlsCaptureFileBytes, 0);
        std::memcpy(image.data(), MlsCaptureSave, kMlsCaptureStoredBytes);
        image[kMlsRateFieldOffset] = rate;
        image[kMlsRateFieldOffset + 1] = rate_end;
        image[kMlsRateFieldOffset + 2] = image[kMlsRateFieldOffset + 3] = 0;
        image[kMlsLengthFieldOffset] = length;
        image[kMlsLengthFieldOffset + 1] = length_end;
        image[kMlsLengthFieldOffset + 2] = image[kMlsLengthFieldOffset + 3] = 0;
        return image;
    }

    // Nothing of the current capture state changed.
    void ExpectUnchanged() const {
        for (std::size_t i : {std::size_t{0}, std::size_t{1000}, kMlsCaptureBytes - 1})
            EXPECT_EQ(MlsCaptureCopy[i], 0xAA) << i;
        EXPECT_EQ(shell::Mls.MlsSampleRateIndex, 0);
        EXPECT_EQ(shell::Mls.MlsLengthIndex, 0);
        EXPECT_EQ(MlsOrder, 18);
        EXPECT_EQ(CurrentMlsOrder(), 13);
    }

    void PrepareRefusal() {
        shell::Mls.MlsSampleRateIndex = 0;
        shell::Mls.MlsLengthIndex = 0;
        MlsOrder = 18;
        ASSERT_TRUE(BuildMlsSequence(13));
        platform::testing::ClearMessageBoxLog();
    }
};

TEST_F(CaptureFileTest, SavedFileHasTheLayoutAndReadsBackTheCaptureAndIndices) {
    const std::string path = PathOf("a.res");
    ASSERT_TRUE(WriteMlsCaptureFile(nullptr, path.c_str()));
    const std::vector<std::uint8_t> file = ReadBytes(path);
    ASSERT_EQ(file.size(), 2108007u);
    EXPECT_TRUE(std::equal(file.begin(), file.begin() + 2107999, MlsCaptureSave));
    const std::vector<std::uint8_t> tail(file.begin() + 2107999, file.end());
    EXPECT_EQ(tail, (std::vector<std::uint8_t>{'4', 0, 0, 0, '3', 0, 0, 0}));

    shell::Mls.MlsSampleRateIndex = 5;
    shell::Mls.MlsLengthIndex = 5;
    ASSERT_EQ(ReadMlsCaptureFile(nullptr, path.c_str()), CaptureLoad::kLoaded);
    EXPECT_TRUE(std::equal(MlsCaptureCopy, MlsCaptureCopy + 2107999, MlsCaptureSave));
    EXPECT_EQ(MlsCaptureCopy[kMlsCaptureBytes - 1], 0) << "the byte the file does not keep";
    EXPECT_EQ(shell::Mls.MlsSampleRateIndex, 4);
    EXPECT_EQ(shell::Mls.MlsLengthIndex, 3);
    EXPECT_EQ(MlsOrder, 16);
    EXPECT_EQ(CurrentMlsOrder(), 16);
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(CaptureFileTest, WrongSizesAndBadIndexFieldsAreRefusedWithoutHarm) {
    struct Row {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<std::uint8_t> shorter = Image('4', 0, '3', 0);
    shorter.pop_back();
    std::vector<std::uint8_t> longer = Image('4', 0, '3', 0);
    longer.push_back(0);
    const Row rows[] = {
        {"one byte short", shorter},
        {"one byte long", longer},
        {"empty", {}},
        {"rate 8", Image('8', 0, '3', 0)},
        {"length 6", Image('4', 0, '6', 0)},
        {"length 9", Image('4', 0, '9', 0)},
        {"rate not a digit", Image('x', 0, '3', 0)},
        {"rate without its NUL", Image('4', '4', '3', 0)},
        {"length without its NUL", Image('4', 0, '3', '1')},
        {"length below 0", Image('4', 0, '/', 0)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        PrepareRefusal();
        const std::string path = PathOf("bad.res");
        WriteBytes(path, r.bytes);
        EXPECT_EQ(ReadMlsCaptureFile(nullptr, path.c_str()), CaptureLoad::kUnrecognized);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{"This IR File is NOT Recognized"});
        ExpectUnchanged();
    }
}

TEST_F(CaptureFileTest, MissingFileNamesItAndKeepsThePreviousCapture) {
    PrepareRefusal();
    const std::string path = PathOf("missing.res");
    EXPECT_EQ(ReadMlsCaptureFile(nullptr, path.c_str()), CaptureLoad::kOpenFailed);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{path});
    ExpectUnchanged();
}

TEST_F(CaptureFileTest, FailedWriteNamesTheFileAndLeavesNoPartialFile) {
    const std::string path = PathOf("full.res");
    shell::FileWriteFaultAfterBytes = 100000;
    EXPECT_FALSE(WriteMlsCaptureFile(nullptr, path.c_str()));
    EXPECT_EQ(MessageTexts(),
              std::vector<std::string>{
                  path + "\n\nThe capture has not been saved: the disk refused the data."});
    EXPECT_TRUE(std::filesystem::is_empty(dir_)) << "no file and no temporary left";

    // Over an existing capture: the old file stays whole.
    shell::FileWriteFaultAfterBytes = -1;
    ASSERT_TRUE(WriteMlsCaptureFile(nullptr, path.c_str()));
    const std::vector<std::uint8_t> before = ReadBytes(path);
    MlsCaptureSave[0] ^= 0xFF;
    shell::FileWriteFaultAfterBytes = 5;
    EXPECT_FALSE(WriteMlsCaptureFile(nullptr, path.c_str()));
    EXPECT_EQ(ReadBytes(path), before);

    // Settings that cannot be written as one digit are refused before anything is written.
    shell::FileWriteFaultAfterBytes = -1;
    shell::Mls.MlsSampleRateIndex = 8;
    platform::testing::ClearMessageBoxLog();
    EXPECT_FALSE(WriteMlsCaptureFile(nullptr, path.c_str()));
    EXPECT_EQ(MessageTexts().size(), 1u);
    EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(CaptureFileTest, DialogsUseTheCaptureFilterAndTheirGuards) {
    const std::string path = PathOf("dialog.res");
    // Save IR acts only after a measurement whose capture is held.
    EXPECT_EQ(SaveMlsCaptureAs(), 0);
    EXPECT_TRUE(platform::testing::FileDialogLog().empty());
    MlsImpulseValid = 1;
    ASSERT_TRUE(KeepMlsCapture());
    platform::testing::ScriptFileDialogAnswers({path});
    EXPECT_EQ(SaveMlsCaptureAs(), 1);
    ASSERT_EQ(platform::testing::FileDialogLog().size(), 1u);
    const auto& save = platform::testing::FileDialogLog()[0];
    EXPECT_TRUE(save.save);
    EXPECT_EQ(save.flags, platform::OFN_OVERWRITEPROMPT);
    ASSERT_EQ(save.filters.size(), 2u);
    EXPECT_EQ(save.filters[0], "MLS Impulse (*.RES)|*.res");
    EXPECT_EQ(save.filters[1], "All Files (*.*)|*.*");
    EXPECT_EQ(std::filesystem::file_size(path), 2108007u);

    // The busy word belongs to the road that set it (a play's is never cleared here).
    shell::AudioBusy = 1;
    platform::testing::ScriptFileDialogAnswers({""});
    EXPECT_EQ(OpenMlsCaptureFile(), CaptureLoad::kCancelled);
    EXPECT_EQ(shell::AudioBusy, 1);
    shell::AudioBusy = 0;

    shell::Mls.MlsSampleRateIndex = 0;
    platform::testing::ScriptFileDialogAnswers({path});
    EXPECT_EQ(OpenMlsCaptureFile(), CaptureLoad::kLoaded);
    EXPECT_EQ(shell::Mls.MlsSampleRateIndex, 4);
    EXPECT_EQ(platform::testing::FileDialogLog().back().flags,
              platform::OFN_HIDEREADONLY | platform::OFN_CREATEPROMPT);
}

}  // namespace
}  // namespace measurement::test
