// Under a German locale the program still reads "1.5" as 1.5 and prints 2.25 as "2.25": the
// layer puts LC_NUMERIC back to "C" once Qt has taken the locale from the environment.
//
// The check runs in a child process started through RunApplication with LANG=de_DE.UTF-8 (see
// tests/TestMain.cpp, QV_LOCALE_PROBE), because the locale is set up once per process.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

int RunProbe(const char* mode) {
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("LANG", "de_DE.UTF-8", 1);
        unsetenv("LC_ALL");
        unsetenv("LC_NUMERIC");
        setenv("QV_LOCALE_PROBE", mode, 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        char self[] = "/proc/self/exe";
        char* args[] = {self, nullptr};
        execv(self, args);
        _exit(120);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 121;
}

TEST(Locale, GermanEnvironmentStillReadsAndPrintsNumbersWithADot) {
    // Exit codes of the probe: 0 fine, 2 reading failed, 3 printing failed, 4 the German locale
    // was not in effect for the rest of the program (so the check would prove nothing).
    EXPECT_EQ(RunProbe("layer"), 0);
}

TEST(Locale, TheProbeNoticesACommaLocale) {
    // The same probe with LC_NUMERIC left German must fail: the check can catch the fault.
    EXPECT_NE(RunProbe("german"), 0);
}

}  // namespace
