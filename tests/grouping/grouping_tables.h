#pragma once

#include "core/handles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tarvik::testing {

// The data table of a record as the reader leaves it: header and columns.
inline void set_table(Handles& h, const TextList& header, const std::vector<TextList>& cells) {
    h.header = header;
    h.dataColumn.clear();
    for (std::size_t j = 0; j < header.size(); ++j) {
        TextList& column = h.dataColumn[header[j]];
        for (const TextList& line : cells)
            column.push_back(line[j]);
    }
}

// The matrix has `cols` columns and these values, row by row; NaN matches NaN.
inline void expect_matrix(const Matrix& m, std::size_t cols, const std::vector<double>& want) {
    EXPECT_EQ(m.cols, cols);
    ASSERT_EQ(m.values.size(), want.size());
    for (std::size_t k = 0; k < want.size(); ++k)
        EXPECT_TRUE(std::isnan(want[k]) ? std::isnan(m.values[k]) : m.values[k] == want[k])
            << "entry " << k << " is " << m.values[k] << ", expected " << want[k];
}

} // namespace tarvik::testing
