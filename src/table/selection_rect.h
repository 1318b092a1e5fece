// The rectangle that bounds the selected cells of the result table.
#pragma once

namespace lintaro {

// Zero-based and inclusive; all four are -1 when nothing is selected.
struct SelectionRect {
    int first_row = -1;
    int first_column = -1;
    int last_row = -1;
    int last_column = -1;

    bool IsEmpty() const { return first_row < 0 || first_column < 0; }
    friend bool operator==(const SelectionRect&, const SelectionRect&) = default;
};

}  // namespace lintaro
