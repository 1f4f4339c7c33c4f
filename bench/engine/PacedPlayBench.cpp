// A paced play on the virtual sound card: 96 kHz, F = 2048, 16 outputs, random 8F-tap filters,
// the card's clocks moved in real time by its pacer while the UI thread also paints a window.
// Reports late blocks (processing longer than a block period; target 0), the worst block time,
// underruns and ring overflows. Usage: engine_paced_bench [seconds, default 60].
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "engine/Engine.h"
#include "engine/Globals.h"
#include "engine/Ids.h"
#include "engine/WaveDevices.h"
#include "platform/audio/VirtualCard.h"
#include "platform/gdi/Gdi.h"
#include "platform/testing/Harness.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/ComplexFft.h"
#include "shell/Globals.h"
#include "shell/ProjectImage.h"

using namespace platform;

namespace {

constexpr int kF = 2048;
std::vector<float> g_spectra;
std::vector<const float*> g_pointers;
std::int32_t g_routing[8][16];
int NoBuild() { return 0; }

LRESULT PlayerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == engine::kPlayCommand) engine::PlayCommand(hwnd);
        if (LOWORD(wParam) == engine::kStopCommand) engine::StopCommand(hwnd);
        return 0;
    case WM_TIMER:
        if (engine::PlayerTimer(hwnd, wParam)) return 0;
        break;
    case MM_WIM_DATA: engine::OnWaveInData(hwnd, wParam, lParam); return 0;
    case MM_WOM_DONE: engine::OnWaveOutDone(hwnd, wParam, lParam); return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

// A plot-like window: a few hundred lines per paint.
LRESULT CanvasProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        static int shift = 0;
        ++shift;
        for (int i = 0; i < 400; ++i) {
            MoveToEx(dc, (i * 7 + shift) % 800, 0, nullptr);
            LineTo(dc, (i * 13 + shift) % 800, 600);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    testing::StartHeadless(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    SelectAudioBackend(AudioBackend::Virtual);
    VirtualCardReset();
    shell::BlockFrames = kF;
    shell::BlockFrames2 = 2 * kF;
    shell::BlockFrames4 = 4 * kF;
    shell::Project.Settings.SampleRateIndex = 6;  // 96000
    shell::Project.Settings.VolumeSliderPosition = 51;
    shell::InputLayout = 0;
    shell::OutputLayout = 1;
    shell::PlayerDeviceWords[0] = 1;
    shell::PlayerDeviceWords[8] = 0;
    engine::InputBufferCount = 3;
    engine::OutputBufferCount = 3;

    std::mt19937 rng(5);
    std::uniform_real_distribution<float> d(-1.0f, 1.0f);
    g_spectra.assign(static_cast<std::size_t>(16 * 8) * 4 * kF, 0.0f);
    std::vector<int> ip(shell::FftWorkAreaInts(4 * kF));
    std::vector<float> w(kF);
    for (int i = 0; i < 16 * 8; ++i) {
        float* s = g_spectra.data() + static_cast<std::size_t>(i) * 4 * kF;
        for (int n = 0; n < kF; ++n) s[2 * n] = d(rng) * 0.01f;
        shell::ComplexFft(4 * kF, -1, s, ip.data(), w.data());
        g_pointers.push_back(s);
    }
    for (int o = 0; o < 16; ++o) g_routing[o % 8][o] = 1;
    engine::SetFilterSource({NoBuild, g_pointers.data(), g_routing});

    WNDCLASS wc{};
    wc.lpfnWndProc = PlayerProc;
    wc.lpszClassName = "PacedPlayer";
    RegisterClass(&wc);
    WNDCLASS cc{};
    cc.lpfnWndProc = CanvasProc;
    cc.lpszClassName = "PacedCanvas";
    cc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    RegisterClass(&cc);
    HWND dialog = CreateWindow("PacedPlayer", "Player", 0, 0, 0, 100, 100, HWND{}, HMENU{},
                               HINSTANCE{}, nullptr);
    HWND canvas = CreateWindow("PacedCanvas", "Plot", WS_VISIBLE, 0, 0, 800, 600, HWND{}, HMENU{},
                               HINSTANCE{}, nullptr);
    engine::InitPlayer(dialog);
    engine::MasterGain = 1.0f;

    std::vector<std::int32_t> noise(96000);
    std::uniform_int_distribution<int> smp(-1000000, 1000000);
    for (auto& v : noise) v = smp(rng);
    VirtualCardSetInputSignal(0, noise.data(), noise.size(), true);
    VirtualCardSetInputSignal(1, noise.data(), noise.size(), true);

    SendMessage(dialog, WM_COMMAND, engine::kPlayCommand, 0);
    testing::AdvanceTime(1600);
    if (engine::CurrentPlayState() != engine::PlayState::Playing) {
        std::printf("playback did not start\n");
        return 1;
    }
    VirtualCardStartPacer();
    const auto start = std::chrono::steady_clock::now();
    auto next_paint = start;
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(seconds) &&
           engine::CurrentPlayState() == engine::PlayState::Playing) {
        testing::PumpUntilIdle();
        const auto now = std::chrono::steady_clock::now();
        if (now >= next_paint) {
            InvalidateRect(canvas, nullptr, TRUE);
            UpdateWindow(canvas);
            next_paint = now + std::chrono::milliseconds(16);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
    VirtualCardStopPacer();
    const engine::PlayerCounters c = engine::CurrentPlayerCounters();
    const bool still_playing = engine::CurrentPlayState() == engine::PlayState::Playing;
    SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
    std::printf("Paced play, 96 kHz, F = %d (block period %.2f ms), 16 outputs, %d s:\n", kF,
                1000.0 * kF / 96000.0, seconds);
    std::printf("  blocks %lld, late blocks %lld (target 0), worst block %.2f ms\n",
                static_cast<long long>(c.blocks), static_cast<long long>(c.late_blocks),
                c.worst_block_ms);
    std::printf("  output underruns %lld, ring overflows %lld, short captures %lld%s\n",
                static_cast<long long>(c.underruns), static_cast<long long>(c.ring_overflows),
                static_cast<long long>(c.input_drops),
                still_playing ? "" : "  (playback stopped early)");
    DestroyWindow(canvas);
    DestroyWindow(dialog);
    return 0;
}
