#include "screening/RuleTable.h"

#include "base/Files.h"
#include "base/Text.h"

#include <algorithm>
#include <atomic>
#include <numeric>
#include <optional>

namespace mv {

namespace {
// Every `a` becomes `toA` and every `b` becomes `toB`.
std::string replaceChars(std::string text, char a, char toA, char b, char toB) {
    for (char& c : text) {
        if (c == a)
            c = toA;
        else if (c == b)
            c = toB;
    }
    return text;
}

// CR and LF cannot stand inside a line of the file, so they travel as TAB and backspace.
std::string escapeCell(std::string text) {
    return replaceChars(std::move(text), '\r', '\t', '\n', '\b');
}

std::string unescapeCell(std::string_view text) {
    return replaceChars(std::string(text), '\t', '\r', '\b', '\n');
}

// A cell index or width from the file; anything negative or unreadable is refused.
std::optional<long long> fileNumber(std::string_view text) {
    std::optional<long long> n = parseInteger(text);
    if (!n || *n < 0) return std::nullopt;
    return n;
}

std::string corrupt(const std::string& path) {
    return "File contains no data or corrupt file " + path;
}

const std::string kEmpty;
} // namespace

void RuleTable::touch() {
    static std::atomic<std::uint64_t> lastRevision{0};
    m_revision = ++lastRevision;
}

bool RuleTable::operator==(const RuleTable& other) const {
    return m_columns == other.m_columns && m_rows == other.m_rows;
}

RuleTable::RuleTable(int colCount, int rowCount) {
    setColCount(colCount);
    setRowCount(rowCount);
}

void RuleTable::setColCount(int count) {
    if (count < 0) throw std::out_of_range("negative column count");
    m_columns.resize(static_cast<std::size_t>(count));
    for (Row& row : m_rows)
        row.resize(m_columns.size());
    touch();
}

void RuleTable::setRowCount(int count) {
    if (count < 0) throw std::out_of_range("negative row count");
    m_rows.resize(static_cast<std::size_t>(count), Row(m_columns.size()));
    touch();
}

void RuleTable::checkColumn(int col) const {
    if (col < 0 || col >= colCount()) throw std::out_of_range("column index out of range");
}

void RuleTable::checkRow(int row) const {
    if (row < 0 || row >= rowCount()) throw std::out_of_range("row index out of range");
}

bool RuleTable::hasCell(int col, int row) const {
    return col >= 0 && col < colCount() && row >= 0 && row < rowCount();
}

RuleTable::Cell& RuleTable::at(int col, int row) {
    checkColumn(col);
    checkRow(row);
    return m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

const RuleTable::Cell* RuleTable::find(int col, int row) const {
    if (!hasCell(col, row)) return nullptr;
    return &m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

const std::string& RuleTable::cell(int col, int row) const {
    const Cell* c = find(col, row);
    return c ? c->text : kEmpty;
}

void RuleTable::setCell(int col, int row, std::string text) {
    at(col, row).text = std::move(text);
    touch();
}

int RuleTable::picture(int col, int row) const {
    const Cell* c = find(col, row);
    return c ? c->picture : kNoPicture;
}

void RuleTable::setPicture(int col, int row, int picture) {
    at(col, row).picture = picture;
    touch();
}

bool RuleTable::isRowEmpty(int row) const {
    checkRow(row);
    const Row& cells = m_rows[static_cast<std::size_t>(row)];
    return std::all_of(cells.begin(), cells.end(), [](const Cell& c) { return c.text.empty(); });
}

void RuleTable::insertRow(int at) {
    if (at < 0 || at > rowCount()) throw std::out_of_range("row index out of range");
    m_rows.insert(m_rows.begin() + at, Row(m_columns.size()));
    touch();
}

void RuleTable::removeRow(int row) {
    checkRow(row);
    m_rows.erase(m_rows.begin() + row);
    touch();
}

void RuleTable::moveRow(int from, int to) {
    checkRow(from);
    checkRow(to);
    Row moving = std::move(m_rows[static_cast<std::size_t>(from)]);
    m_rows.erase(m_rows.begin() + from);
    m_rows.insert(m_rows.begin() + to, std::move(moving));
    touch();
}

void RuleTable::insertColumns(int at, int count) {
    if (at < 0 || at > colCount() || count < 0)
        throw std::out_of_range("column index out of range");
    m_columns.insert(m_columns.begin() + at, static_cast<std::size_t>(count), Column{});
    for (Row& row : m_rows)
        row.insert(row.begin() + at, static_cast<std::size_t>(count), Cell{});
    touch();
}

void RuleTable::removeColumn(int col) {
    checkColumn(col);
    m_columns.erase(m_columns.begin() + col);
    for (Row& row : m_rows)
        row.erase(row.begin() + col);
    touch();
}

void RuleTable::sortRows(int firstRow, const std::function<bool(int, int)>& less) {
    if (firstRow < 0 || firstRow > rowCount()) throw std::out_of_range("row index out of range");
    std::vector<int> order(static_cast<std::size_t>(rowCount() - firstRow));
    std::iota(order.begin(), order.end(), firstRow);
    std::stable_sort(order.begin(), order.end(), less);
    std::vector<Row> sorted;
    sorted.reserve(order.size());
    for (int row : order)
        sorted.push_back(std::move(m_rows[static_cast<std::size_t>(row)]));
    std::move(sorted.begin(), sorted.end(), m_rows.begin() + firstRow);
    touch();
}

void RuleTable::hideColumn(int col) {
    checkColumn(col);
    m_columns[static_cast<std::size_t>(col)].hidden = true;
    touch();
}

void RuleTable::showColumn(int col) {
    checkColumn(col);
    m_columns[static_cast<std::size_t>(col)].hidden = false;
    touch();
}

bool RuleTable::isHidden(int col) const {
    checkColumn(col);
    return m_columns[static_cast<std::size_t>(col)].hidden;
}

int RuleTable::columnWidth(int col) const {
    checkColumn(col);
    return m_columns[static_cast<std::size_t>(col)].width;
}

void RuleTable::setColumnWidth(int col, int width) {
    checkColumn(col);
    m_columns[static_cast<std::size_t>(col)].width = width;
    touch();
}

std::string RuleTable::toText() const {
    std::string out = std::to_string(colCount()) + "," + std::to_string(rowCount()) + "\r\n";
    for (int c = 0; c < colCount(); ++c)
        out += "cw " + std::to_string(c) + "," + std::to_string(columnWidth(c)) + "\r\n";
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < colCount(); ++c) {
            const std::string& text = cell(c, r);
            if (text.empty()) continue;
            out += std::to_string(c) + "," + std::to_string(r) + "," + escapeCell(text) + "\r\n";
        }
    return out;
}

void RuleTable::applyLine(std::string_view line) {
    std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) return;
    if (line.starts_with("cw")) { // "cw 3,112": the index starts at the fourth character
        if (comma < 3) return;
        std::optional<long long> col = fileNumber(line.substr(3, comma - 3));
        std::optional<long long> width = fileNumber(line.substr(comma + 1));
        if (col && width && *col < colCount() && *width <= INT32_MAX)
            setColumnWidth(static_cast<int>(*col), static_cast<int>(*width));
        return;
    }
    std::size_t second = line.find(',', comma + 1);
    if (second == std::string_view::npos) return;
    std::optional<long long> col = fileNumber(line.substr(0, comma));
    std::optional<long long> row = fileNumber(line.substr(comma + 1, second - comma - 1));
    if (!col || !row || *col >= colCount() || *row >= rowCount()) return;
    setCell(static_cast<int>(*col), static_cast<int>(*row), unescapeCell(line.substr(second + 1)));
}

void RuleTable::loadFromText(std::string_view text, const std::string& path) {
    std::vector<std::string> lines = splitLines(text);
    if (lines.empty()) throw TableFileError(corrupt(path));
    const std::string& size = lines.front();
    std::size_t comma = size.find(',');
    if (comma == std::string::npos) throw TableFileError(corrupt(path));
    std::optional<long long> cols = fileNumber(std::string_view(size).substr(0, comma));
    std::optional<long long> rows = fileNumber(std::string_view(size).substr(comma + 1));
    if (!cols || !rows || *cols == 0 || *rows == 0 || *cols > kMaxColumns || *rows > kMaxRows ||
        *cols * *rows > kMaxCells)
        throw TableFileError(corrupt(path));

    // Built aside and swapped in, so a failure leaves the table as it was; widths of columns the
    // file does not mention stay as they were.
    RuleTable loaded(static_cast<int>(*cols), static_cast<int>(*rows));
    for (int c = 0; c < loaded.colCount() && c < colCount(); ++c)
        loaded.m_columns[static_cast<std::size_t>(c)] = m_columns[static_cast<std::size_t>(c)];
    for (std::size_t i = 1; i < lines.size(); ++i)
        loaded.applyLine(lines[i]);
    *this = std::move(loaded);
}

void RuleTable::LoadFromFile(const std::filesystem::path& path) {
    std::optional<std::string> text;
    try {
        text = readFile(path);
    } catch (const FileError& e) {
        // A file that is there but cannot be read (a folder in its place, no permission) is no
        // missing file: the user is told what is wrong with it.
        throw TableFileError(e.what());
    }
    if (!text) throw TableFileError("File " + path.string() + " not found");
    loadFromText(*text, path.string());
}

void RuleTable::SaveToFile(const std::filesystem::path& path) const {
    writeFileAtomically(path, toText());
}

} // namespace mv
