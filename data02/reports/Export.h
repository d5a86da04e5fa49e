#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace qff {

// The vocabulary of a generated page. Each call produces its markup at once,
// so a page is written strictly in document order. Texts are shown as given:
// the writer escapes them, and only writeRaw and writeRawNumber pass markup.
class Export {
  public:
    virtual ~Export() = default;

    // A colour is 0x00BBGGRR; 0 means none.
    virtual void setTextColor(std::uint32_t colour) = 0;
    // Null writes nothing. The caller keeps owning the stream.
    virtual void setOutput(std::ostream* output) = 0;
    virtual void beginDocument(std::string_view title, std::string_view background) = 0;
    virtual void endDocument() = 0;
    virtual void beginCenter() = 0;
    virtual void endCenter() = 0;
    virtual void beginHeading(int level) = 0;
    // align: 0 left, 1 right, 2 centre, anything else none.
    virtual void beginHeading(int level, int align) = 0;
    virtual void endHeading(int level) = 0;
    virtual void heading(int level, int align, std::string_view text) = 0;
    // style: 0 bold, 1 big, 2 small, 3 strong, 4 italic, 5 underlined,
    // 6 emphasis, 7 subscript, 8 superscript.
    virtual void beginStyle(int style) = 0;
    virtual void endStyle(int style) = 0;
    virtual void writeLine(std::string_view text) = 0;
    virtual void writeText(std::string_view text, bool newline) = 0;
    virtual void writeStyled(std::string_view text, bool newline, bool bold, bool italic,
                             bool big) = 0;
    // Numbers take 64 bits: totals of points may pass what an int holds.
    virtual void writeNumberLine(std::int64_t n) = 0;
    virtual void writeNumber(std::int64_t n, bool newline) = 0;
    virtual void writeStyledNumber(std::int64_t n, bool newline, bool bold, bool italic,
                                   bool big) = 0;
    virtual void beginLink(std::string_view url) = 0;
    virtual void endLink() = 0;
    virtual void imageIfAny(std::string_view source) = 0;
    virtual void image(std::string_view source, bool centred) = 0;
    virtual void lineBreak() = 0;
    virtual void paragraph() = 0;
    virtual void horizontalRule() = 0;
    // width is a percentage, left out when 1 or less; so are borders of 0.
    virtual void beginTable(int border) = 0;
    virtual void beginTable(int border, int width) = 0;
    virtual void beginTable(int border, std::string_view caption) = 0;
    virtual void beginTable(int border, int width, std::string_view caption) = 0;
    virtual void endTable() = 0;
    virtual void beginRow() = 0;
    virtual void beginRow(int align) = 0;
    virtual void beginRow(std::string_view colour) = 0;
    virtual void beginRow(int align, std::string_view colour) = 0;
    virtual void endRow() = 0;
    // Widths, column and row spans of 1 or less are left out.
    virtual void beginHeaderCell() = 0;
    virtual void beginHeaderCell(int width) = 0;
    virtual void beginHeaderCell(int colspan, int rowspan) = 0;
    virtual void beginHeaderCell(int width, int colspan, int rowspan) = 0;
    virtual void endHeaderCell() = 0;
    virtual void headerCellNumber(std::int64_t n) = 0;
    virtual void headerCellNumber(std::int64_t n, int width) = 0;
    virtual void headerCellNumber(std::int64_t n, int colspan, int rowspan) = 0;
    virtual void headerCellNumber(std::int64_t n, int width, int colspan, int rowspan) = 0;
    virtual void headerCell(std::string_view text) = 0;
    virtual void headerCell(std::string_view text, int width) = 0;
    virtual void headerCell(std::string_view text, int colspan, int rowspan) = 0;
    virtual void headerCell(std::string_view text, int width, int colspan, int rowspan) = 0;
    virtual void beginCell() = 0;
    virtual void beginCell(int colspan, int rowspan) = 0;
    virtual void endCell() = 0;
    virtual void cellNumber(std::int64_t n) = 0;
    virtual void cellNumber(std::int64_t n, int colspan, int rowspan) = 0;
    virtual void cell(std::string_view text) = 0;
    virtual void cell(std::string_view text, int colspan, int rowspan) = 0;
    // kind: 0 ordered, 1 unordered, 2 definition, 3 plain.
    virtual void beginList(int kind) = 0;
    // numbering: 1 "A", 2 "a", 3 "I", 4 "i".
    virtual void beginOrderedList(int kind, int numbering) = 0;
    // bullet: 0 disc, 1 circle, 2 square.
    virtual void beginUnorderedList(int kind, int bullet) = 0;
    virtual void endList(int kind) = 0;
    virtual void listItem(int kind, std::string_view text) = 0;
    virtual void listItem(int kind, std::string_view term, std::string_view text) = 0;
    virtual void beginForm(std::string_view action) = 0;
    virtual void endForm() = 0;
    virtual void textInput(std::string_view name, std::string_view value, int size) = 0;
    virtual void textArea(std::string_view name, std::string_view text, int rows, int cols) = 0;
    virtual void checkBox(std::string_view name, std::string_view value, std::string_view label,
                          bool checked) = 0;
    virtual void radioButton(std::string_view name, std::string_view value, std::string_view label,
                             bool checked) = 0;
    virtual void beginSelect(std::string_view name, int size) = 0;
    virtual void endSelect() = 0;
    virtual void option(std::string_view text, bool selected) = 0;
    virtual void hiddenInput(std::string_view name, std::string_view value) = 0;
    virtual void submitButton() = 0;
    virtual void resetButton() = 0;
    virtual void writeRawNumber(std::int64_t n, bool newline) = 0;
    virtual void writeRaw(std::string_view text, bool newline) = 0;

