// SPDX-License-Identifier: MIT
// What /proc lists of a process's children, read in pieces as read() gives them, and what the
// start of a process's stat says of it.
#include "children.hpp"
#include "table.hpp"

#include <string>
#include <vector>

namespace
{

struct Row {
    const char *name;
    std::vector<std::string> pieces; // read one after the other
    std::vector<pid_t> pids;         // the children taken from them
};

// count six-digit PIDs from first on, as the list gives them, and what it gives.
std::string list(pid_t first, int count)
{
    std::string text;
    for (pid_t pid = first; pid < first + count; ++pid) {
        text += std::to_string(pid) + " ";
    }
    return text;
}

std::vector<pid_t> pids(pid_t first, int count)
{
    std::vector<pid_t> all;
    for (pid_t pid = first; pid < first + count; ++pid) {
        all.push_back(pid);
    }
    return all;
}

const std::vector<Row> rows = {
    {"line_end", {"12\n"}, {12}},
    {"longer_than_any_first_read", {list(150019, 37) + "150"}, pids(150019, 37)},
    {"entry_across_pieces", {"150", "055 7 "}, {150055, 7}},
    {"space_in_a_piece_of_its_own", {"12", " ", "3 "}, {12, 3}},
    {"cut_by_the_end", {"150055 150"}, {150055}},
    {"cut_in_a_piece_of_its_own", {"150055 ", "150"}, {150055}},
    {"past_any_pid", {"99999999999 12 "}, {12}},
    {"not_a_number", {"1x2 5 "}, {5}},
    {"zero", {"0 4 "}, {4}},
};

TABLE(Children, Row, rows);

TEST_P(Children, ListedWhole)
{
    const Row &row = GetParam();
    children::Partial partial;
    std::vector<pid_t> taken;
    for (const std::string &piece : row.pieces) {
        std::vector<pid_t> pids(piece.size());
        pids.resize(children::parse(piece.data(), piece.size(), partial, pids.data()));
        taken.insert(taken.end(), pids.begin(), pids.end());
    }
    EXPECT_EQ(taken, row.pids);
}

struct StatRow {
    const char *name;
    std::string text; // as read of /proc/PID/stat
    char state;       // 0: not told
    pid_t parent;
};

const std::vector<StatRow> stat_rows = {
    {"running", "42 (sh) S 7 42 42 0 -1", 'S', 7},
    {"name_like_the_rest", "42 (x) S 9 (y) R 7 1 2", 'R', 7},
    {"parent_outside_the_namespace", "1 (hello) S 0 1 1 ", 'S', 0},
    {"cut_in_the_parent", "42 (sh) S 15", 0, 0},
    {"parent_past_any_pid", "42 (sh) S 99999999999 ", 0, 0},
};

TABLE(Stat, StatRow, stat_rows);

TEST_P(Stat, StateAndParent)
{
    const StatRow &row = GetParam();
    const children::Stat stat = children::stat(row.text.data(), row.text.size());
    EXPECT_EQ(stat.state, row.state);
    EXPECT_EQ(stat.parent, row.parent);
}

} // namespace
