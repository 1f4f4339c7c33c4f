#include "shell/ProjectImage.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/ui/MessageBox.h"
#include "shell/DriverRecord.h"
#include "shell/FileIo.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/ValueRepairs.h"

namespace shell {

// Static: the image is 23.7 MB and lives for the whole run.
ProjectImage Project;

const char* const SampleRateNames[kSampleRateCount] = {"11025", "12000", "22050", "24000",
                                                       "44100", "48000", "96000", "192000"};

namespace {

constexpr const char* kCaption = "QV Message";
constexpr const char* kNotRecognized = "This Project File is NOT Recognized";
constexpr const char* kUnreadableImage =
    "its network holds values the program could not read back (elements, wires or nodes)";
constexpr const char* kRepairedHeading =
    "Some values of this project were out of range or not numbers and have been replaced by "
    "their defaults:\n";

ValueRepairs g_last_repairs;

bool InRange(std::int32_t value, std::int32_t low, std::int32_t high) {
    return value >= low && value <= high;
}

// A float parameter that the solver truncates and uses as a port or node index.
bool IndexParamValid(float value, float low, float high) {
    return std::isfinite(value) && value >= low && value <= high;
}

// Coordinates are pane pixels; anything beyond this is no position a pane can show, and sums
// such as x + 40 stay far from overflowing.
constexpr std::int32_t kCoordinateLimit = 1000000;

bool PointValid(std::int32_t x, std::int32_t y) {
    return InRange(x, -kCoordinateLimit, kCoordinateLimit) &&
           InRange(y, -kCoordinateLimit, kCoordinateLimit);
}

int ValidateCoordinates(const ProjectChannelBlock& c) {
    for (const ElementGeometryRecord& g : c.ElementGeometry) {
        if (!PointValid(g.x1, g.y1) || !PointValid(g.x2, g.y2) || !PointValid(g.x3, g.y3)) {
            return 10;
        }
    }
    for (const WireRecord& w : c.Wire) {
        if (!PointValid(w.x1, w.y1) || !PointValid(w.x2, w.y2)) return 11;
    }
    for (const auto& group : c.JointGroup) {
        for (const JointPoint& point : group) {
            if (!PointValid(point.x, point.y)) return 12;
        }
    }
    return 0;
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
    return ValidateCoordinates(c);
}

const char* const kChannelNames[kPaneCount] = {
    "Front Left", "Center", "Front Right", "Rear Left", "Subwoofer 1", "Rear Right", "Subwoofer 2"};

float ClearedParamDefault(int position) {
    switch (position) {
        case kParamF1:
            return 100.0f;
        case kParamF2:
            return 10000.0f;
        case kParamFo:
            return 1000.0f;
        case kParamPlotFlag:
        case kParamPolarity:
            return 1.0f;
        default:
            return 0.0f;
    }
}

class ChannelRepair {
  public:
    ChannelRepair(int k, ValueRepairs& repairs) : k_(k), repairs_(repairs) {}

    void Note(int element, const char* what) { repairs_.Note(Owner(element) + ": " + what); }
    std::string Owner(int element) const {
        return std::string(kChannelNames[k_]) + ", element " + std::to_string(element + 1);
    }
    ValueRepairs& Repairs() { return repairs_; }

