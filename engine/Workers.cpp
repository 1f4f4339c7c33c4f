#include "engine/Workers.h"

#include <chrono>
#include <semaphore>
#include <thread>

#include "platform/sys/Threads.h"

#include "engine/Globals.h"

namespace engine {

std::atomic<std::int32_t> WorkerBusy[4];
std::atomic<std::int32_t> WorkerExitCodes[4] = {-1, -1, -1, -1};
std::atomic<int> WorkerStallMsForTest{0};

namespace {

// Wake-ups of each worker; counting, so that STOP may add its wake-up to a pending one.
std::counting_semaphore<8> g_wake[4] = {std::counting_semaphore<8>(0), std::counting_semaphore<8>(0),
                                        std::counting_semaphore<8>(0), std::counting_semaphore<8>(0)};
std::counting_semaphore<4> g_stage_done(0);
std::atomic<bool> g_quit{false};
platform::HANDLE g_threads[4];
bool g_running = false;

// Written by the UI thread before it signals the output workers; read by them after the wake.
BlockGains g_gains;
std::int32_t* g_block = nullptr;

// Worker thread: waits for its event without a timeout; leaves only on the quit flag.
template <class Block>
int WorkerLoop(int index, int exit_code, Block block) {
    for (;;) {
        g_wake[index].acquire();
        if (g_quit.load(std::memory_order_acquire)) break;
        const int stall = WorkerStallMsForTest.load(std::memory_order_relaxed);
        if (stall > 0) std::this_thread::sleep_for(std::chrono::milliseconds(stall));
        block();
        WorkerBusy[index].store(0, std::memory_order_release);
        g_stage_done.release();
    }
    WorkerExitCodes[index].store(exit_code, std::memory_order_release);
    return exit_code;
}

// Waits for `count` stage completions: a short spin, then the semaphore with a time-out.
bool WaitStage(int count, int timeout_ms) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (int i = 0; i < count; ++i) {
        bool got = false;
        for (int spin = 0; spin < 2000 && !got; ++spin) got = g_stage_done.try_acquire();
        if (!got) got = g_stage_done.try_acquire_until(deadline);
        if (!got) return false;
    }
    return true;
}

void Signal(int index) {
    WorkerBusy[index].store(1, std::memory_order_relaxed);
    g_wake[index].release();
}

}  // namespace

int InputTransformWorkerA(void*) {
    return WorkerLoop(kInputWorkerA, 3, [] {
        TransformInputs(Dsp, kInputsOfWorkerA, 4, Dsp.work[kWorkInputA]);
    });
}

int InputTransformWorkerB(void*) {
    return WorkerLoop(kInputWorkerB, 4, [] {
        TransformInputs(Dsp, kInputsOfWorkerB, 4, Dsp.work[kWorkInputB]);
    });
}

int OutputConvolutionWorkerLow(void*) {
    return WorkerLoop(kOutputWorkerLow, 1, [] {
        ConvolveOutputs(Dsp, 0, 7, g_gains, g_block, Dsp.work[kWorkOutputLow]);
    });
}

int OutputConvolutionWorkerHigh(void*) {
    return WorkerLoop(kOutputWorkerHigh, 1, [] {
        ConvolveOutputs(Dsp, 8, 15, g_gains, g_block, Dsp.work[kWorkOutputHigh]);
    });
}

int StartWorkers() {
    if (g_running) StopWorkers();
    while (g_stage_done.try_acquire()) {
    }
    for (auto& wake : g_wake)
        while (wake.try_acquire()) {
        }
    g_quit.store(false, std::memory_order_release);
    platform::LPTHREAD_START_ROUTINE const procs[4] = {
        [](void* p) -> platform::DWORD { return static_cast<platform::DWORD>(InputTransformWorkerA(p)); },
        [](void* p) -> platform::DWORD { return static_cast<platform::DWORD>(InputTransformWorkerB(p)); },
        [](void* p) -> platform::DWORD {
            return static_cast<platform::DWORD>(OutputConvolutionWorkerLow(p));
        },
        [](void* p) -> platform::DWORD {
            return static_cast<platform::DWORD>(OutputConvolutionWorkerHigh(p));
        }};
    for (int i = 0; i < 4; ++i) {
        WorkerBusy[i].store(0);
        WorkerExitCodes[i].store(-1);
    }
    g_running = true;
    // Started in the order Output Low, Output High, Input A, Input B.
    for (int i : {kOutputWorkerLow, kOutputWorkerHigh, kInputWorkerA, kInputWorkerB}) {
        g_threads[i] = platform::CreateThread(nullptr, 0, procs[i], nullptr, 0, nullptr);
        if (!g_threads[i]) {
            StopWorkers();
            return 1;
        }
        // The outputs 1-8 worker carries every layout: it runs at the highest priority granted.
        if (i == kOutputWorkerLow)
            platform::SetThreadPriority(g_threads[i], platform::THREAD_PRIORITY_TIME_CRITICAL);
    }
    return 0;
}

bool WorkersRunning() { return g_running; }

bool RunInputStage(int timeout_ms) {
    if (!g_running) return false;
    Signal(kInputWorkerA);
    Signal(kInputWorkerB);
    return WaitStage(2, timeout_ms);
}

bool RunOutputStage(const BlockGains& gains, std::int32_t* block, bool with_high,
                    int timeout_ms) {
    if (!g_running) return false;
    g_gains = gains;
    g_block = block;
    Signal(kOutputWorkerLow);
    if (with_high) Signal(kOutputWorkerHigh);
    return WaitStage(with_high ? 2 : 1, timeout_ms);
}

bool RunBlockStages(const BlockGains& gains, std::int32_t* block, bool with_high,
                    int timeout_ms) {
    return RunInputStage(timeout_ms) && RunOutputStage(gains, block, with_high, timeout_ms);
}

void StopWorkers() {
    if (!g_running) return;
    g_quit.store(true, std::memory_order_release);
    for (auto& wake : g_wake) wake.release();
    for (auto& thread : g_threads) {
        if (thread) platform::CloseHandle(thread);  // waits for the thread to end
        thread = platform::HANDLE{};
    }
    g_running = false;
    while (g_stage_done.try_acquire()) {
    }
    for (auto& wake : g_wake)
        while (wake.try_acquire()) {
        }
}

}  // namespace engine
