#include "support.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "lens/lens.h"

bool WriteBytes(const std::string &name, const Bytes &bytes)
{
    std::ofstream out(name, std::ios::binary);
    return bool(out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size())).flush());
}

Bytes ReadBytes(const std::string &name)
{
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Env(const char *name) { return getenv(name) ? getenv(name) : ""; }

std::vector<std::string> DataLines(const char *file)
{
    std::ifstream in(Env("ORB_DATA") + "/" + file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (line.size() > 1 && line[0] != '#')
            lines.push_back(line);
    return lines;
}

std::string Unescape(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        size_t close = text.find('}', i);
        if (text[i] == '{' && close != std::string::npos) {
            out.append(size_t(atoi(text.c_str() + i + 3)), text[i + 1]);
            i = close;
        } else if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
        } else if (text[++i] == 'x') {
            out += char(strtoul(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            const char *escapes = "rnt", *at = strchr(escapes, text[i]);
            out += at ? "\r\n\t"[at - escapes] : text[i];
        }
    }
    return out;
}

Bmp::Bmp(const std::string &fields)
    : f{{"hsize", 40}, {"w", 8}, {"h", 8}, {"planes", 1}, {"bits", 8}, {"comp", 0}, {"imgsize", 0}, {"clrused", 0},
        {"type", 0x4D42}, {"filesize", -1}, {"offset", -1}, {"entries", -1}, {"gap", 0}, {"tail", 0}, {"cut", 0}, {"seed", 0}, {"tint", 0}}
{
    std::istringstream in(fields);
    for (std::string field; in >> field;) {
        std::string name = field.substr(0, field.find('=')), value = field.substr(field.find('=') + 1);
        if (name != "px") {
            valid = valid && f.count(name);
            f[name] = strtoll(value.c_str(), nullptr, 0);
            continue;
        }
        px.clear();
        for (const char *p = value.c_str(); *p;) {
            char *end;
            uint8_t byte = uint8_t(strtoul(p, &end, 16));
            long count = *end == '*' ? strtol(end + 1, &end, 10) : 1;
            px.insert(px.end(), size_t(count), byte);
            valid = valid && end != p;
            p = end == p ? "" : *end == ',' ? end + 1 : end;
        }
    }
}

// Every row, each pixel naming a colour the table has.
Bytes Bmp::Pixels() const
{
    long long rows = f.at("h") < 0 ? -f.at("h") : f.at("h"), colours = Entries(), bits = f.at("bits");
    if (f.at("clrused") > 0 && f.at("clrused") < colours)
        colours = f.at("clrused");
    if (!px.empty() || RowBytes() <= 0 || RowBytes() * rows > (64 << 20))
        return px;   // pictures too large to make give their bits
    Bytes v(size_t(RowBytes() * rows));
    for (long long y = 0; y < rows; y++)
        for (long long x = 0; x < f.at("w"); x++) {
            long long value = x * 3 + y * 5 + f.at("seed") * 29 + (x ^ y), bit = x * bits;
            for (int c = 0; bits == 24 && c < 3; c++)
                v[size_t(y * RowBytes() + x * 3 + c)] = uint8_t(value + c * 50);
            if (bits <= 8)
                v[size_t(y * RowBytes() + bit / 8)] |= uint8_t((colours ? value % colours : 0) << (8 - bits - bit % 8));
        }
    return v;
}

Bytes Bmp::Build() const
{
    Bytes pixels = Pixels(), v;
    pixels.insert(pixels.end(), size_t(f.at("tail")), 0x5A);
    // Each header field and its size in bytes, little-endian; the core
    // header has two-byte sides and none of the later fields.
    long long hsize = f.at("hsize"), side = hsize == 12 ? 2 : 4, later = hsize == 12 ? 0 : 4;
    const long long fields[][2] = {{f.at("type"), 2}, {f.at("filesize") >= 0 ? f.at("filesize") : BitsOffset() + (long long)pixels.size(), 4},
        {0, 4}, {f.at("offset") >= 0 ? f.at("offset") : BitsOffset(), 4}, {hsize, 4}, {f.at("w"), side}, {f.at("h"), side}, {f.at("planes"), 2},
        {f.at("bits"), 2}, {f.at("comp"), later}, {f.at("imgsize"), later}, {2835, later}, {2835, later}, {f.at("clrused"), later}, {0, later}};
    for (const auto &field : fields)
        for (int i = 0; i < field[1]; i++)
            v.push_back(uint8_t(field[0] >> (8 * i)));
    while (hsize != 12 && v.size() < size_t(14 + hsize) && v.size() < 4096)
        v.push_back(0xEE);   // the rest of a larger header
    for (int i = 0; i < Entries(); i++)
        for (int c = 0; c < (hsize == 12 ? 3 : 4); c++)
            v.push_back(c == 3 ? 0 : TableByte(i, c, int(f.at("tint"))));
    v.insert(v.end(), size_t(f.at("gap")), 0xCC);
    v.insert(v.end(), pixels.begin(), pixels.end());
    if (f.at("cut") > 0 && size_t(f.at("cut")) < v.size())
        v.resize(size_t(f.at("cut")));
    return v;
}

Bmp Painting(int seed, int w, int h)
{
    return Bmp("seed=" + std::to_string(seed) + " tint=" + std::to_string(seed) + " w=" + std::to_string(w) + " h=" + std::to_string(h));
}

bool Holds(DibBlock *dib, const Bmp &picture)
{
    Bytes bits = picture.Pixels();
    return dib && dib->width == picture["w"] && dib->height == picture["h"] && dib->bitCount == DWORD(picture["bits"]) &&
           memcmp(DibBits(dib), bits.data(), bits.size()) == 0;
}

void WritePictureSet(const std::string &folder)
{
    CreateDirectoryA(folder.empty() ? "." : folder.c_str(), nullptr);
    for (int n = 1; n <= 10; n++) {
        Painting(n).Write(folder + "LIMAGE" + std::to_string(n) + ".BMP");
        Painting(100 + n, 640, 480).Write(folder + "FIMAGE" + std::to_string(n) + ".BMP");
    }
    const char *names[] = {"lselect.bmp", "lbutton.bmp", "copyrite.bmp", "help.bmp", "exit.bmp", "zoom.bmp", "LCREDITB.BMP", "LHELPB.BMP"};
    const int sizes[][2] = {{126, 277}, {126, 86}, {33, 33}, {33, 33}, {33, 33}, {33, 33}, {640, 480}, {640, 480}};
    for (int i = 0; i < 8; i++)
        Painting(200 + i, sizes[i][0], sizes[i][1]).Write(names[i]);
}

std::string SettingsPath()
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\talvix.ini";
}

// The profile functions may keep a copy of the file; this drops it.
static void Forget() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, "talvix.ini"); }

