#pragma once

#include <gtest/gtest.h>

#include <string>

namespace ambrin::test {

// A table row's name as a test name: letters and digits kept, the rest joined by "_".
inline std::string RowName(const std::string& name)
{
    std::string out;
    for (const char c : name) {
        const bool word = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (word) out += c;
        else if (!out.empty() && out.back() != '_') out += '_';
    }
    while (!out.empty() && out.back() == '_') out.pop_back();
    return out.empty() ? "row" : out;
}

// Names parameterised tests after their rows' name fields, so that each row runs and fails alone.
struct ByRowName {
    template <typename Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& row) const
    {
        return RowName(row.param.name);
    }
};

}  // namespace ambrin::test
