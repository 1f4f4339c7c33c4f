// Every test executable sets up its own environment, whatever its caller's: Qt's offscreen
// platform, the virtual sound card, and a home of its own in a fresh temporary folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/audio/VirtualCard.h"

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

TEST(TestEnvironment, OffscreenVirtualCardAndATemporaryHome) {
    EXPECT_EQ(Variable("QT_QPA_PLATFORM"), "offscreen");
    EXPECT_EQ(Variable("QV_VIRTUAL_AUDIO"), "1");
    EXPECT_EQ(platform::SelectedAudioBackend(), platform::AudioBackend::Virtual);
    const std::filesystem::path home = Variable("HOME");
    EXPECT_NE(home.filename().string().find("qv_test_home_"), std::string::npos) << home;
    EXPECT_TRUE(std::filesystem::is_directory(home)) << home;
    for (const char* name :
         {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        const std::filesystem::path folder = Variable(name);
        EXPECT_EQ(folder.parent_path(), home) << name;
        EXPECT_TRUE(std::filesystem::is_directory(folder)) << name;
    }
}

}  // namespace
