// The real settings file and real message boxes, for the tests.
#pragma once

#include <windows.h>

#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// "talvix.ini" in the Windows directory, where the profile functions find it.
std::string SettingsPath();
void WriteSettings(const std::string &content);
std::string ReadSettings();   // empty when there is no file
void RemoveSettings();

// Runs a Windows program to its end with its output on a pipe; its exit
// code, or 0xFFFFFFFF when it cannot be started.
DWORD RunCapturing(const std::string &commandLine, std::string *output);

// The Unix name of a file in the current folder (Wine's drive Z: is /).
std::string UnixName(const std::string &file);

// Runs a Unix command line through sh and waits for it: Wine starts Unix
// programs without waiting for them, so the command leaves a marker file
// with its exit status when it is done. Its status, or -1 on a timeout.
int RunUnix(const std::string &command, DWORD timeout = 20000);

// Watches for message boxes with the given caption, of this process or of
// `process`, reads their text and presses their OK button, as a person
// would. Stops when destroyed.
class BoxWatcher {
public:
    explicit BoxWatcher(const char *caption, DWORD process = GetCurrentProcessId());
    ~BoxWatcher();
    std::vector<std::string> Texts();
    // Waits until `count` boxes have been dismissed, or the timeout passes.
    bool WaitFor(size_t count, DWORD milliseconds = 10000);

private:
    void Run();
    std::string caption_;
    DWORD process_;
    bool stop_ = false;
    std::mutex mutex_;
    std::vector<std::string> texts_;
    std::set<HWND> seen_;
    std::thread thread_;
};
