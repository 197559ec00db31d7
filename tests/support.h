// What the tests share: BMP files made field by field, the real settings
// file, real message boxes, Unix commands, and pixels read back as RGB.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <stdint.h>

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/globals.h"
#include "app/startup.h"
#include "image/dib.h"

typedef std::vector<uint8_t> Bytes;
bool WriteBytes(const std::string &name, const Bytes &bytes);
Bytes ReadBytes(const std::string &name);
std::string Env(const char *name);
// The lines of a file of tests/data that are neither blank nor comments.
std::vector<std::string> DataLines(const char *file);
// A text of such a file as bytes: \r \n \t \\ and \xHH stand for bytes,
// {c*N} for N times c.
std::string Unescape(const std::string &text);

// A BMP file from "name=value" fields, each unnamed one as in an 8 x 8 8-bit
// picture with a full colour table: hsize w h planes bits comp imgsize
// clrused type as in the headers; filesize and offset -1 for the true ones;
// entries of the table (-1: full); gap bytes between table and bits; tail
// bytes after the bits that the file size counts; cut: the file's length;
// seed of the pixel pattern; tint added to every byte of the colour table;
// px: the bits as hex bytes, each maybe repeated (px=04,09,00*6), instead of
// the pattern.
struct Bmp {
    std::map<std::string, long long> f;
    Bytes px;
    bool valid = true;   // every field name known
    explicit Bmp(const std::string &fields = "");
    long long operator[](const char *name) const { return f.at(name); }
    long long Entries() const { return f.at("entries") >= 0 ? f.at("entries") : f.at("bits") > 8 ? 0 : 1 << f.at("bits"); }
    long long RowBytes() const { return ((f.at("bits") * f.at("w") + 31) & ~31ll) / 8; }
    long long BitsOffset() const { return 14 + f.at("hsize") + (f.at("hsize") == 12 ? 3 : 4) * Entries() + f.at("gap"); }
    Bytes Pixels() const;
    Bytes Build() const;
    bool Write(const std::string &name) const { return WriteBytes(name, Build()); }
};
// Colour entry i of the tables written here: blue, green, red.
inline uint8_t TableByte(int i, int c, int tint = 0) { return uint8_t(i * 3 + c * 85 + 7 + tint); }
// A 486 x 372 (or w x h) painting recognisable by its seed, its colour
// table tinted by the seed.
Bmp Painting(int seed, int w = 486, int h = 372);
// Whether a block holds exactly the picture's pixels.
bool Holds(DibBlock *dib, const Bmp &picture);
// LIMAGE1-10.BMP (seeds 1-10) and FIMAGE1-10.BMP (seeds 101-110, 640 x 480)
// into `folder` (with its trailing separator); the interface pictures and
// the credits and help pages (seeds 200-207, each of its size) into the
// current folder.
void WritePictureSet(const std::string &folder = "");

// "talvix.ini" in the Windows folder, where the profile functions find it.
std::string SettingsPath();
void WriteSettings(const std::string &content);
std::string ReadSettings();   // "" when there is none
void RemoveSettings();

// Runs a command through the Unix shell and waits for it (Wine does not):
// its status, or -1 after `timeout` milliseconds.
int RunUnix(const std::string &command, DWORD timeout = 30000);
std::string UnixName(const std::string &file);   // of a file in the current folder

// Finds the message boxes with `caption` (with any caption, when empty) of
// one process, reads their text and presses OK, as a person would, until it
// is destroyed. A box whose thread does not answer for 20 s is seen as "(a
// box that does not answer)".
class BoxWatcher {
public:
    explicit BoxWatcher(const char *caption, DWORD process = GetCurrentProcessId());
    ~BoxWatcher();
    // The texts of the boxes seen, once there are `count` or after 60 s.
    std::vector<std::string> WaitFor(size_t count);

private:
    std::wstring caption_;
    DWORD process_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> texts_;
    std::thread thread_;
};

// A test on the picture set in the current folder, without a settings
// file or pictures loaded, on picture 1 outside zoom mode, in which every
// message box is read and pressed as it comes, so that one nobody expected
// fails it instead of holding it.
class WithBoxes : public ::testing::Test {
protected:
    BoxWatcher boxes{""};
    size_t expectedBoxes = 0;
    void SetUp() override
    {
        FreePictures();
        ZoomMode = CurrentImage = RootDir[0] = 0;
        RemoveSettings();
        WritePictureSet();
    }
    void TearDown() override
    {
        // A box is read before it is pressed: once it is gone, it is counted.
        EXPECT_EQ(expectedBoxes, boxes.WaitFor(expectedBoxes).size()) << "message boxes";
    }
};

// Pixels as r, g, b bytes, top row first.
struct Rgb {
    int width = 0, height = 0;
    Bytes px;
    const uint8_t *At(int x, int y) const { return &px[(size_t(y) * width + x) * 3]; }
};
// The block drawn as the program draws pictures (SetDIBitsToDevice) on a
// 24-bit surface filled with `fill` first.
Rgb DrawDib(DibBlock *dib, COLORREF fill = 0);
Rgb DrawFile(const std::string &file);
Rgb Filled(int width, int height, COLORREF colour);
Rgb ReadBack(HDC dc, int x, int y, int width, int height);   // with BitBlt
// Raw r, g, b bytes as ImageMagick writes them; empty when of another size.
Rgb ReadRgb(const std::string &name, int width, int height);
Rgb Crop(const Rgb &big, int x, int y, int width, int height);
// The picture with the lens at (x, y), from the lens table (built by the
// caller) and the untouched picture.
Rgb WithLens(const Rgb &picture, int x, int y);
long Differences(const Rgb &a, const Rgb &b);   // -1 when the sizes differ
