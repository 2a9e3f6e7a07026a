// SPDX-License-Identifier: MIT
// The PATH hello hands the command processor, with its own folder at the end.
#include "search_path.hpp"
#include "table.hpp"

#include <optional>
#include <string>
#include <vector>

namespace
{

using Text = std::optional<std::string>; // none: unset, or left as it is

struct Row {
    const char *name;
    Text inherited;
    std::string defaults;      // what confstr(_CS_PATH) wrote
    std::size_t defaults_size; // and returned: 0 where it failed
    std::string folder;
    Text path; // what is handed on
};

constexpr auto none = std::nullopt;
constexpr std::size_t longest = search_path::longest;
const std::string at_limit(longest - 4, '/'); // with ":/op" the longest that can be handed on
const std::string default_path = "/bin:/usr/bin";
const std::string long_default(300, '/');

const std::vector<Row> rows = {
    {"appended", "/usr/bin:/bin", "", 0, "/opt/h", "/usr/bin:/bin:/opt/h"},
    {"colon_in_folder", "/bin", "", 0, "/a:b", none},
    {"no_folder", "/bin", "", 0, "", none},
    {"empty", "", "", 0, "/opt/h", "/opt/h"},
    {"unset", none, default_path, default_path.size() + 1, "/opt/h", default_path + ":/opt/h"},
    {"unset_default_failing", none, "", 0, "/opt/h", none},
    {"unset_default_past_256", none, long_default, 301, "/h", long_default + ":/h"},
    {"filling_the_limit", at_limit, "", 0, "/op", at_limit + ":/op"},
    {"one_byte_past_the_limit", at_limit, "", 0, "/opt", none},
};

TABLE(SearchPath, Row, rows);

TEST_P(SearchPath, FolderAtTheEnd)
{
    const Row &row = GetParam();
    std::vector<char> defaults(search_path::longest + 1);
    row.defaults.copy(defaults.data(), defaults.size() - 1);
    std::vector<char> path(search_path::longest + 1);
    const bool handed =
        search_path::compose(path.data(), row.inherited ? row.inherited->c_str() : nullptr,
                             defaults.data(), row.defaults_size, row.folder);
    EXPECT_EQ(handed ? Text(path.data()) : std::nullopt, row.path);
}

} // namespace
