// The picture-set tests double as the child process that some of them start.
#include <gtest/gtest.h>

int RunChildMode(int argc, char **argv);

int main(int argc, char **argv)
{
    int child = RunChildMode(argc, argv);
    if (child >= 0)
        return child;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
