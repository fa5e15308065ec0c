// Child processes of the end-to-end tests: started with extra environment,
// waited for with a deadline, and never left behind.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

using Environment = std::vector<std::pair<std::string, std::string>>;

// Starts `arguments` (the first is the program, looked up in PATH) with the given
// variables added to this process's environment. The child gets SIGKILL should
// this process die first. Output goes to `outputFile` when given.
pid_t StartProcess(const std::vector<std::string>& arguments, const Environment& extra,
                   const std::string& outputFile = "", int keepFd = -1);

// The exit status (128 + signal number for a signal), or nothing if the process
// is still running after `seconds`.
std::optional<int> WaitForExit(pid_t pid, double seconds);

// Ends a child that is still running: SIGTERM, then SIGKILL after a grace time.
void StopProcess(pid_t pid);

// Runs a short command to its end; its exit status.
int RunCommand(const std::vector<std::string>& arguments, const Environment& extra, double seconds = 10);

double MonotonicSeconds();
void SleepSeconds(double seconds);
