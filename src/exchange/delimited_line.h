// Lines and columns of delimited text files, independent of any table.
//
// One line per row, every line written with the end CR LF. Columns are separated by a separator
// text; a text value that contains the separator or a double quote is written between
// double quotes with its inner quotes doubled. Other programs read and write these
// files, so the reading rules below are kept exactly, odd corners included.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace yorbel::exchange {

// The end of every written line.
inline constexpr std::string_view kLineEnd = "\r\n";

// Reads a whole file's text line by line. A line ends at an LF, alone or after a CR (as
// the tools of other systems write lines); the end is consumed and not part of the line.
// A CR that no LF follows stays in the line. At the end of the text the last line ends as
// well, so a last line without an end is read whole. Lines have no length limit.
class LineReader {
  public:
    explicit LineReader(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }

    // The next line; valid as long as the text given to the constructor.
    // Precondition: !AtEnd().
    std::string_view ReadLine();

    // 1-based number of the line ReadLine returned last (0 before the first).
    int LineNumber() const { return line_number_; }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int line_number_ = 0;
};

// The text with every double quote doubled.
std::string DoubleQuotes(std::string_view text);

// Appends a text value as one column: as it stands, or quoted when it holds the separator
// or a double quote.
void AppendTextColumn(std::string& line, std::string_view value, std::string_view separator);

// Splits one line (without its line end) into its column values and returns how many
// columns the line has.
//
// A value that starts with a double quote is quoted: a doubled quote inside stands for
// one quote; a quote followed by the separator ends the value; a quote at the end of the
// line ends value and line; a quote followed by any other character drops both and the
// quoted value goes on (so `"ab"c,1` is the single value `ab,1`); an unclosed value runs
// to the end of the line. An unquoted value runs to the next separator, spaces and quotes
// included. An empty line is one empty value; a line that ends right after a separator
// has no value after it, though it counts that empty column. An empty separator makes
// the whole line one value.
//
// `values` is cleared first; its strings are reused to spare allocations. Values past
// the first `max_values` are counted but not kept, so a line of millions of separators
// costs no millions of strings.
std::size_t SplitColumns(std::string_view line, std::string_view separator,
                         std::vector<std::string>& values,
                         std::size_t max_values = static_cast<std::size_t>(-1));

}  // namespace yorbel::exchange