void WriteSettings(const std::string &content)
{
    WriteBytes(SettingsPath(), Bytes(content.begin(), content.end()));
    Forget();
}

std::string ReadSettings()
{
    Forget();
    Bytes v = ReadBytes(SettingsPath());
    return std::string(v.begin(), v.end());
}

void RemoveSettings()
{
    DeleteFileA(SettingsPath().c_str());
    Forget();
}

std::string UnixName(const std::string &file)
{
    char dir[MAX_PATH];
    GetCurrentDirectoryA(sizeof dir, dir);
    std::string path = std::string(dir + 2) + "\\" + file;   // drive Z: is the Unix root
    for (char &c : path)
        c = c == '\\' ? '/' : c;
    return path;
}

int RunUnix(const std::string &command, DWORD timeout)
{
    static int serial = 0;
    std::string marker = "unix-done-" + std::to_string(++serial), unix = UnixName(marker);
    std::string line = "Z:\\bin\\sh -c \"" + command + "; echo $? > " + unix + ".tmp && mv " + unix + ".tmp " + unix + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeout; Sleep(10)) {
        Bytes status = ReadBytes(marker);
        if (!status.empty() && DeleteFileA(marker.c_str()))
            return atoi(std::string(status.begin(), status.end()).c_str());
    }
    return -1;
}

namespace {

BOOL CALLBACK ListWindow(HWND window, LPARAM list)
{
    reinterpret_cast<std::vector<HWND> *>(list)->push_back(window);
    return TRUE;
}

}   // namespace

