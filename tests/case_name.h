#pragma once
// Names each case of a table by its `name` member.
#include <gtest/gtest.h>

#include <string>

struct CaseName {
  template <typename Case>
  std::string operator()(const testing::TestParamInfo<Case>& param) const {
    return param.param.name;
  }
};
