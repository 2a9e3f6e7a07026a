// SPDX-License-Identifier: MIT
// A program's path cut to its folder.
#include "folder.hpp"

#include <gtest/gtest.h>

#include <vector>

#include <array>
#include <string>

namespace
{

struct Row {
    std::string path;
    std::string folder;
    std::size_t len; // 0: no folder
};

class Folder : public testing::TestWithParam<Row>
{
};

TEST_P(Folder, Cut)
{
    const Row &row = GetParam();
    std::array<char, PATH_MAX> path{};
    row.path.copy(path.data(), path.size() - 1);
    EXPECT_EQ(folder::cut(path.data()), row.len);
    EXPECT_EQ(std::string(path.data()), row.folder);
}

const std::vector<Row> folder_rows = {
    {"/usr/bin/hello", "/usr/bin", 8},
    {"/hello", "/", 1},
    {"/opt/a b/bin/pause", "/opt/a b/bin", 12},
    {"/a:b/hello", "/a:b", 4},
    {"hello", "hello", 0},
};

INSTANTIATE_TEST_SUITE_P(Table, Folder, testing::ValuesIn(folder_rows));

} // namespace