    // True once some write did not reach the output, so a half-written page
    // is never taken for a finished one. A stream's own buffer may still fail
    // when its owner flushes it; the owner asks after flushing.
    virtual bool failed() const = 0;
};

// Writes HTML with upper-case tag names.
class ExportHTML : public Export {
  public:
    ExportHTML() = default;
    ExportHTML(const ExportHTML&) = delete;
    ExportHTML& operator=(const ExportHTML&) = delete;

    void setTextColor(std::uint32_t colour) override;
    void setOutput(std::ostream* output) override;
    void beginDocument(std::string_view title, std::string_view background) override;
    void endDocument() override;
    void beginCenter() override;
    void endCenter() override;
    void beginHeading(int level) override;
    void beginHeading(int level, int align) override;
    void endHeading(int level) override;
    void heading(int level, int align, std::string_view text) override;
    void beginStyle(int style) override;
    void endStyle(int style) override;
    void writeLine(std::string_view text) override;
    void writeText(std::string_view text, bool newline) override;
    void writeStyled(std::string_view text, bool newline, bool bold, bool italic,
                     bool big) override;
    void writeNumberLine(std::int64_t n) override;
    void writeNumber(std::int64_t n, bool newline) override;
    void writeStyledNumber(std::int64_t n, bool newline, bool bold, bool italic, bool big) override;
    void beginLink(std::string_view url) override;
    void endLink() override;
    void imageIfAny(std::string_view source) override;
    void image(std::string_view source, bool centred) override;
    void lineBreak() override;
    void paragraph() override;
    void horizontalRule() override;
    void beginTable(int border) override;
    void beginTable(int border, int width) override;
    void beginTable(int border, std::string_view caption) override;
    void beginTable(int border, int width, std::string_view caption) override;
    void endTable() override;
    void beginRow() override;
    void beginRow(int align) override;
    void beginRow(std::string_view colour) override;
    void beginRow(int align, std::string_view colour) override;
    void endRow() override;
    void beginHeaderCell() override;
    void beginHeaderCell(int width) override;
    void beginHeaderCell(int colspan, int rowspan) override;
    void beginHeaderCell(int width, int colspan, int rowspan) override;
    void endHeaderCell() override;
    void headerCellNumber(std::int64_t n) override;
    void headerCellNumber(std::int64_t n, int width) override;
    void headerCellNumber(std::int64_t n, int colspan, int rowspan) override;
    void headerCellNumber(std::int64_t n, int width, int colspan, int rowspan) override;
    void headerCell(std::string_view text) override;
    void headerCell(std::string_view text, int width) override;
    void headerCell(std::string_view text, int colspan, int rowspan) override;
    void headerCell(std::string_view text, int width, int colspan, int rowspan) override;
    void beginCell() override;
    void beginCell(int colspan, int rowspan) override;
    void endCell() override;
    void cellNumber(std::int64_t n) override;
    void cellNumber(std::int64_t n, int colspan, int rowspan) override;
    void cell(std::string_view text) override;
    void cell(std::string_view text, int colspan, int rowspan) override;
    void beginList(int kind) override;
    void beginOrderedList(int kind, int numbering) override;
    void beginUnorderedList(int kind, int bullet) override;
    void endList(int kind) override;
    void listItem(int kind, std::string_view text) override;
    void listItem(int kind, std::string_view term, std::string_view text) override;
    void beginForm(std::string_view action) override;
    void endForm() override;
    void textInput(std::string_view name, std::string_view value, int size) override;
    void textArea(std::string_view name, std::string_view text, int rows, int cols) override;
    void checkBox(std::string_view name, std::string_view value, std::string_view label,
                  bool checked) override;
    void radioButton(std::string_view name, std::string_view value, std::string_view label,
                     bool checked) override;
    void beginSelect(std::string_view name, int size) override;
    void endSelect() override;
    void option(std::string_view text, bool selected) override;
    void hiddenInput(std::string_view name, std::string_view value) override;
    void submitButton() override;
    void resetButton() override;
    void writeRawNumber(std::int64_t n, bool newline) override;
    void writeRaw(std::string_view text, bool newline) override;
    bool failed() const override;

  private:
    void put(std::string_view bytes);
    // Markup that is already safe, wrapped in the text colour inside tables.
    void writeColoured(std::string_view markup, bool newline);
    void writeInput(std::string_view type, std::string_view name, std::string_view value,
                    std::string_view label, bool checked);

    std::ostream* output_ = nullptr;
    std::uint32_t textColour_ = 0;
    int centreDepth_ = 0;
    int tableDepth_ = 0;
    bool failed_ = false;
};

// Text shown as it is: & < > and " become character references.
std::string escapeHtmlText(std::string_view text);
// A value between double quotes: as escapeHtmlText, and ' too.
std::string escapeHtmlAttribute(std::string_view value);

// A relative link to a page whose path is built from names: every byte of
// each component outside letters, digits and "-._~" is percent-encoded, and
// '/' stays the separator.
std::string percentEncodePath(std::string_view relativePath);

}  // namespace qff
