#include "shell/ProjectImage.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "platform/ui/MessageBox.h"
#include "shell/FileIo.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"

namespace shell {

// Static: the image is 23.7 MB and lives for the whole run.
ProjectImage Project;

const char* const SampleRateNames[kSampleRateCount] = {"11025", "12000", "22050", "24000",
                                                       "44100", "48000", "96000", "192000"};

namespace {

constexpr const char* kCaption = "QV Message";
constexpr const char* kNotRecognized = "This Project File is NOT Recognized";

bool InRange(std::int32_t value, std::int32_t low, std::int32_t high) {
    return value >= low && value <= high;
}

// A float parameter that the solver truncates and uses as a port or node index.
bool IndexParamValid(float value, float low, float high) {
    return std::isfinite(value) && value >= low && value <= high;
}

int ValidateChannel(const ProjectChannelBlock& c) {
    if (!InRange(c.NodeCount, 0, kMaxJointGroups)) return 1;
    if (!InRange(c.WireCount, 0, kMaxWires)) return 2;
    if (!InRange(c.ElementCount, 0, kMaxElements)) return 3;
    if (!InRange(c.ToolWord, 0, 8)) return 4;
    // Every slot, used or not: scans walk the kinds up to the first empty slot.
    for (int e = 0; e < kMaxElements; ++e) {
        const ElementGeometryRecord& g = c.ElementGeometry[e];
        if (!InRange(g.kind, kElementEmpty, kElementRoomEq)) return 5;
        if (g.kind == kElementEmpty) continue;
        if (!InRange(g.node1, -1, kMaxJointGroups - 1)) return 6;
        if (!InRange(g.node2, -1, kMaxJointGroups - 1)) return 6;
        const float* p = c.ElementParams[e];
        switch (g.kind) {
            case kElementInputNode:
                if (!IndexParamValid(p[kParamInputPort], 0.0f, 8.999f)) return 7;
                if (!IndexParamValid(p[kParamInputNodeNumber], -1.0f, 63.999f)) return 7;
                break;
            case kElementOutputPort:
                if (!IndexParamValid(p[kParamOutputPort], 0.0f, 16.999f)) return 8;
                if (!IndexParamValid(p[kParamHotNode], -1.0f, 63.999f)) return 8;
                break;
            case kElementRoomEq:
                if (!IndexParamValid(p[kParamCorrectionPort], 0.0f, 16.999f)) return 9;
                break;
            default:
                break;
        }
    }
    return 0;
}

void TerminateChannelTexts(ProjectChannelBlock& c) {
    for (auto& title : c.ElementFileTitles) TerminateTextSlot(title);
    for (auto& path : c.ElementFilePaths) TerminateTextSlot(path);
}

void TerminateSettingsTexts(ProjectSettings& s) {
    TerminateTextSlot(s.TextArea);
    for (auto& text : s.HotkeyOutputTexts) TerminateTextSlot(text);
}

void UnpackChannel(const ProjectChannelBlock& c, PaneStore& store, std::int32_t& tool_word) {
    store.WMatrixOrder = c.NodeCount;
    store.WireCount = c.WireCount;
    tool_word = c.ToolWord;  // the store's own ToolMode is left as it was
    store.ElementCount = c.ElementCount;
    CopyNetworkArrays(store, c);
}

void PackChannel(const PaneStore& store, std::int32_t tool_word, ProjectChannelBlock& c) {
    c.NodeCount = store.WMatrixOrder;
    c.WireCount = store.WireCount;
    c.ToolWord = tool_word;
    c.ElementCount = store.ElementCount;
    CopyNetworkArrays(c, store);
}

}  // namespace

int InitProjectSettings(ProjectImage* image) {
    if (image == nullptr) return 0;
    ProjectSettings& s = image->Settings;
    std::memset(s.Reserved146C, 0, sizeof s.Reserved146C);
    s.SampleRateIndex = 5;  // "48000"
    s.Reserved1480 = 0;
    s.SystemConfiguration = 0;
    s.UseHbtData = 1;
    s.VolumeSliderPosition = 9;
    s.Reserved1490 = 0;
    s.SplOnlyEq = 0;
    s.SubwooferMode = SubwooferMode;
    s.WideWindow = WideWindow;
    s.InputLayout = InputLayout;
    s.OutputLayout = OutputLayout;
    std::memcpy(s.PlayerDeviceWords, PlayerDeviceWords, sizeof s.PlayerDeviceWords);
    static constexpr const char* kHotkeyDefaults[kHotkeyTextCount] = {
        "3", "4", "5", "6", "0", "0", "0", "0", "0", "0",
        "1", "2", "0", "0", "0", "0", "0", "0", "0", "0"};
    std::memset(s.HotkeyOutputTexts, 0, sizeof s.HotkeyOutputTexts);
    for (int i = 0; i < kHotkeyTextCount; ++i)
        CopyTextSlot(s.HotkeyOutputTexts[i], kHotkeyDefaults[i]);
    std::memset(s.Reserved1678, 0, sizeof s.Reserved1678);
    s.BbmLevel = 0.5f;
    std::memset(s.Reserved16A4, 0, sizeof s.Reserved16A4);
    return 0;
}

int ValidateProjectImage(const ProjectImage& image) {
    for (const auto& channel : image.Channels) {
        const int code = ValidateChannel(channel);
        if (code != 0) return code;
    }
    return 0;
}

int UnpackProjectImage() {
    if (ValidateProjectImage(Project) != 0) return 1;
    for (int k = 0; k < kPaneCount; ++k) {
        TerminateChannelTexts(Project.Channels[k]);
        UnpackChannel(Project.Channels[k], PaneStores[k], PaneToolModes[k]);
    }
    ProjectSettings& s = Project.Settings;
    TerminateSettingsTexts(s);
    SubwooferMode = s.SubwooferMode;
    OutputLayout = s.OutputLayout;
    InputLayout = s.InputLayout;
    WideWindow = s.WideWindow;
    std::memcpy(PlayerDeviceWords, s.PlayerDeviceWords, sizeof PlayerDeviceWords);
    // Below 0.1 and anything that is not a finite number mean "not set": the default level.
    if (!std::isfinite(s.BbmLevel) || s.BbmLevel < 0.1f) s.BbmLevel = 0.5f;
    return 0;
}

int PackProjectImage() {
    for (int k = 0; k < kPaneCount; ++k) {
        PackChannel(PaneStores[k], PaneToolModes[k], Project.Channels[k]);
    }
    ProjectSettings& s = Project.Settings;
    s.SubwooferMode = SubwooferMode;
    s.OutputLayout = OutputLayout;
    s.InputLayout = InputLayout;
    s.WideWindow = WideWindow;
    std::memcpy(s.PlayerDeviceWords, PlayerDeviceWords, sizeof s.PlayerDeviceWords);
    return 0;
}

ProjectLoadStatus LoadProjectFile(const char* path) {
    const std::int64_t length = FileLength(path);
    if (length < 0) return ProjectLoadStatus::kOpenFailed;
    if (static_cast<std::uint64_t>(length) != kProjectImageBytes) {
        return ProjectLoadStatus::kWrongSize;
    }
    // Read into a buffer of its own: the live image changes only once the file has been checked.
    std::vector<std::uint8_t> bytes;
    switch (ReadFileExact(path, kProjectImageBytes, bytes)) {
        case FileStatus::kOk:
            break;
        case FileStatus::kOpenFailed:
            return ProjectLoadStatus::kOpenFailed;
        case FileStatus::kWrongSize:
            return ProjectLoadStatus::kWrongSize;
        default:
            return ProjectLoadStatus::kReadFailed;
    }
    std::unique_ptr<ProjectImage> candidate(new (std::nothrow) ProjectImage);
    if (!candidate) return ProjectLoadStatus::kReadFailed;
    std::memcpy(candidate.get(), bytes.data(), kProjectImageBytes);
    bytes.clear();
    bytes.shrink_to_fit();
    if (ValidateProjectImage(*candidate) != 0) return ProjectLoadStatus::kNotRecognized;
    std::memcpy(&Project, candidate.get(), kProjectImageBytes);
    UnpackProjectImage();
    return ProjectLoadStatus::kLoaded;
}

int ReadProjectFile(platform::HWND owner, const char* path) {
    switch (LoadProjectFile(path)) {
        case ProjectLoadStatus::kLoaded:
            return 1;
        case ProjectLoadStatus::kOpenFailed:
            platform::MessageBox(owner, path != nullptr ? path : "", kCaption,
                                 platform::MB_OK | platform::MB_ICONEXCLAMATION);
            return 0;
        default:
            platform::MessageBox(owner, kNotRecognized, kCaption,
                                 platform::MB_OK | platform::MB_ICONEXCLAMATION);
            return 0;
    }
}

int WriteProjectFile(platform::HWND owner, const char* path) {
    PackProjectImage();
    if (WriteFileAtomic(path, &Project, kProjectImageBytes) != FileStatus::kOk) {
        platform::MessageBox(owner, path != nullptr ? path : "", kCaption,
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return 0;
    }
    return 1;
}

}  // namespace shell
