// A public BMP corpus that nobody here wrote: every file either loads and
// then draws exactly as ImageMagick decodes it, or is refused with a code.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "image/dib.h"
#include "support/bmp_builder.h"
#include "support/pixels.h"

namespace {

std::string Env(const char *name)
{
    const char *v = getenv(name);
    return v ? v : "";
}

std::vector<std::string> CorpusFiles(const std::string &root)
{
    std::vector<std::string> files;
    for (const char *dir : {"b", "g", "q", "x"}) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((root + "/" + dir + "/*.bmp").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE)
            continue;
        do
            files.push_back(std::string(dir) + "/" + fd.cFileName);
        while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    return files;
}

// The good files whose headers the reader accepts: each must load and
// match ImageMagick exactly.
const std::set<std::string> kMustLoad = {
    "g/pal1.bmp", "g/pal1bg.bmp", "g/pal1wb.bmp", "g/pal4.bmp", "g/pal4gs.bmp", "g/pal4rle.bmp", "g/pal8-0.bmp",
    "g/pal8.bmp", "g/pal8gs.bmp", "g/pal8nonsquare.bmp", "g/pal8os2.bmp", "g/pal8rle.bmp", "g/pal8topdown.bmp",
    "g/pal8v4.bmp", "g/pal8v5.bmp", "g/pal8w124.bmp", "g/pal8w125.bmp", "g/pal8w126.bmp", "g/rgb24.bmp",
    "g/rgb24pal.bmp",
};

// Files that ImageMagick misreads or refuses although they are sound, each
// with a file of the corpus that holds the same picture in a plainer form:
// ImageMagick takes the colour entries of a 64-byte OS/2 header as three
// bytes, and refuses a colour table with more entries than the bit count.
const std::map<std::string, std::string> kSamePictureAs = {
    {"q/pal8os2v2.bmp", "g/pal8.bmp"},
    {"q/pal8os2v2-sz.bmp", "g/pal8.bmp"},
    {"q/pal8oversizepal.bmp", "g/pal8.bmp"},
    {"b/badpalettesize.bmp", "g/pal8.bmp"},
};

TEST(Corpus, EveryFileLoadsRightOrIsRefused)
{
    std::string corpus = Env("ORB_BMPSUITE"), refs = Env("ORB_REFERENCES");
    if (corpus.empty())
        GTEST_SKIP() << "ORB_BMPSUITE not set";
    std::vector<std::string> files = CorpusFiles(corpus);
    ASSERT_GE(files.size(), 80u) << corpus;
    std::map<std::string, std::string> outcome;
    int loaded = 0, refused = 0, compared = 0;
    for (const std::string &rel : files) {
        DibError error = -1;
        DibBlock *dib = LoadDib(&error, (corpus + "/" + rel).c_str());
        if (!dib) {
            EXPECT_NE(0, error) << rel;
            EXPECT_EQ(0u, kMustLoad.count(rel)) << rel << " refused with " << error;
            refused++;
            outcome[rel] = "refused " + std::to_string(error);
            continue;
        }
        loaded++;
        EXPECT_EQ(0, error) << rel;
        EXPECT_GT(dib->height, 0) << rel;
        EXPECT_EQ(40u, dib->info.biSize) << rel;
        Rgb reference;
        auto same = kSamePictureAs.find(rel);
        std::string refName = same == kSamePictureAs.end() ? rel : same->second;
        if (ReadPpm(refs + "/" + refName + ".ppm", &reference)) {
            // Run-length skips leave the surface as it was; ImageMagick shows
            // colour 0 there, so that is what the surface starts as.
            const RGBQUAD &c0 = dib->colors[0];
            Rgb drawn = DrawDib(dib, RGB(c0.rgbRed, c0.rgbGreen, c0.rgbBlue));
            long differences = CountDifferences(drawn, reference);
            EXPECT_EQ(0, differences) << rel;
            compared++;
            outcome[rel] = "loaded, " + std::to_string(differences) + " pixels differ from " + refName;
        } else {
            EXPECT_EQ(0u, kMustLoad.count(rel)) << rel << " has no reference";
            outcome[rel] = "loaded, no reference";
        }
        EXPECT_EQ(0, FreeDib(dib));
    }
    for (const std::string &rel : kMustLoad)
        EXPECT_EQ(1u, outcome.count(rel)) << rel << " missing from the corpus";
    for (const auto &o : outcome)
        printf("  %-26s %s\n", o.first.c_str(), o.second.c_str());
    printf("%d files: %d loaded (%d compared), %d refused\n", int(files.size()), loaded, compared, refused);
}

}  // namespace
