#include "tests/e2e/processes.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

double MonotonicSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void SleepSeconds(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

pid_t StartProcess(const std::vector<std::string>& arguments, const Environment& extra,
                   const std::string& outputFile, int keepFd) {
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0) return pid;
    // In the child: only async-signal-safe work until exec, apart from setenv.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    for (const auto& [name, value] : extra) setenv(name.c_str(), value.c_str(), 1);
    if (!outputFile.empty()) {
        const int fd = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, STDOUT_FILENO);
            dup2(fd, STDERR_FILENO);
            close(fd);
        }
    }
    for (int fd = 3; fd < 256; ++fd) {
        if (fd != keepFd) close(fd);
    }
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

std::optional<int> WaitForExit(pid_t pid, double seconds) {
    const double deadline = MonotonicSeconds() + seconds;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            if (WIFEXITED(status)) return WEXITSTATUS(status);
            if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
            return 255;
        }
        if (done < 0) return 255;
        if (MonotonicSeconds() > deadline) return std::nullopt;
        SleepSeconds(0.005);
    }
}

void StopProcess(pid_t pid) {
    if (pid <= 0) return;
    if (kill(pid, SIGTERM) != 0) {
        waitpid(pid, nullptr, WNOHANG);
        return;
    }
    if (!WaitForExit(pid, 3)) {
        kill(pid, SIGKILL);
        WaitForExit(pid, 3);
    }
}

int RunCommand(const std::vector<std::string>& arguments, const Environment& extra, double seconds) {
    const pid_t pid = StartProcess(arguments, extra);
    const std::optional<int> status = WaitForExit(pid, seconds);
    if (status) return *status;
    StopProcess(pid);
    return 255;
}
