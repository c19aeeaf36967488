// The entry of the programs that play the real basketball.exe, given as the first argument.
#include <gtest/gtest.h>

#include <cstdio>

#include "desktop_robot.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s path\\to\\basketball.exe [gtest options]\n", argv[0]);
        return 2;
    }
    programPath = argv[1];
    return RUN_ALL_TESTS();
}
