#pragma once

#include <gtest/gtest.h>

#include <string>

// Name generator for INSTANTIATE_TEST_SUITE_P: each case of a table is named after its `name`
// member (`Name` in the folders that follow the T…/F… convention), so a failure names its row:
//   INSTANTIATE_TEST_SUITE_P(Examples, Suite, testing::ValuesIn(Cases), caseName);
inline constexpr auto caseName = []<class Case>(const testing::TestParamInfo<Case>& info) -> std::string {
    if constexpr (requires { info.param.name; })
        return std::string(info.param.name);
    else
        return std::string(info.param.Name);
};
