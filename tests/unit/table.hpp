// SPDX-License-Identifier: MIT
// A table of rows as a parametrized suite: each case is named after its row's name cell, in the
// test's name and in what a failure says.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

// NOLINTBEGIN(bugprone-macro-parentheses): Suite and Row are names declared, not expressions
#define TABLE(Suite, Row, rows)                                                                    \
    [[maybe_unused]] void PrintTo(const Row &row, std::ostream *out)                               \
    {                                                                                              \
        *out << row.name;                                                                          \
    }                                                                                              \
    using Suite = testing::TestWithParam<Row>;                                                     \
    INSTANTIATE_TEST_SUITE_P(Table, Suite, testing::ValuesIn(rows),                                \
                             [](const auto &row) { return std::string(row.param.name); })
// NOLINTEND(bugprone-macro-parentheses)
