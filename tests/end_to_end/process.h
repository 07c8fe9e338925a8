// Starting the programs from the build folder and talking to their windows
// the way a viewer would (xdotool), for the end-to-end tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace e2e {

struct Finished {
    bool exited = false; // false: still running at the deadline (then killed)
    int code = -1;
};

class Program {
public:
    // Runs `command` with bash in the build folder, stdout and stderr into a log.
    explicit Program(const std::string& command);
    ~Program();
    Finished waitFor(double seconds);
    void terminate(); // SIGTERM, as a session ending would send
    std::string log() const;
    int pid() const { return pid_; }

private:
    int pid_ = -1;
    std::string logPath_;
    bool reaped_ = false;
};

// Runs a command to its end; its exit code and output.
int runCommand(const std::string& command, std::string* output = nullptr);

// The X window id of the first top-level window with this exact name, or ""
// when none appears within the time given. Message boxes have no class, so
// xwininfo's tree is searched rather than xdotool's.
std::string waitForWindow(const std::string& name, double seconds);
bool windowExists(const std::string& name);
// The program's log, whether it is still running or how it ended, and the
// named windows on the screen.
std::string describe(Program& program);

// Polls done every 50 ms until it holds or `seconds` have passed.
bool waitUntil(const std::function<bool()>& done, double seconds);
// Waits for window to be mapped, then presses key in it, again until the
// window has gone (up to 60 s).
void pressKey(const std::string& window, const std::string& key);
void windowSize(const std::string& window, int& width, int& height);

std::string buildDir();

} // namespace e2e
