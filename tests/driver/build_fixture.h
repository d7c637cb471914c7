// A build's test folder: an application folder holding two pictures, the
// writer set up as a build sets it up, and the project that packs them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "archive/brask.h"
#include "builder/build_driver.h"
#include "support/bmp_file.h"
#include "support/test_support.h"

namespace grix::test {

class BuildFixture : public ::testing::Test {
  protected:
    TempDir dir;
    std::string app = dir.path().string() + "/";
    BuildFolders folders = FoldersFor(app);
    TBrask brask;

    void SetUp() override {
        ConfigureSuiteArchiver(brask);
        WriteInkBmp(dir / "heart.bmp", 5, 4, [](int x, int y) { return (x + y) % 2 == 0; });
        WriteInkBmp(dir / "bar.bmp", 3, 3, [](int, int y) { return y == 1; });
    }

    // Both pictures, the first with a title.
    CrosswordProject ProjectOf(const std::string& name, const std::string& info) {
        CrosswordProject p;
        p.name = name;
        p.info = info;
        p.pictures = {{1, dir / "heart.bmp", "5 * 4", "Heart"}, {2, dir / "bar.bmp", "3 * 3", ""}};
        p.list_empty = false;
        return p;
    }

    std::string Jar(const std::string& name = "Cat") { return folders.suite + "/" + name + ".jar"; }
    std::string Jad(const std::string& name = "Cat") { return folders.suite + "/" + name + ".jad"; }
};

}  // namespace grix::test
