#include "support/desktop.h"

#include <stdio.h>
#include <stdlib.h>

#include "support/bmp_builder.h"

std::string SettingsPath()
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\talvix.ini";
}

void WriteSettings(const std::string &content)
{
    WriteFileBytes(SettingsPath(), std::vector<uint8_t>(content.begin(), content.end()));
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "talvix.ini");   // drop any cached copy
}

std::string ReadSettings()
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "talvix.ini");
    std::vector<uint8_t> v = ReadFileBytes(SettingsPath());
    return std::string(v.begin(), v.end());
}

void RemoveSettings()
{
    DeleteFileA(SettingsPath().c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "talvix.ini");
}

BoxWatcher::BoxWatcher(const char *caption, DWORD process) : caption_(caption), process_(process)
{
    thread_ = std::thread([this] { Run(); });
}

BoxWatcher::~BoxWatcher()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    thread_.join();
}

std::vector<std::string> BoxWatcher::Texts()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
}

bool BoxWatcher::WaitFor(size_t count, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        if (Texts().size() >= count)
            return true;
        // Keep this thread's own windows answering while it waits.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
    return Texts().size() >= count;
}

namespace {

struct Search {
    const std::string *caption;
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK FindBoxes(HWND w, LPARAM lp)
{
    Search *s = reinterpret_cast<Search *>(lp);
    char cls[32], text[256];
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == s->process && IsWindowVisible(w) && GetClassNameA(w, cls, sizeof cls) && strcmp(cls, "#32770") == 0 &&
        GetWindowTextA(w, text, sizeof text) >= 0 && *s->caption == text)
        s->found.push_back(w);
    return TRUE;
}

// The longest static text of a box is its message.
BOOL CALLBACK FindMessage(HWND w, LPARAM lp)
{
    std::string *best = reinterpret_cast<std::string *>(lp);
    char cls[32], text[512];
    if (GetClassNameA(w, cls, sizeof cls) && _stricmp(cls, "Static") == 0) {
        int n = GetWindowTextA(w, text, sizeof text);
        if (n > 0 && size_t(n) > best->size())
            *best = text;
    }
    return TRUE;
}

}  // namespace

void BoxWatcher::Run()
{
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stop_)
                return;
        }
        for (auto it = seen_.begin(); it != seen_.end();)
            it = IsWindow(*it) ? std::next(it) : seen_.erase(it);
        Search s = {&caption_, process_, {}};
        EnumWindows(FindBoxes, reinterpret_cast<LPARAM>(&s));
        for (HWND box : s.found) {
            if (seen_.count(box))
                continue;
            seen_.insert(box);
            std::string message;
            EnumChildWindows(box, FindMessage, reinterpret_cast<LPARAM>(&message));
            HWND ok = GetDlgItem(box, IDOK);
            if (ok)
                SendMessageA(ok, BM_CLICK, 0, 0);
            else
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            std::lock_guard<std::mutex> lock(mutex_);
            texts_.push_back(message);
        }
        Sleep(10);
    }
}

DWORD RunCapturing(const std::string &commandLine, std::string *output)
{
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return 0xFFFFFFFF;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    PROCESS_INFORMATION pi;
    BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return 0xFFFFFFFF;
    }
    // Read until the process has ended, not until the pipe closes: a
    // process it starts (Wine's desktop, for one) may inherit the pipe.
    bool ended = false;
    for (;;) {
        DWORD available = 0;
        char buf[4096];
        DWORD n = 0;
        if (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
            ReadFile(readEnd, buf, available < sizeof buf ? available : sizeof buf, &n, nullptr)) {
            output->append(buf, n);
            continue;
        }
        if (ended)
            break;
        ended = WaitForSingleObject(pi.hProcess, 10) == WAIT_OBJECT_0;
    }
    CloseHandle(readEnd);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}


std::string UnixName(const std::string &file)
{
    char dir[MAX_PATH];
    GetCurrentDirectoryA(sizeof dir, dir);
    std::string path = std::string(dir + 2) + "\\" + file;
    for (char &c : path)
        if (c == '\\')
            c = '/';
    return path;
}

int RunUnix(const std::string &command, DWORD timeout)
{
    static int serial = 0;
    std::string marker = "unix-done-" + std::to_string(++serial);
    DeleteFileA(marker.c_str());
    std::string unixMarker = UnixName(marker);
    std::string line = "Z:\\bin\\sh -c \"" + command + "; echo $? > " + unixMarker + ".tmp && mv " + unixMarker + ".tmp " +
                       unixMarker + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    std::vector<char> text(line.begin(), line.end());
    text.push_back(0);
    if (!CreateProcessA(nullptr, text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout) {
        std::vector<uint8_t> status = ReadFileBytes(marker);
        if (!status.empty()) {
            DeleteFileA(marker.c_str());
            return atoi(std::string(status.begin(), status.end()).c_str());
        }
        Sleep(10);
    }
    return -1;
}