BoxWatcher::BoxWatcher(const char *caption, DWORD process) : caption_(caption, caption + strlen(caption)), process_(process)
{
    thread_ = std::thread([this] {
        for (std::set<HWND> seen; !stop_; Sleep(10)) {
            // A handle may come back for a later box once its box is gone.
            for (auto it = seen.begin(); it != seen.end();)
                it = IsWindow(*it) ? std::next(it) : seen.erase(it);
            // Listed at once, not walked with FindWindowEx from the box found
            // last: Wine 10's server loops for good when that box is being
            // destroyed (its destroy unlinks it before it frees the handle).
            std::vector<HWND> windows;
            EnumWindows(ListWindow, LPARAM(&windows));
            for (HWND box : windows) {
                // What the window manager holds: no message, which a hung box would hold.
                char name[8] = "";
                WCHAR title[64] = L"";
                DWORD pid = 0;
                GetWindowThreadProcessId(box, &pid);
                GetClassNameA(box, name, sizeof name);
                InternalGetWindowText(box, title, 64);
                if (pid != process_ || !IsWindowVisible(box) || seen.count(box) || strcmp(name, "#32770") != 0 || (!caption_.empty() && title != caption_))
                    continue;
                // A message box's text is its item 0xFFFF. A box whose thread
                // stopped answering is counted as such, not waited on for
                // good: the test fails instead of hanging.
                char text[512] = "";
                DWORD_PTR length = 0;
                bool answered = SendMessageTimeoutA(GetDlgItem(box, 0xFFFF), WM_GETTEXT, sizeof text, LPARAM(text), SMTO_NORMAL, 20000, &length);
                if (answered && length == 0)
                    continue;   // not filled in yet
                seen.insert(box);
                // Counted before it is pressed, so that a box is counted by
                // the time the call that showed it returns.
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    texts_.push_back(answered ? text : "(a box that does not answer)");
                }
                PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);   // never waits on the box
            }
        }
    });
}

BoxWatcher::~BoxWatcher()
{
    stop_ = true;
    thread_.join();
}

std::vector<std::string> BoxWatcher::WaitFor(size_t count)
{
    auto seen = [this] {
        std::lock_guard<std::mutex> lock(mutex_);
        return texts_.size();
    };
    for (DWORD start = GetTickCount(); seen() < count && GetTickCount() - start < 60000; Sleep(10)) {
        // This thread's own windows keep answering while it waits.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
}

namespace {

// What `draw` leaves on a 24-bit top-down DIB section filled with `fill`.
template <class Draw> Rgb OnSurface(int width, int height, COLORREF fill, Draw draw)
{
    BITMAPINFO bi = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0}, {}};
    uint8_t *bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void **>(&bits), nullptr, 0));
    HBRUSH brush = CreateSolidBrush(fill);
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    draw(dc);
    GdiFlush();
    Rgb out = {bits ? width : 0, bits ? height : 0, {}};
    for (int y = 0; y < out.height; y++)
        for (int x = 0; x < width; x++)
            for (int c = 2; c >= 0; c--)
                out.px.push_back(bits[y * ((size_t(width) * 3 + 3) & ~size_t(3)) + x * 3 + c]);
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    return out;
}

}  // namespace

Rgb DrawDib(DibBlock *dib, COLORREF fill)
{
    return OnSurface(dib->width, dib->height, fill, [dib](HDC dc) {
        SetDIBitsToDevice(dc, 0, 0, dib->width, dib->height, 0, 0, 0, dib->height, DibBits(dib), DibInfo(dib), DIB_RGB_COLORS);
    });
}

Rgb DrawFile(const std::string &file)
{
    DibError error;
    DibBlock *dib = LoadDib(&error, file.c_str());
    Rgb out = dib ? DrawDib(dib) : Rgb();
    FreeDib(dib);
    return out;
}

Rgb Filled(int width, int height, COLORREF colour) { return OnSurface(width, height, colour, [](HDC) {}); }

Rgb ReadBack(HDC from, int x, int y, int width, int height)
{
    return OnSurface(width, height, 0, [=](HDC dc) { BitBlt(dc, 0, 0, width, height, from, x, y, SRCCOPY); });
}

Rgb ReadRgb(const std::string &name, int width, int height)
{
    Bytes v = ReadBytes(name);
    return v.size() == size_t(width) * height * 3 ? Rgb{width, height, v} : Rgb();
}

Rgb Crop(const Rgb &big, int x, int y, int width, int height)
{
    Rgb out;
    for (int row = 0; x >= 0 && y >= 0 && x + width <= big.width && y + height <= big.height && row < height; row++)
        out.px.insert(out.px.end(), big.At(x, y + row), big.At(x, y + row) + size_t(width) * 3);
    out.width = out.px.empty() ? 0 : width;
    out.height = out.px.empty() ? 0 : height;
    return out;
}

Rgb WithLens(const Rgb &picture, int x, int y)
{
    Rgb out = picture;
    for (int n = 0; n < 10000; n++) {
        // Lens row 0 is the square's bottom row.
        const BYTE *e = LensTable[n];
        memcpy(&out.px[(size_t(y + 99 - n / 100) * out.width + x + n % 100) * 3], picture.At(x + e[1], y + 99 - e[0]), 3);
    }
    return out;
}

long Differences(const Rgb &a, const Rgb &b)
{
    long n = a.width == b.width && a.height == b.height && a.px.size() == b.px.size() ? 0 : -1;
    for (size_t i = 0; n >= 0 && i < a.px.size(); i += 3)
        n += memcmp(&a.px[i], &b.px[i], 3) != 0;
    return n;
}
