#include <gtest/gtest.h>

#include <regex>

#include "support/test_support.h"

namespace grix {
namespace {

// Failures that stop before any folder is touched, so the test leaves
// grix-cli's own folder alone.
TEST(CliBuild, FailuresPrintTheLogAndExitWithStatusOne) {
    const struct {
        std::string args;
        std::string failure;
    } cases[] = {
        {"", "Crossword name is empty"},
        {"--image x.bmp", "Crossword name is empty"},
        {"--name Cat", "Image list is empty"},
        {"--name ../Cat --image x.bmp", "Crossword name can not be used as a file name"},
    };
    for (const auto& c : cases) {
        std::string out, err;
        EXPECT_EQ(test::RunCommand(std::string(GRIX_CLI_PATH) + " build " + c.args, &out, &err), 1)
            << c.args;
        EXPECT_TRUE(std::regex_match(out, std::regex("Process started at \\d\\d:\\d\\d:\\d\\d\n"
                                                     "Process not ended, error: " +
                                                     std::regex_replace(c.failure, std::regex("[.]"), "\\.") +
                                                     "\n")))
            << c.args << ": " << out;
        EXPECT_EQ(err, "");
    }
}

TEST(CliBuild, ANoteBeforeAnyPictureIsAUsageError) {
    std::string out, err;
    EXPECT_EQ(test::RunCommand(std::string(GRIX_CLI_PATH) + " build --name Cat --note x --image a.bmp", &out, &err), 1);
    EXPECT_EQ(err, "--note must follow the --image it belongs to\n");
    EXPECT_EQ(out, "");
}

}  // namespace
}  // namespace grix
