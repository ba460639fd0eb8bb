#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

// A parameterised case's test name from its `what` text, with every other character made '_'.
template <class Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    std::string name = info.param.what;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}
