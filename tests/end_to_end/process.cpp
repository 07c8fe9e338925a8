#include "process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

namespace e2e {
namespace {

int logCounter = 0;

std::string shellOutput(const std::string& command) {
    std::string out;
    runCommand(command, &out);
    return out;
}

// Where a program that never showed its next window is stuck: every thread's
// stack, where gdb is installed.
std::string whereItWaits(int pid) {
    return shellOutput("command -v gdb >/dev/null && gdb -p " + std::to_string(pid) +
                       " -batch -ex 'thread apply all bt' 2>/dev/null | grep -E '^(#|Thread)'");
}

} // namespace

std::string buildDir() {
    return HLV_BUILD_DIR;
}

int runCommand(const std::string& command, std::string* output) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    std::array<char, 4096> chunk{};
    std::size_t n = 0;
    while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) {
        if (output != nullptr) {
            output->append(chunk.data(), n);
        }
    }
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Program::Program(const std::string& command) {
    logPath_ = buildDir() + "/e2e-" + std::to_string(::getpid()) + "-" +
               std::to_string(logCounter++) + ".log";
    const std::string full =
        "cd '" + buildDir() + "' && exec " + command + " >'" + logPath_ + "' 2>&1";
    pid_ = ::fork();
    if (pid_ == 0) {
        ::execl("/bin/bash", "bash", "-c", full.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
}

Program::~Program() {
    if (!reaped_ && pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    std::remove(logPath_.c_str());
}

Finished Program::waitFor(double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    // Looks at least once, so waitFor(0) asks without waiting.
    for (;;) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            reaped_ = true;
            return {true, WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)};
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return {};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void Program::terminate() {
    ::kill(pid_, SIGTERM);
}

std::string Program::log() const {
    std::ifstream in(logPath_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string waitForWindow(const std::string& name, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    const std::string quoted = "\"" + name + "\"";
    while (std::chrono::steady_clock::now() < deadline) {
        std::istringstream tree(shellOutput("xwininfo -root -tree"));
        std::string line;
        while (std::getline(tree, line)) {
            if (line.find(quoted) != std::string::npos) {
                std::istringstream words(line);
                std::string id;
                words >> id;
                return id;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "";
}

bool windowExists(const std::string& name) {
    return !waitForWindow(name, 0.01).empty();
}

std::string describe(Program& program) {
    const Finished state = program.waitFor(0.1);
    const std::string status = state.exited ? "ended with code " + std::to_string(state.code)
                                            : std::string("still running");
    // The windows there are, for when an expected one never showed.
    std::istringstream tree(shellOutput("xwininfo -root -tree"));
    std::string named, line;
    while (std::getline(tree, line)) {
        if (line.find('"') != std::string::npos &&
            line.find("(has no name)") == std::string::npos) {
            named += line + "\n";
        }
    }
    return "(program " + status + ")\n" + program.log() + "named windows:\n" + named +
           (state.exited ? std::string() : whereItWaits(program.pid()));
}

bool waitUntil(const std::function<bool()>& done, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

void pressKey(const std::string& window, const std::string& key) {
    const auto gone = [&] {
        return runCommand("xwininfo -id " + window + " >/dev/null 2>&1") != 0;
    };
    // Keys reach a window only once it is mapped; wait for that instead of a
    // fixed pause.
    waitUntil(
        [&] {
            std::string info;
            return runCommand("xwininfo -id " + window, &info) != 0 ||
                   info.find("IsViewable") != std::string::npos;
        },
        30.0);
    // A freshly mapped window may still not take input, and on a busy machine
    // a key can arrive before it does: press again until the window has gone
    // (every key these tests press closes the window it is sent to).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        runCommand("xdotool key --window " + window + " " + key);
        if (waitUntil(gone, 1.0)) {
            return;
        }
    }
}

void windowSize(const std::string& window, int& width, int& height) {
    std::istringstream info(shellOutput("xwininfo -id " + window));
    std::string line;
    width = height = -1;
    while (std::getline(info, line)) {
        if (line.find("Width:") != std::string::npos) {
            width = std::stoi(line.substr(line.find(':') + 1));
        } else if (line.find("Height:") != std::string::npos) {
            height = std::stoi(line.substr(line.find(':') + 1));
        }
    }
}

} // namespace e2e
