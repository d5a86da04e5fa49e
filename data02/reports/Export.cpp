#include "data02/reports/Export.h"

#include <algorithm>
#include <array>
#include <ostream>

namespace qff {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::string hexByte(unsigned value) {
    return {kHexDigits[(value >> 4) & 0xF], kHexDigits[value & 0xF]};
}

// Stored as 0x00BBGGRR, written as "#RRGGBB".
std::string colourText(std::uint32_t colour) {
    return "#" + hexByte(colour & 0xFF) + hexByte((colour >> 8) & 0xFF) +
           hexByte((colour >> 16) & 0xFF);
}

std::string escapeHtml(std::string_view text, bool apostropheToo) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += apostropheToo ? "&#39;" : "'";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

bool isAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool isUnreserved(char c) {
    return isAsciiAlnum(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

// Characters that cannot end or split an unquoted attribute value or start a
// character reference in it.
bool fitsUnquoted(char c) {
    return isUnreserved(c) || std::string_view("/:%#?@!$()*+,;").find(c) != std::string_view::npos;
}

// Appended rather than written as "\"" + text: GCC 12 at -O2 warns falsely
// (-Wrestrict) about a literal added to a std::string temporary.
std::string quoted(std::string_view value) {
    std::string text = "\"";
    text += escapeHtmlAttribute(value);
    text += '"';
    return text;
}

// "<B>" or "</B>"; appended for the same reason as quoted().
std::string styleTag(std::string_view opening, std::string_view tag) {
    std::string text(opening);
    text += tag;
    text += '>';
    return text;
}

// An unquoted value keeps its bytes while it is harmless; anything else is
// quoted, so a value can never add attributes or close the tag.
std::string unquotedAttribute(std::string_view value) {
    if (std::all_of(value.begin(), value.end(), fitsUnquoted)) {
        return std::string(value);
    }
    return quoted(value);
}

std::string spanAttributes(int colspan, int rowspan) {
    std::string text;
    if (colspan > 1) {
        text += " COLSPAN=" + std::to_string(colspan);
    }
    if (rowspan > 1) {
        text += " ROWSPAN=" + std::to_string(rowspan);
    }
    return text;
}

std::string widthAttribute(int width) {
    return width > 1 ? " WIDTH=\"" + std::to_string(width) + "%\"" : std::string();
}

std::string sizeAttribute(std::string_view name, int size) {
    if (size <= 0) {
        return {};
    }
    return " " + std::string(name) + "=\"" + std::to_string(size) + "\"";
}

constexpr std::array<std::string_view, 9> kStyleTags{"B", "BIG", "SMALL", "STRONG", "I",
                                                     "U", "EM",  "SUB",   "SUP"};

std::string_view styleTag(int style) {
    return style >= 0 && style < static_cast<int>(kStyleTags.size()) ? kStyleTags[style]
                                                                     : std::string_view();
}

constexpr int kOrderedList = 0;
constexpr int kUnorderedList = 1;
constexpr int kDefinitionList = 2;
constexpr int kPlainList = 3;

constexpr int kNoWidth = 0;
constexpr int kNoSpan = 0;
constexpr int kNoAlign = -1;

}  // namespace

std::string escapeHtmlText(std::string_view text) {
    return escapeHtml(text, false);
}

std::string escapeHtmlAttribute(std::string_view value) {
    return escapeHtml(value, true);
}

std::string percentEncodePath(std::string_view relativePath) {
    std::string encoded;
    for (char c : relativePath) {
        if (c == '/' || isUnreserved(c)) {
            encoded += c;
        } else {
            encoded += "%" + hexByte(static_cast<unsigned char>(c));
        }
    }
    return encoded;
}

void ExportHTML::put(std::string_view bytes) {
    if (output_ == nullptr || bytes.empty()) {
        return;
    }
    output_->write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!output_->good()) {
        failed_ = true;
    }
}

bool ExportHTML::failed() const {
    return failed_ || (output_ != nullptr && !output_->good());
}

void ExportHTML::writeRaw(std::string_view text, bool newline) {
    put(std::string(text) + (newline ? "\n" : ""));
}

void ExportHTML::writeColoured(std::string_view markup, bool newline) {
    std::string line = std::string(markup) + (newline ? "\n" : "");
    if (line.empty()) {
        return;
    }
    bool wrapped = tableDepth_ > 0 && textColour_ != 0;
    if (wrapped) {
        put("<FONT color=\"" + colourText(textColour_) + "\">");
    }
    put(line);
    if (wrapped) {
        put("</FONT>\n");
    }
}

void ExportHTML::writeText(std::string_view text, bool newline) {
    writeColoured(escapeHtmlText(text), newline);
}

void ExportHTML::writeRawNumber(std::int64_t n, bool newline) {
    writeRaw(std::to_string(n), newline);
}

void ExportHTML::setTextColor(std::uint32_t colour) {
    textColour_ = colour;
}

void ExportHTML::setOutput(std::ostream* output) {
    output_ = output;
    failed_ = false;
}

void ExportHTML::beginDocument(std::string_view title, std::string_view background) {
    tableDepth_ = 0;
    writeRaw("<HTML>\n<HEAD>", true);
    textColour_ = 0;
    if (!title.empty()) {
        writeRaw("<TITLE>", false);
        writeText(title, false);
        writeRaw("</TITLE>", true);
    }
    writeRaw("</HEAD>", true);
    if (background.empty()) {
        writeRaw("<BODY>", true);
    } else {
        writeRaw("<BODY background=" + quoted(background) + ">", true);
    }
}

void ExportHTML::endDocument() {
    writeRaw("</BODY>\n</HTML>", true);
}

void ExportHTML::beginCenter() {
    if (centreDepth_ == 0) {
        writeRaw("<CENTER>", true);
    }
    ++centreDepth_;
}

void ExportHTML::endCenter() {
    if (centreDepth_ == 0) {
        return;
    }
    if (--centreDepth_ == 0) {
        writeRaw("</CENTER>", true);
    }
}

void ExportHTML::beginHeading(int level) {
    beginHeading(level, kNoAlign);
}

void ExportHTML::beginHeading(int level, int align) {
    constexpr std::array<std::string_view, 3> kAligns{" align=left", " align=right",
                                                      " align=center"};
    std::string_view alignText = align >= 0 && align <= 2 ? kAligns[align] : std::string_view();
    writeRaw("<H" + std::to_string(level) + std::string(alignText) + ">", false);
}

void ExportHTML::endHeading(int level) {
    writeRaw("</H" + std::to_string(level) + ">", true);
}

void ExportHTML::heading(int level, int align, std::string_view text) {
    beginHeading(level, align);
    writeText(text, false);
    endHeading(level);
}

void ExportHTML::beginStyle(int style) {
    std::string_view tag = styleTag(style);
    if (!tag.empty()) {
        writeRaw("<" + std::string(tag) + ">", false);
    }
}

void ExportHTML::endStyle(int style) {
    std::string_view tag = styleTag(style);
    if (!tag.empty()) {
        writeRaw("</" + std::string(tag) + ">", false);
    }
}

void ExportHTML::writeLine(std::string_view text) {
    writeText(text, true);
}

void ExportHTML::writeStyled(std::string_view text, bool newline, bool bold, bool italic,
                             bool big) {
    const std::array<std::pair<bool, std::string_view>, 3> styles{
        {{bold, "B"}, {italic, "I"}, {big, "BIG"}}};
    for (const auto& [set, tag] : styles) {
        if (set) {
            writeRaw(styleTag("<", tag), false);
        }
    }
    writeText(text, false);
    for (auto style = styles.rbegin(); style != styles.rend(); ++style) {
        if (style->first) {
            writeRaw(styleTag("</", style->second), false);
        }
    }
    writeText("", newline);
}

void ExportHTML::writeNumberLine(std::int64_t n) {
    writeNumber(n, true);
}

void ExportHTML::writeNumber(std::int64_t n, bool newline) {
    writeText(std::to_string(n), newline);
}

void ExportHTML::writeStyledNumber(std::int64_t n, bool newline, bool bold, bool italic, bool big) {
    writeStyled(std::to_string(n), newline, bold, italic, big);
}

void ExportHTML::beginLink(std::string_view url) {
    if (!url.empty()) {
        writeRaw("<A HREF=" + quoted(url) + "> ", true);
    }
}

void ExportHTML::endLink() {
    writeRaw("</A>", true);
}

void ExportHTML::imageIfAny(std::string_view source) {
    if (!source.empty()) {
        image(source, false);
    }
}

void ExportHTML::image(std::string_view source, bool centred) {
    if (centred) {
        beginCenter();
    }
    writeRaw("<IMG SRC=" + unquotedAttribute(source) + ">", true);
    if (centred) {
        endCenter();
    }
}

void ExportHTML::lineBreak() {
    writeRaw("<BR>", true);
}

void ExportHTML::paragraph() {
    writeRaw("<P>", true);
}

void ExportHTML::horizontalRule() {
    writeRaw("<HR>", true);
}

void ExportHTML::beginTable(int border) {
    beginTable(border, kNoWidth, "");
}

void ExportHTML::beginTable(int border, int width) {
    beginTable(border, width, "");
}

void ExportHTML::beginTable(int border, std::string_view caption) {
    beginTable(border, kNoWidth, caption);
}

void ExportHTML::beginTable(int border, int width, std::string_view caption) {
    ++tableDepth_;
    std::string borderText = border > 0 ? " BORDER=" + std::to_string(border) : std::string();
    writeRaw("<TABLE" + widthAttribute(width) + borderText + ">", false);
    if (!caption.empty()) {
        writeRaw("<CAPTION><B>", false);
        writeText(caption, false);
        writeRaw("</B></CAPTION>", true);
    }
}

void ExportHTML::endTable() {
    writeRaw("</TABLE>", true);
    tableDepth_ = std::max(0, tableDepth_ - 1);
    if (tableDepth_ == 0) {
        textColour_ = 0;
    }
}

void ExportHTML::beginRow() {
    beginRow(kNoAlign, "");
}

void ExportHTML::beginRow(int align) {
    beginRow(align, "");
}

void ExportHTML::beginRow(std::string_view colour) {
    beginRow(kNoAlign, colour);
}

void ExportHTML::beginRow(int align, std::string_view colour) {
    constexpr std::array<std::string_view, 3> kAligns{" ALIGN=left", " ALIGN=right",
                                                      " ALIGN=center"};
    std::string row = "<TR";
    if (!colour.empty()) {
        row += " BGCOLOR=" + quoted(colour);
    }
    if (align >= 0 && align <= 2) {
        row += kAligns[align];
    }
    writeRaw(row + ">", false);
}

void ExportHTML::endRow() {
    writeRaw("</TR>", true);
}

void ExportHTML::beginHeaderCell() {
    beginHeaderCell(kNoWidth, kNoSpan, kNoSpan);
}

void ExportHTML::beginHeaderCell(int width) {
    beginHeaderCell(width, kNoSpan, kNoSpan);
}

void ExportHTML::beginHeaderCell(int colspan, int rowspan) {
    beginHeaderCell(kNoWidth, colspan, rowspan);
}

void ExportHTML::beginHeaderCell(int width, int colspan, int rowspan) {
    writeRaw("<TH" + widthAttribute(width) + spanAttributes(colspan, rowspan) + " VALIGN=\"top\">",
             false);
}

void ExportHTML::endHeaderCell() {
    writeRaw("</TH>", false);
}

void ExportHTML::headerCellNumber(std::int64_t n) {
    headerCell(std::to_string(n), kNoWidth, kNoSpan, kNoSpan);
}

void ExportHTML::headerCellNumber(std::int64_t n, int width) {
    headerCell(std::to_string(n), width, kNoSpan, kNoSpan);
}

void ExportHTML::headerCellNumber(std::int64_t n, int colspan, int rowspan) {
    headerCell(std::to_string(n), kNoWidth, colspan, rowspan);
}

void ExportHTML::headerCellNumber(std::int64_t n, int width, int colspan, int rowspan) {
    headerCell(std::to_string(n), width, colspan, rowspan);
}

void ExportHTML::headerCell(std::string_view text) {
    headerCell(text, kNoWidth, kNoSpan, kNoSpan);
}

void ExportHTML::headerCell(std::string_view text, int width) {
    headerCell(text, width, kNoSpan, kNoSpan);
}

void ExportHTML::headerCell(std::string_view text, int colspan, int rowspan) {
    headerCell(text, kNoWidth, colspan, rowspan);
}

void ExportHTML::headerCell(std::string_view text, int width, int colspan, int rowspan) {
    beginHeaderCell(width, colspan, rowspan);
    writeText(text, false);
    endHeaderCell();
}

void ExportHTML::beginCell() {
    beginCell(kNoSpan, kNoSpan);
}

void ExportHTML::beginCell(int colspan, int rowspan) {
    writeRaw("<TD" + spanAttributes(colspan, rowspan) + " VALIGN=\"top\">", false);
}

void ExportHTML::endCell() {
    writeRaw("</TD>", false);
}

void ExportHTML::cellNumber(std::int64_t n) {
    cell(std::to_string(n), kNoSpan, kNoSpan);
}

void ExportHTML::cellNumber(std::int64_t n, int colspan, int rowspan) {
    cell(std::to_string(n), colspan, rowspan);
}

void ExportHTML::cell(std::string_view text) {
    cell(text, kNoSpan, kNoSpan);
}

void ExportHTML::cell(std::string_view text, int colspan, int rowspan) {
    beginCell(colspan, rowspan);
    writeText(text, false);
    endCell();
}

void ExportHTML::beginList(int kind) {
    constexpr std::array<std::string_view, 4> kTags{"<OL>", "<UL TYPE=disc>", "<DL>", "<UL PLAIN>"};
    if (kind >= 0 && kind < static_cast<int>(kTags.size())) {
        writeRaw(kTags[kind], false);
    }
}

void ExportHTML::beginOrderedList(int kind, int numbering) {
    if (kind != kOrderedList) {
        beginList(kind);
        return;
    }
    constexpr std::array<std::string_view, 4> kTypes{" TYPE=A", " TYPE=a", " TYPE=I", " TYPE=i"};
    std::string_view type = numbering >= 1 && numbering <= 4 ? kTypes[numbering - 1] : "";
    writeRaw("<OL" + std::string(type) + ">", false);
}

void ExportHTML::beginUnorderedList(int kind, int bullet) {
    if (kind != kUnorderedList) {
        beginList(kind);
        return;
    }
    constexpr std::array<std::string_view, 3> kTypes{" TYPE=disc", " TYPE=circle", " TYPE=square"};
    std::string_view type = bullet >= 0 && bullet <= 2 ? kTypes[bullet] : "";
    writeRaw("<UL" + std::string(type) + ">", false);
}

void ExportHTML::endList(int kind) {
    constexpr std::array<std::string_view, 4> kTags{"</OL>", "</UL>", "</DL>", "</UL>"};
    if (kind >= 0 && kind < static_cast<int>(kTags.size())) {
        writeRaw(kTags[kind], true);
    }
}

void ExportHTML::listItem(int kind, std::string_view text) {
    switch (kind) {
        case kOrderedList:
        case kUnorderedList:
            writeRaw("<LI> ", false);
            writeText(text, true);
            break;
        case kDefinitionList:
            writeRaw("<DT><DD> ", false);
            writeText(text, true);
            break;
        case kPlainList:
            writeRaw("<LI> ", false);
            writeText(text, false);
            lineBreak();
            break;
        default:
            break;
    }
}

void ExportHTML::listItem(int kind, std::string_view term, std::string_view text) {
    switch (kind) {
        case kOrderedList:
        case kUnorderedList:
        case kPlainList:
            writeRaw("<LI> ", false);
            writeStyled(term, true, false, false, false);
            lineBreak();
            writeText(text, true);
            if (kind == kPlainList) {
                lineBreak();
            }
            break;
        case kDefinitionList:
            writeRaw("<DT> ", false);
            writeText(term, true);
            writeRaw("<DD> ", false);
            writeText(text, true);
            break;
        default:
            break;
    }
}

void ExportHTML::beginForm(std::string_view action) {
    writeRaw("<form action=" + unquotedAttribute(action) + ">", true);
}

void ExportHTML::endForm() {
    writeRaw("</form>", true);
}

void ExportHTML::textInput(std::string_view name, std::string_view value, int size) {
    writeRaw("<input type=\"text\" name=" + quoted(name) + " value=" + quoted(value) +
                 sizeAttribute("size", size) + ">",
             true);
}

// The text goes out escaped but never coloured: a font tag inside a text
// area would show as text.
void ExportHTML::textArea(std::string_view name, std::string_view text, int rows, int cols) {
    writeRaw("<textarea name=" + quoted(name) + sizeAttribute("rows", rows) +
                 sizeAttribute("cols", cols) + ">" + escapeHtmlText(text) + "</textarea>",
             true);
}

void ExportHTML::writeInput(std::string_view type, std::string_view name, std::string_view value,
                            std::string_view label, bool checked) {
    writeRaw("<input type=\"" + std::string(type) + "\" name=" + quoted(name) +
                 " value=" + quoted(value) + (checked ? " checked" : "") + ">",
             false);
    if (label.empty()) {
        writeRaw("", true);
    } else {
        writeText(label, true);
    }
}

void ExportHTML::checkBox(std::string_view name, std::string_view value, std::string_view label,
                          bool checked) {
    writeInput("checkbox", name, value, label, checked);
}

void ExportHTML::radioButton(std::string_view name, std::string_view value, std::string_view label,
                             bool checked) {
    writeInput("radio", name, value, label, checked);
}

void ExportHTML::beginSelect(std::string_view name, int size) {
    writeRaw("<select name =" + quoted(name) + sizeAttribute("size", size) + ">", true);
}

void ExportHTML::endSelect() {
    writeRaw("</select>", true);
}

void ExportHTML::option(std::string_view text, bool selected) {
    writeRaw(selected ? "<option selected> " : "<option> ", false);
    writeText(text, true);
}

// One piece, so colour wrapping inside a table surrounds the whole element
// instead of splitting its attribute values.
void ExportHTML::hiddenInput(std::string_view name, std::string_view value) {
    writeColoured("<input type=\"hidden\" name=" + quoted(name) + " value=" + quoted(value) + ">",
                  true);
}

void ExportHTML::submitButton() {
    writeRaw("<input type=\"submit\" value=\"Submit\">", true);
}

void ExportHTML::resetButton() {
    writeRaw("<input type=\"reset\" value=\"Reset]\">", true);
}

}  // namespace qff
