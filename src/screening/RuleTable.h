#pragma once
// A rectangular table of text cells, one rule per row below the heading row 0, with an optional
// picture per cell, hidden columns and column widths; and its ".lst" table file. Owned by the rule
// set for as long as the program runs; the screening pass reads it and writes hit counts into it.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// A table file that cannot be read, or whose first line gives no usable size. The messages are the
// ones users of earlier versions know: "File <path> not found" and "File contains no data or
// corrupt file <path>".
class TableFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class RuleTable {
public:
    static constexpr int kNoPicture = -1;
    static constexpr int kDefaultWidth = 64;
    // Line 1 of a table file beyond these is taken as corruption: honouring it could exhaust
    // memory.
    static constexpr long long kMaxColumns = 64;
    static constexpr long long kMaxRows = 100000;
    static constexpr long long kMaxCells = 1000000;

    RuleTable(int colCount = 0, int rowCount = 0);

    int colCount() const { return static_cast<int>(m_columns.size()); }
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    // Growing adds empty cells; shrinking drops the cells beyond the new edge.
    void setColCount(int count);
    void setRowCount(int count);

    // A cell outside the table reads as empty text and no picture; writing one throws out_of_range.
    const std::string& cell(int col, int row) const;
    void setCell(int col, int row, std::string text);
    int picture(int col, int row) const;
    void setPicture(int col, int row, int picture);
    bool isRowEmpty(int row) const;

    // Row and column edits; `at` may equal the count (append). Out-of-range indexes throw.
    void insertRow(int at);
    void removeRow(int row);
    void moveRow(int from, int to);
    void insertColumns(int at, int count);
    void removeColumn(int col);
    // Stable sort of the rows from firstRow on; `less` compares rows by their current indexes.
    void sortRows(int firstRow, const std::function<bool(int rowA, int rowB)>& less);

    // A hidden column keeps its cells and is saved and loaded like any other; it is only not shown.
    void hideColumn(int col);
    void showColumn(int col);
    bool isHidden(int col) const;
    int columnWidth(int col) const;
    void setColumnWidth(int col, int width);

    // The table file: "C,R" line, one "cw c,width" line per column, then "col,row,text" for every
    // non-empty cell, CR LF line ends, CR and LF inside a text written as TAB and backspace.
    std::string toText() const;
    // Replaces the whole table with the file's content; on failure the table is unchanged.
    // `path` only names the file in the error message.
    void loadFromText(std::string_view text, const std::string& path);
    // Throws TableFileError; the table is then unchanged.
    void LoadFromFile(const std::filesystem::path& path);
    // Rewrites the file atomically; throws FileError, and the old file is then intact.
    void SaveToFile(const std::filesystem::path& path) const;

    // Changes with every edit and never comes back, so equal revisions of a table mean equal
    // content: lets readers keep what they derived from the cells until the table changes.
    std::uint64_t revision() const { return m_revision; }

    // Compares content: columns with their widths and flags, cells with their pictures.
    bool operator==(const RuleTable& other) const;

private:
    struct Cell {
        std::string text;
        int picture = kNoPicture;
        bool operator==(const Cell&) const = default;
    };
    struct Column {
        int width = kDefaultWidth;
        bool hidden = false;
        bool operator==(const Column&) const = default;
    };
    using Row = std::vector<Cell>;

    void checkCell(int col, int row) const;
    void checkColumn(int col) const;
    void checkRow(int row) const;
    void applyLine(std::string_view line);
    void touch();

    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    std::uint64_t m_revision = 0;
};

} // namespace mv
