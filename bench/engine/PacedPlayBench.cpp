// A paced play on the virtual sound card: 96 kHz, F = 2048, 16 outputs, random 8F-tap filters,
// the card's clocks moved in real time by its pacer while the UI thread also paints a window.
// Runs twice in one invocation: without load, then with a CPU load the bench starts itself
// (2 x nproc busy child processes at normal priority, killed and reaped at the end, also when the
// bench ends early). Reports for each: late blocks (processing longer than a block period), the
// worst block time, underruns and ring overflows (and of those the card's own xruns), and which
// of the process's threads ran at real-time priority. Usage: engine_paced_bench [seconds per run,
// default 60].
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/Engine.h"
#include "engine/Globals.h"
#include "engine/Ids.h"
#include "engine/WaveDevices.h"
#include "engine/Workers.h"
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
        case MM_WIM_DATA:
            engine::OnWaveInData(hwnd, wParam, lParam);
            return 0;
        case MM_WOM_DONE:
            engine::OnWaveOutDone(hwnd, wParam, lParam);
            return 0;
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

// ---- The CPU load: busy child processes at normal priority ----------------------------------

// A fixed table, so that the signal handler reads nothing a push could be moving.
constexpr int kMaxLoad = 256;
pid_t g_load[kMaxLoad];
volatile sig_atomic_t g_load_count = 0;
volatile float g_load_sink;  // keeps the children's math from being optimised away

// Kills and reaps every child; async-signal-safe, so the signal handler uses it too.
void StopLoad() {
    const int count = g_load_count;
    for (int i = 0; i < count; ++i) kill(g_load[i], SIGKILL);
    for (int i = 0; i < count; ++i) waitpid(g_load[i], nullptr, 0);
    g_load_count = 0;
}

void StopLoadAndLeave(int) {
    StopLoad();
    _exit(2);
}

// Each child does float math until it is killed; it also dies with the bench (PDEATHSIG).
bool StartLoad(int count) {
    const pid_t parent = getpid();
    std::fflush(stdout);
    for (int i = 0; i < std::min(count, kMaxLoad); ++i) {
        const pid_t pid = fork();
        if (pid < 0) return false;
        if (pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent) _exit(0);
            float x = 1.0f + static_cast<float>(i);
            for (;;) {
                for (int k = 0; k < 1000000; ++k) x = std::sqrt(x * 1.000001f + 0.5f);
                g_load_sink = x;
            }
        }
        g_load[g_load_count] = pid;
        g_load_count = g_load_count + 1;
    }
    return true;
}

// ---- Real-time priority of the process's threads, as the kernel reports it -------------------

// "k of n threads at real-time priority (FIFO 94, ...)" from the policy and rt_priority fields
// of /proc/self/task/*/stat (fields 41 and 40).
std::string RealtimeThreads() {
    int total = 0, realtime = 0;
    std::string detail;
    std::error_code ec;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ec)) {
        std::ifstream in(task.path() / "stat");
        std::string line;
        if (!std::getline(in, line)) continue;
        const auto paren = line.rfind(')');
        if (paren == std::string::npos) continue;
        std::istringstream fields(line.substr(paren + 2));
        std::vector<std::string> f{std::istream_iterator<std::string>(fields), {}};
        if (f.size() < 39) continue;  // f[0] is field 3 (state)
        ++total;
        const int rt_priority = std::atoi(f[37].c_str());
        const int policy = std::atoi(f[38].c_str());
        if (policy == SCHED_FIFO || policy == SCHED_RR) {
            ++realtime;
            detail += (detail.empty() ? "" : ", ") +
                      std::string(policy == SCHED_FIFO ? "FIFO " : "RR ") +
                      std::to_string(rt_priority);
        }
    }
    return std::to_string(realtime) + " of " + std::to_string(total) +
           " threads at real-time priority" + (detail.empty() ? "" : " (" + detail + ")");
}

// One paced play of `seconds`: Play, the pacer, the message loop with a paint every 16 ms, STOP.
// Prints the counters; false when playback did not start.
bool PacedRun(HWND dialog, HWND canvas, int seconds, const char* title) {
    SendMessage(dialog, WM_COMMAND, engine::kPlayCommand, 0);
    testing::AdvanceTime(1600);
    if (engine::CurrentPlayState() != engine::PlayState::Playing) {
        std::printf("%s: playback did not start\n", title);
        return false;
    }
    VirtualCardStartPacer();
    const auto start = std::chrono::steady_clock::now();
    auto next_paint = start;
    std::string realtime;
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(seconds) &&
           engine::CurrentPlayState() == engine::PlayState::Playing) {
        testing::PumpUntilIdle();
        const auto now = std::chrono::steady_clock::now();
        if (now >= next_paint) {
            InvalidateRect(canvas, nullptr, TRUE);
            UpdateWindow(canvas);
            next_paint = now + std::chrono::milliseconds(16);
        }
        if (realtime.empty() && now - start > std::chrono::seconds(1))
            realtime = std::string("workers at real-time priority: ") +
                       (engine::WorkersHaveRealtimePriority() ? "yes" : "no") + "; " +
                       RealtimeThreads();
        std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
    VirtualCardStopPacer();
    if (realtime.empty()) realtime = RealtimeThreads();
    const engine::PlayerCounters c = engine::CurrentPlayerCounters();
    const bool still_playing = engine::CurrentPlayState() == engine::PlayState::Playing;
    SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
    testing::PumpUntilIdle();
    std::printf("%s:\n", title);
    std::printf("  blocks %lld, late blocks %lld, worst block %.2f ms\n",
                static_cast<long long>(c.blocks), static_cast<long long>(c.late_blocks),
                c.worst_block_ms);
    std::printf("  output underruns %lld, ring overflows %lld, short captures %lld%s\n",
                static_cast<long long>(c.underruns), static_cast<long long>(c.ring_overflows),
                static_cast<long long>(c.input_drops),
                still_playing ? "" : "  (playback stopped early)");
    std::printf("  of those, the card's own: output underruns %lld, input overruns %lld\n",
                static_cast<long long>(c.card_output_xruns),
                static_cast<long long>(c.card_input_xruns));
    std::printf("  %s\n", realtime.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    testing::StartHeadless(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
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

    const long cpus = std::max(1L, sysconf(_SC_NPROCESSORS_ONLN));
    rlimit rt{};
    getrlimit(RLIMIT_RTPRIO, &rt);
    std::printf(
        "Paced play, 96 kHz, F = %d (block period %.2f ms), 16 outputs, %d s per run; "
        "RLIMIT_RTPRIO %lld, effective uid %d\n\n",
        kF, 1000.0 * kF / 96000.0, seconds,
        rt.rlim_cur == RLIM_INFINITY ? -1LL : static_cast<long long>(rt.rlim_cur),
        static_cast<int>(geteuid()));
    bool ok = PacedRun(dialog, canvas, seconds, "Without load");
    if (ok) {
        std::atexit(StopLoad);
        signal(SIGINT, StopLoadAndLeave);
        signal(SIGTERM, StopLoadAndLeave);
        const int count = static_cast<int>(2 * cpus);
        ok = StartLoad(count);
        const std::string title =
            "With load (" + std::to_string(count) + " busy processes at normal priority)";
        if (ok)
            ok = PacedRun(dialog, canvas, seconds, title.c_str());
        else
            std::printf("the load could not be started\n");
        StopLoad();
    }
    std::printf("(target 0 late blocks with real-time priority under load)\n");
    DestroyWindow(canvas);
    DestroyWindow(dialog);
    return ok ? 0 : 1;
}