  private:
    int k_;
    ValueRepairs& repairs_;
};

const char* ParamName(std::int32_t kind, int position) {
    if (kind == kElementOutputPort && position == kParamOutputGain) return "output gain";
    if (kind == kElementOutputPort && position == kParamPolarity) return "polarity";
    if (kind == kElementFilter && position == kParamGain) return "gain";
    if (kind == kElementFilter && position == kParamFo) return "frequency Fo";
    if (position == kParamDelay && (kind == kElementOutputPort || kind == kElementRoomEq)) {
        return "delay";
    }
    return "parameter";
}

void RepairParams(ProjectChannelBlock& c, int e, ChannelRepair& fix) {
    float* p = c.ElementParams[e];
    const std::int32_t kind = c.ElementGeometry[e].kind;
    for (int i = 0; i < kElementParamCount; ++i) {
        if (ElementParamSound(kind, i, p[i])) continue;
        p[i] = ClearedParamDefault(i);
        fix.Note(e, ParamName(kind, i));
    }
}

void RepairCurves(ProjectChannelBlock& c, int e, ChannelRepair& fix) {
    for (ComplexPoint& point : c.ElementTransfer[e]) {
        if (TransferPointSound(point)) continue;
        point = {1.0f, 0.0f};
        fix.Note(e, "transfer curve");
    }
    RepairDriverData(c.ElementDriverData[e], fix.Owner(e), fix.Repairs());
}

// A remote-control output text: terminated in its slot, printable, and no run of digits long
// enough to overflow when it is converted.
bool HotkeyTextValid(const char (&text)[kHotkeyTextSlot]) {
    int digits = 0;
    for (std::size_t i = 0; i < kHotkeyTextSlot; ++i) {
        const char c = text[i];
        if (c == '\0') return true;
        if (c < 0x20 || c > 0x7e) return false;
        digits = (c >= '0' && c <= '9') ? digits + 1 : 0;
        if (digits > 9) return false;
    }
    return false;
}

constexpr const char* kHotkeyDefaults[kHotkeyTextCount] = {"3", "4", "5", "6", "0", "0", "0",
                                                           "0", "0", "0", "1", "2", "0", "0",
                                                           "0", "0", "0", "0", "0", "0"};

void RepairWord(std::int32_t& value, std::int32_t low, std::int32_t high, std::int32_t fallback,
                const char* what, ValueRepairs& repairs) {
    if (InRange(value, low, high)) return;
    value = fallback;
    repairs.Note(what);
}

void RepairSettings(ProjectSettings& s, ValueRepairs& repairs) {
    RepairWord(s.SampleRateIndex, 0, kSampleRateCount - 1, 5, "sample rate", repairs);
    RepairWord(s.SystemConfiguration, 0, 3, 0, "system configuration", repairs);
    RepairWord(s.UseHbtData, 0, 1, 1, "Use HBT Data", repairs);
    RepairWord(s.VolumeSliderPosition, 0, 66, kDefaultVolumePosition, "volume", repairs);
    RepairWord(s.SplOnlyEq, 0, 1, 0, "SPL Only EQ", repairs);
    RepairWord(s.SubwooferMode, 0, 2, 0, "subwoofer mode", repairs);
    RepairWord(s.WideWindow, 0, 1, 0, "Wide Window", repairs);
    RepairWord(s.InputLayout, 0, 2, 0, "input layout", repairs);
    RepairWord(s.OutputLayout, 0, 2, 1, "output layout", repairs);
    for (std::int32_t& word : s.PlayerDeviceWords) {
        RepairWord(word, kDeviceWordLow, kDeviceWordHigh, 0, "sound device", repairs);
    }
    for (int i = 0; i < kHotkeyTextCount; ++i) {
        if (HotkeyTextValid(s.HotkeyOutputTexts[i])) continue;
        std::memset(s.HotkeyOutputTexts[i], 0, kHotkeyTextSlot);
        CopyTextSlot(s.HotkeyOutputTexts[i], kHotkeyDefaults[i]);
        repairs.Note("remote-control output");
    }
    // Below 0.1 means "not set"; above 1.0 or not a number is no level the program offers.
    if (!(s.BbmLevel >= 0.1f && s.BbmLevel <= 1.0f)) {
        if (!(s.BbmLevel < 0.1f)) repairs.Note("BBM level");
        s.BbmLevel = 0.5f;
    }
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
    s.VolumeSliderPosition = kDefaultVolumePosition;
    s.Reserved1490 = 0;
    s.SplOnlyEq = 0;
    s.SubwooferMode = SubwooferMode;
    s.WideWindow = WideWindow;
    s.InputLayout = InputLayout;
    s.OutputLayout = OutputLayout;
    std::memcpy(s.PlayerDeviceWords, PlayerDeviceWords, sizeof s.PlayerDeviceWords);
    std::memset(s.HotkeyOutputTexts, 0, sizeof s.HotkeyOutputTexts);
    for (int i = 0; i < kHotkeyTextCount; ++i)
        CopyTextSlot(s.HotkeyOutputTexts[i], kHotkeyDefaults[i]);
    std::memset(s.Reserved1678, 0, sizeof s.Reserved1678);
    s.BbmLevel = 0.5f;
    std::memset(s.Reserved16A4, 0, sizeof s.Reserved16A4);
    return 0;
}

bool ElementParamSound(std::int32_t kind, int position, float value) {
    if (!std::isfinite(value)) return false;
    if (kind == kElementFilter && position == kParamGain) {
        return value >= kLowestFilterGainDb && value <= kHighestFilterGainDb;
    }
    if (kind == kElementOutputPort && position == kParamOutputGain) {
        return value <= kOutputGainLimitDb;
    }
    if (kind == kElementOutputPort && position == kParamPolarity) {
        return value == 1.0f || value == -1.0f;
    }
    if (position == kParamDelay && (kind == kElementOutputPort || kind == kElementRoomEq)) {
        return value >= -kDelayLimitMs && value <= kDelayLimitMs;
    }
    return true;
}

bool TransferPointSound(ComplexPoint point) {
    return std::fabs(point.re) <= kTransferLimit && std::fabs(point.im) <= kTransferLimit;
}

int ValidateProjectImage(const ProjectImage& image) {
    for (const auto& channel : image.Channels) {
        const int code = ValidateChannel(channel);
        if (code != 0) return code;
    }
    return 0;
}

int RepairProjectValues(ProjectImage& image, ValueRepairs& repairs) {
    for (int k = 0; k < kPaneCount; ++k) {
        ChannelRepair fix(k, repairs);
        ProjectChannelBlock& c = image.Channels[k];
        for (int e = 0; e < kMaxElements; ++e) {
            RepairParams(c, e, fix);
            RepairCurves(c, e, fix);
        }
    }
    RepairSettings(image.Settings, repairs);
    return repairs.Count();
}

const ValueRepairs& LastProjectRepairs() { return g_last_repairs; }

void ShowProjectRepairs(platform::HWND owner) {
    if (g_last_repairs.Empty()) return;
    const std::string text = g_last_repairs.Text(kRepairedHeading);
    platform::MessageBox(owner, text.c_str(), kCaption,
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
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

namespace {

// Checks an image in memory into a candidate of its own and replaces its values that are out of
// range; Project and every table stay as they are.
ProjectLoadStatus CheckProjectBytes(const std::uint8_t* bytes, std::size_t size,
                                    std::unique_ptr<ProjectImage>& candidate) {
    candidate.reset();
    g_last_repairs.Clear();
    if (bytes == nullptr || size != kProjectImageBytes) return ProjectLoadStatus::kWrongSize;
    std::unique_ptr<ProjectImage> image(new (std::nothrow) ProjectImage);
    if (!image) return ProjectLoadStatus::kReadFailed;
    std::memcpy(image.get(), bytes, kProjectImageBytes);
    if (ValidateProjectImage(*image) != 0) return ProjectLoadStatus::kNotRecognized;
    ValueRepairs repairs;
    RepairProjectValues(*image, repairs);
    g_last_repairs = repairs;
    candidate = std::move(image);
    return ProjectLoadStatus::kLoaded;
}

}  // namespace

ProjectLoadStatus LoadProjectBytes(const std::uint8_t* bytes, std::size_t size) {
    // A copy of its own: the live image changes only once the copy has been checked.
    std::unique_ptr<ProjectImage> candidate;
    const ProjectLoadStatus status = CheckProjectBytes(bytes, size, candidate);
    if (status == ProjectLoadStatus::kLoaded) TakeProjectCandidate(*candidate);
    return status;
}

ProjectLoadStatus ReadProjectCandidate(const char* path, std::unique_ptr<ProjectImage>& candidate) {
    candidate.reset();
    g_last_repairs.Clear();
    const std::int64_t length = FileLength(path);
    if (length < 0) return ProjectLoadStatus::kOpenFailed;
    if (static_cast<std::uint64_t>(length) != kProjectImageBytes) {
        return ProjectLoadStatus::kWrongSize;
    }
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
    return CheckProjectBytes(bytes.data(), bytes.size(), candidate);
}

void TakeProjectCandidate(const ProjectImage& candidate) {
    std::memcpy(&Project, &candidate, kProjectImageBytes);
    UnpackProjectImage();
}

ProjectLoadStatus LoadProjectFile(const char* path) {
    std::unique_ptr<ProjectImage> candidate;
    const ProjectLoadStatus status = ReadProjectCandidate(path, candidate);
    if (status == ProjectLoadStatus::kLoaded) TakeProjectCandidate(*candidate);
    return status;
}

int ReadProjectFile(platform::HWND owner, const char* path) {
    switch (LoadProjectFile(path)) {
        case ProjectLoadStatus::kLoaded:
            ShowProjectRepairs(owner);
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
    // An image the reader would not recognise is not written over the file it would replace.
    if (ValidateProjectImage(Project) != 0) {
        ShowSaveFailure(owner, path, "project", kUnreadableImage);
        return 0;
    }
    if (WriteFileAtomic(path, &Project, kProjectImageBytes) != FileStatus::kOk) {
        // The path, then that the project was not saved and why.
        ShowSaveFailure(owner, path, "project");
        return 0;
    }
    return 1;
}

}  // namespace shell
