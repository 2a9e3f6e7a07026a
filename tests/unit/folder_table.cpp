// SPDX-License-Identifier: MIT
// A program's path cut to its folder.
#include "folder.hpp"
#include "table.hpp"

#include <array>
#include <string>
#include <vector>

namespace
{

struct Row {
    const char *name;
    std::string path;
    std::string folder;
    std::size_t len; // 0: no folder
};

const std::vector<Row> rows = {
    {"absolute", "/usr/bin/hello", "/usr/bin", 8},
    {"in_the_root", "/hello", "/", 1},
    {"space", "/opt/a b/bin/pause", "/opt/a b/bin", 12},
    {"colon", "/a:b/hello", "/a:b", 4},
    {"bare_name", "hello", "hello", 0},
};

TABLE(Folder, Row, rows);

TEST_P(Folder, Cut)
{
    const Row &row = GetParam();
    std::array<char, PATH_MAX> path{};
    row.path.copy(path.data(), path.size() - 1);
    EXPECT_EQ(folder::cut(path.data()), row.len);
    EXPECT_EQ(std::string(path.data()), row.folder);
}

} // namespace
