// tests/support/param_name.h: names table rows after their `name` field in test output.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace pixelfold::test {

struct ParamName {
    template <class Case>
    std::string operator()(const testing::TestParamInfo<Case>& row) const {
        return row.param.name;
    }
};

}  // namespace pixelfold::test
