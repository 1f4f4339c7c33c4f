// ProjectImage: the raw image of a project file (*.HIF), 23,672,888 bytes: seven channel blocks
// followed by ProjectSettings. Loading reads the file whole, checks it and unpacks it into the
// pane stores; saving packs the stores and writes the image whole, through a temporary file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/Types.h"
#include "shell/Curves.h"
#include "shell/NetworkTables.h"

namespace shell {

// The bounds of what the solver can compute. A filter section's gain (families 3..7) gives a
// finite section down to kLowestFilterGainDb (10^(gain / 40) leaves double precision near
// -12,300 dB) and up to kHighestFilterGainDb (the dialog stores at most 100). An output port's
// gain keeps 10^(gain / 20) times the largest correction (kTransferLimit) and driver response
// (1e4) a project holds within single precision up to kOutputGainLimitDb; below, it only grows
// quieter. An output port's or room EQ's delay turns into a phase within +-kDelayLimitMs
// (10 s); the solver computes no delay beyond. The element dialogs store what is typed within
// them and say so when they bound a value; a project load accepts every value within them.
inline constexpr float kLowestFilterGainDb = -10000.0f;
inline constexpr float kHighestFilterGainDb = 200.0f;
inline constexpr float kOutputGainLimitDb = 500.0f;
inline constexpr float kDelayLimitMs = 10000.0f;
// The largest part of a transfer point a project holds: a port's correction reaches 1e8 (the
// reciprocal of its -160 dB floor); a decade more leaves room for rounding.
inline constexpr float kTransferLimit = 1.0e9f;

inline constexpr std::size_t kProjectImageBytes = 23672888;
inline constexpr std::size_t kProjectChannelBytes = 3381008;
inline constexpr std::size_t kProjectSettingsOffset = 23667056;

// One channel block of the file. Member order differs from NetworkTables: pack and unpack map
// member by member.
struct ProjectChannelBlock {
    std::int32_t NodeCount;     // 0x0  WMatrixOrder of the stored network
    std::int32_t WireCount;     // 0x4
    std::int32_t ToolWord;      // 0x8  the pane's entry of PaneToolModes
    std::int32_t ElementCount;  // 0xc
    float ElementParams[kMaxElements][kElementParamCount];      // 0x10
    WireRecord Wire[kMaxWires];                                 // 0x1010
    std::int32_t SpareMatrix[32][32];                           // 0x1610
    JointPoint JointGroup[kMaxJointGroups][kJointGroupPoints];  // 0x2610
    ElementGeometryRecord ElementGeometry[kMaxElements];        // 0xa610
    ComplexCurve ElementTransfer[kMaxElements];                 // 0xb610
    ElementDriverBlock ElementDriverData[kMaxElements];         // 1,070,608
    char ElementFileTitles[kMaxElements][kFileTextSlot];        // 3,118,864
    char ElementFilePaths[kMaxElements][kFileTextSlot];         // 3,249,936
};
static_assert(offsetof(ProjectChannelBlock, WireCount) == 4);
static_assert(offsetof(ProjectChannelBlock, ToolWord) == 8);
static_assert(offsetof(ProjectChannelBlock, ElementCount) == 12);
static_assert(offsetof(ProjectChannelBlock, ElementParams) == 16);
static_assert(offsetof(ProjectChannelBlock, Wire) == 4112);
static_assert(offsetof(ProjectChannelBlock, SpareMatrix) == 5648);
static_assert(offsetof(ProjectChannelBlock, JointGroup) == 9744);
static_assert(offsetof(ProjectChannelBlock, ElementGeometry) == 42512);
static_assert(offsetof(ProjectChannelBlock, ElementTransfer) == 46608);
static_assert(offsetof(ProjectChannelBlock, ElementDriverData) == 1070608);
static_assert(offsetof(ProjectChannelBlock, ElementFileTitles) == 3118864);
static_assert(offsetof(ProjectChannelBlock, ElementFilePaths) == 3249936);
static_assert(sizeof(ProjectChannelBlock) == kProjectChannelBytes);

inline constexpr int kHotkeyTextCount = 20;
inline constexpr int kHotkeyTextSlot = 20;

// The tail of the project image. Fields marked in place are used directly inside ProjectImage;
// mirrors are copied to their variables by unpack and back by pack.
struct ProjectSettings {
    char TextArea[5228];           // 0x0000 path of the last opened project, then reserved
    std::int32_t Reserved146C[4];  // 0x146c
    std::int32_t SampleRateIndex;  // 0x147c in place: index into SampleRateNames (5 = 48000)
    std::int32_t Reserved1480;     // 0x1480
    std::int32_t
        SystemConfiguration;  // 0x1484 in place: 0 Stereo, 1 Home Theatre, 2 Quadro, 3 5.2 BBM
    std::int32_t UseHbtData;  // 0x1488 in place: check box 4900
    std::int32_t VolumeSliderPosition;   // 0x148c in place: 0..66, 51 = 0 dB
    std::int32_t Reserved1490;           // 0x1490
    std::int32_t SplOnlyEq;              // 0x1494 in place: check box 4910
    std::int32_t SubwooferMode;          // 0x1498 mirror: 0 normal, 1 BBM, 2 SUM
    std::int32_t WideWindow;             // 0x149c mirror: check box 20011
    std::int32_t InputLayout;            // 0x14a0 mirror
    std::int32_t OutputLayout;           // 0x14a4 mirror
    std::int32_t PlayerDeviceWords[16];  // 0x14a8 mirror: word 0 input device, word 8 output device
    char HotkeyOutputTexts[kHotkeyTextCount][kHotkeyTextSlot];  // 0x14e8 in place
    std::int32_t Reserved1678[10];                              // 0x1678
    float BbmLevel;                                             // 0x16a0 in place: 0.1 .. 1.0
    std::int32_t Reserved16A4[9];                               // 0x16a4
};
static_assert(offsetof(ProjectSettings, Reserved146C) == 5228);
static_assert(offsetof(ProjectSettings, SampleRateIndex) == 5244);
static_assert(offsetof(ProjectSettings, SystemConfiguration) == 5252);
static_assert(offsetof(ProjectSettings, UseHbtData) == 5256);
static_assert(offsetof(ProjectSettings, VolumeSliderPosition) == 5260);
// Volume position of new project settings (and of a damaged one), about -21 dB.
inline constexpr std::int32_t kDefaultVolumePosition = 9;
static_assert(offsetof(ProjectSettings, SplOnlyEq) == 5268);
static_assert(offsetof(ProjectSettings, SubwooferMode) == 5272);
static_assert(offsetof(ProjectSettings, WideWindow) == 5276);
static_assert(offsetof(ProjectSettings, InputLayout) == 5280);
static_assert(offsetof(ProjectSettings, OutputLayout) == 5284);
static_assert(offsetof(ProjectSettings, PlayerDeviceWords) == 5288);
static_assert(offsetof(ProjectSettings, HotkeyOutputTexts) == 5352);
static_assert(offsetof(ProjectSettings, Reserved1678) == 5752);
static_assert(offsetof(ProjectSettings, BbmLevel) == 5792);
static_assert(offsetof(ProjectSettings, Reserved16A4) == 5796);
static_assert(sizeof(ProjectSettings) == 5832);

struct ProjectImage {
    ProjectChannelBlock Channels[kPaneCount];  // channel block k = pane k+1
    ProjectSettings Settings;
};
static_assert(offsetof(ProjectImage, Settings) == kProjectSettingsOffset);
static_assert(sizeof(ProjectImage) == kProjectImageBytes);

// The one project image of the process (static; the tail holds the live project settings).
extern ProjectImage Project;

// Sample-rate names indexed by SampleRateIndex.
inline constexpr int kSampleRateCount = 8;
extern const char* const SampleRateNames[kSampleRateCount];

// Fills the ProjectSettings tail of `image` with its defaults (first 5228 bytes untouched);
// returns 0.
int InitProjectSettings(ProjectImage* image);

// Checks an image for counts and indices that could run past a table; 0 when it can be unpacked,
// otherwise a non-zero code. Reads only.
int ValidateProjectImage(const ProjectImage& image);

class ValueRepairs;

// Sound-card device words: a device number, or -1 for the system's default device.
inline constexpr std::int32_t kDeviceWordLow = -1;
inline constexpr std::int32_t kDeviceWordHigh = 255;

// The rule of the value pass, one value at a time, for writers that must save only what a load
// keeps. An element parameter is sound when it is a finite number, a filter's gain lies within
// kLowestFilterGainDb..kHighestFilterGainDb, an output port's gain at most kOutputGainLimitDb
// and its polarity +1 or -1, an output port's or room EQ's delay within +-kDelayLimitMs (`kind`
// is the element's ElementKind). Ports, nodes and the other indices into tables are checked by
// ValidateProjectImage. A transfer point is sound when both parts are finite and within
// +-kTransferLimit.
bool ElementParamSound(std::int32_t kind, int position, float value);
bool TransferPointSound(ComplexPoint point);

// The value pass of a loaded image, after ValidateProjectImage accepted its structure: every
// element parameter and transfer point that is not sound (above), every driver point and every
// setting that is not a number or out of range is replaced by its default (the defaults of a
// cleared pane store and of the project settings) and noted in `repairs`. Returns the number of
// values replaced.
int RepairProjectValues(ProjectImage& image, ValueRepairs& repairs);

// What the last LoadProjectFile replaced (empty when nothing was replaced or nothing loaded).
const ValueRepairs& LastProjectRepairs();

// Tells the user once which values of the project just loaded were replaced; nothing when none.
void ShowProjectRepairs(platform::HWND owner);

// Unpacks Project into the seven pane stores and the mirrored variables. Refuses (returns 1,
// changes nothing) an image that ValidateProjectImage rejects; terminates every text slot and
// replaces a BbmLevel below 0.1 or not finite by 0.5; returns 0 when unpacked.
int UnpackProjectImage();

// Packs the seven pane stores and the mirrored variables into Project; returns 0.
int PackProjectImage();

// Outcome of loading a project file into Project without any message.
enum class ProjectLoadStatus { kLoaded, kOpenFailed, kWrongSize, kReadFailed, kNotRecognized };

// The checks and the unpack of LoadProjectFile for an image already in memory (`size` must be
// the image's size): anything but kLoaded leaves every table unchanged.
ProjectLoadStatus LoadProjectBytes(const std::uint8_t* bytes, std::size_t size);

// Reads the file whole into a buffer of its own, checks size and content, replaces the values
// that are out of range (RepairProjectValues) and only then copies it into Project and unpacks
// it. Anything but kLoaded leaves every table unchanged.
ProjectLoadStatus LoadProjectFile(const char* path);

// The two halves of LoadProjectFile, for a caller that must know a file will load before it
// changes anything else (the profile keys stop the play only for a profile that loads).
// ReadProjectCandidate reads and checks the file as LoadProjectFile does and, on kLoaded, hands
// the checked image over in `candidate` (empty otherwise); Project and every table stay as they
// are. TakeProjectCandidate then copies such an image into Project and unpacks it.
ProjectLoadStatus ReadProjectCandidate(const char* path, std::unique_ptr<ProjectImage>& candidate);
void TakeProjectCandidate(const ProjectImage& candidate);

// Reads a project with the messages of the frame's Open Project: the path itself when it cannot
// be opened, "This Project File is NOT Recognized" for a wrong size or content, and once the
// values that were replaced. 1 when loaded.
int ReadProjectFile(platform::HWND owner, const char* path);

// Packs and saves Project to `path` through a temporary file; on any failure shows the path and
// that the project has not been saved, and why (ShowSaveFailure), keeps the previous file and
// returns 0; 1 when written.
int WriteProjectFile(platform::HWND owner, const char* path);

}  // namespace shell
