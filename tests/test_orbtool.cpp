// orbtool, run as a child process the way people run it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <map>
#include <sstream>
#include <string>

#include "image/dib.h"
#include "support/bmp_builder.h"
#include "support/desktop.h"
#include "support/pixels.h"

namespace {

std::string Env(const char *name)
{
    const char *v = getenv(name);
    return v ? v : "";
}

DWORD RunOrbtool(const std::string &arguments, std::string *output)
{
    return RunCapturing("\"" + Env("ORB_ORBTOOL") + "\" " + arguments, output);
}

class OrbtoolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (Env("ORB_ORBTOOL").empty())
            GTEST_SKIP() << "ORB_ORBTOOL not set";
    }
};

// Over the whole corpus: no crash, one line a file, the reader's own codes.
TEST_F(OrbtoolTest, CheckAgreesWithTheReaderOverTheCorpus)
{
    std::string corpus = Env("ORB_BMPSUITE");
    if (corpus.empty())
        GTEST_SKIP() << "ORB_BMPSUITE not set";
    std::string arguments;
    std::map<std::string, DibError> codes;
    for (const char *dir : {"b", "g", "q", "x"}) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((corpus + "/" + dir + "/*.bmp").c_str(), &fd);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        do {
            std::string path = corpus + "/" + dir + "/" + fd.cFileName;
            arguments += " \"" + path + "\"";
            DibError error;
            FreeDib(LoadDib(&error, path.c_str()));
            codes[path] = error;
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    std::string output;
    EXPECT_EQ(1u, RunOrbtool("check" + arguments, &output)) << "some corpus files are unusable";
    std::istringstream lines(output);
    std::string line;
    size_t seen = 0;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string name, code, meaning, width, height, bits, compression, usable;
        std::getline(fields, name, '\t');
        std::getline(fields, code, '\t');
        std::getline(fields, meaning, '\t');
        for (std::string *f : {&width, &height, &bits, &compression, &usable})
            std::getline(fields, *f, '\t');
        ASSERT_EQ(1u, codes.count(name)) << line;
        EXPECT_EQ(codes[name], atoi(code.c_str())) << line;
        EXPECT_FALSE(usable.empty()) << line;
        EXPECT_EQ(usable.rfind("usable", 0) == 0, codes[name] == 0 && usable == "usable") << line;
        seen++;
    }
    EXPECT_EQ(codes.size(), seen);
}

TEST_F(OrbtoolTest, CheckUsableAndUnusableExitStatus)
{
    BmpBuilder picture;
    picture.width = 486;
    picture.height = 372;
    WriteFileBytes("good.bmp", picture.Build());
    picture.width = 90;
    WriteFileBytes("narrow.bmp", picture.Build());
    std::string output;
    EXPECT_EQ(0u, RunOrbtool("check good.bmp", &output));
    EXPECT_EQ("good.bmp\t0\tloaded\t486\t372\t8\t0\tusable\r\n", output);
    output.clear();
    EXPECT_EQ(1u, RunOrbtool("check good.bmp narrow.bmp missing.bmp", &output));
    EXPECT_NE(std::string::npos, output.find("narrow.bmp\t0\tloaded\t90\t372\t8\t0\tunusable: smaller than 102 x 102"));
    EXPECT_NE(std::string::npos, output.find("missing.bmp\t101\t"));
    output.clear();
    EXPECT_EQ(2u, RunOrbtool("frobnicate", &output));
}

TEST_F(OrbtoolTest, ConvertKeepsThePixelsAtTwentyFourBits)
{
    BmpBuilder b;
    b.width = 45;
    b.height = 21;
    WriteFileBytes("in.bmp", b.Build());
    for (const char *bits : {"", " 24", " 8"}) {
        DeleteFileA("out.bmp");
        std::string output;
        ASSERT_EQ(0u, RunOrbtool(std::string("convert in.bmp out.bmp") + bits, &output)) << output;
        DibError error;
        DibBlock *in = LoadDib(&error, "in.bmp");
        DibBlock *out = LoadDib(&error, "out.bmp");
        ASSERT_NE(nullptr, out) << bits;
        EXPECT_EQ(*bits == ' ' && bits[1] == '8' ? 8u : 24u, out->bitCount);
        if (out->bitCount == 24) {
            EXPECT_EQ(0, CountDifferences(DrawDib(in, 0), DrawDib(out, 0)));
        }
        FreeDib(in);
        FreeDib(out);
    }
    std::string output;
    EXPECT_EQ(1u, RunOrbtool("convert missing.bmp out.bmp", &output));
    EXPECT_EQ(2u, RunOrbtool("convert in.bmp out.bmp 16", &output));
}

}  // namespace
