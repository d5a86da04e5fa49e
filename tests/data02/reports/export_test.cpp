#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "data02/reports/Export.h"

namespace qff {
namespace {

constexpr std::uint32_t kRed = 0x000000FF;
constexpr std::uint32_t kGreen = 0x0000FF00;
constexpr std::uint32_t kMixed = 0x00123456;

struct WriterCase {
    std::string name;
    std::function<void(Export&)> calls;
    std::string expected;
};

void inColouredTable(Export& page, std::uint32_t colour) {
    page.beginTable(0);
    page.setTextColor(colour);
}

const std::vector<WriterCase>& writerCases() {
    static const std::vector<WriterCase> cases = {
        // Document frame
        {"document with title and background",
         [](Export& p) { p.beginDocument("Standings", "img/bg.gif"); },
         "<HTML>\n<HEAD>\n<TITLE>Standings</TITLE>\n</HEAD>\n<BODY background=\"img/bg.gif\">\n"},
        {"document without title or background", [](Export& p) { p.beginDocument("", ""); },
         "<HTML>\n<HEAD>\n</HEAD>\n<BODY>\n"},
        {"document forgets colour and open tables",
         [](Export& p) {
             inColouredTable(p, kRed);
             p.beginDocument("T", "");
             p.writeText("x", false);
             p.cell("y");
         },
         "<TABLE><HTML>\n<HEAD>\n<TITLE>T</TITLE>\n</HEAD>\n<BODY>\nx<TD VALIGN=\"top\">y</TD>"},
        {"end of document", [](Export& p) { p.endDocument(); }, "</BODY>\n</HTML>\n"},
        // Centring
        {"centre",
         [](Export& p) {
             p.beginCenter();
             p.endCenter();
         },
         "<CENTER>\n</CENTER>\n"},
        {"nested centres write one pair",
         [](Export& p) {
             p.beginCenter();
             p.beginCenter();
             p.writeText("a", false);
             p.endCenter();
             p.writeText("b", false);
             p.endCenter();
         },
         "<CENTER>\nab</CENTER>\n"},
        {"end of centre without a start", [](Export& p) { p.endCenter(); }, ""},
        {"unbalanced end does not go below zero",
         [](Export& p) {
             p.endCenter();
             p.beginCenter();
             p.endCenter();
         },
         "<CENTER>\n</CENTER>\n"},
        // Headings and styles
        {"heading without alignment", [](Export& p) { p.beginHeading(2); }, "<H2>"},
        {"heading aligned",
         [](Export& p) {
             p.beginHeading(1, 0);
             p.beginHeading(1, 1);
             p.beginHeading(1, 2);
             p.beginHeading(1, 7);
         },
         "<H1 align=left><H1 align=right><H1 align=center><H1>"},
        {"end of heading", [](Export& p) { p.endHeading(3); }, "</H3>\n"},
        {"heading with text", [](Export& p) { p.heading(2, 2, "Week 1"); },
         "<H2 align=center>Week 1</H2>\n"},
        {"every style",
         [](Export& p) {
             for (int style = -1; style <= 9; ++style) {
                 p.beginStyle(style);
                 p.endStyle(style);
             }
         },
         "<B></B><BIG></BIG><SMALL></SMALL><STRONG></STRONG><I></I><U></U><EM></EM>"
         "<SUB></SUB><SUP></SUP>"},
        // Text
        {"line", [](Export& p) { p.writeLine("hello"); }, "hello\n"},
        {"text with and without newline",
         [](Export& p) {
             p.writeText("a", false);
             p.writeText("b", true);
             p.writeText("", false);
             p.writeText("", true);
         },
         "ab\n\n"},
        {"styled text, every flag", [](Export& p) { p.writeStyled("Top", true, true, true, true); },
         "<B><I><BIG>Top</BIG></I></B>\n"},
        {"styled text, italic only, no newline",
         [](Export& p) { p.writeStyled("Top", false, false, true, false); }, "<I>Top</I>"},
        {"numbers",
         [](Export& p) {
             p.writeNumberLine(-12);
             p.writeNumber(7, false);
             p.writeNumber(0, true);
             p.writeStyledNumber(3, true, true, false, false);
         },
         "-12\n70\n<B>3</B>\n"},
        {"numbers beyond an int",
         [](Export& p) {
             p.writeNumber(4'000'000'000, false);
             p.cellNumber(-4'000'000'000);
         },
         "4000000000<TD VALIGN=\"top\">-4000000000</TD>"},
        {"raw text and numbers",
         [](Export& p) {
             p.writeRaw("<B>", false);
             p.writeRaw("", false);
             p.writeRaw("", true);
             p.writeRawNumber(42, true);
             p.writeRawNumber(-1, false);
         },
         "<B>\n42\n-1"},
        // Links, images, breaks
        {"link",
         [](Export& p) {
             p.beginLink("Week 1.htm");
             p.endLink();
         },
         "<A HREF=\"Week 1.htm\"> \n</A>\n"},
        {"link without url writes only its end",
         [](Export& p) {
             p.beginLink("");
             p.endLink();
         },
         "</A>\n"},
        {"image", [](Export& p) { p.image("logo.gif", false); }, "<IMG SRC=logo.gif>\n"},
        {"image centred inside a centre",
         [](Export& p) {
             p.beginCenter();
             p.image("img/logo.gif", true);
             p.endCenter();
         },
         "<CENTER>\n<IMG SRC=img/logo.gif>\n</CENTER>\n"},
        {"image centred on its own", [](Export& p) { p.image("a.gif", true); },
         "<CENTER>\n<IMG SRC=a.gif>\n</CENTER>\n"},
        {"image if any",
         [](Export& p) {
             p.imageIfAny("");
             p.imageIfAny("b.gif");
         },
         "<IMG SRC=b.gif>\n"},
        {"breaks and rules",
         [](Export& p) {
             p.lineBreak();
             p.paragraph();
             p.horizontalRule();
         },
         "<BR>\n<P>\n<HR>\n"},
        // Tables
        {"table with width and border", [](Export& p) { p.beginTable(2, 100, ""); },
         "<TABLE WIDTH=\"100%\" BORDER=2>"},
        {"plain table", [](Export& p) { p.beginTable(0); }, "<TABLE>"},
        {"table overloads",
         [](Export& p) {
             p.beginTable(1, 1);
             p.beginTable(0, 50);
             p.beginTable(3, "Scores");
         },
         "<TABLE BORDER=1><TABLE WIDTH=\"50%\"><TABLE BORDER=3><CAPTION><B>Scores</B></CAPTION>\n"},
        {"end of table without a table",
         [](Export& p) {
             p.endTable();
             inColouredTable(p, kRed);
             p.writeText("x", false);
         },
         "</TABLE>\n<TABLE><FONT color=\"#FF0000\">x</FONT>\n"},
        {"rows",
         [](Export& p) {
             p.beginRow();
             p.beginRow(0);
             p.beginRow(1);
             p.beginRow(2);
             p.beginRow(5);
             p.beginRow("#C0C0C0");
             p.beginRow(2, "#FFFFFF");
             p.endRow();
         },
         "<TR><TR ALIGN=left><TR ALIGN=right><TR ALIGN=center><TR><TR BGCOLOR=\"#C0C0C0\">"
         "<TR BGCOLOR=\"#FFFFFF\" ALIGN=center></TR>\n"},
        {"header cells",
         [](Export& p) {
             p.beginHeaderCell();
             p.beginHeaderCell(1, 1, 1);
             p.beginHeaderCell(30);
             p.beginHeaderCell(2, 3);
             p.beginHeaderCell(25, 2, 3);
             p.endHeaderCell();
         },
         "<TH VALIGN=\"top\"><TH VALIGN=\"top\"><TH WIDTH=\"30%\" VALIGN=\"top\">"
         "<TH COLSPAN=2 ROWSPAN=3 VALIGN=\"top\"><TH WIDTH=\"25%\" COLSPAN=2 ROWSPAN=3 "
         "VALIGN=\"top\"></TH>"},
        {"header cells with text and numbers",
         [](Export& p) {
             p.headerCell("Name");
             p.headerCell("Pts", 10);
             p.headerCell("Week", 2, 1);
             p.headerCellNumber(7);
             p.headerCellNumber(8, 20);
             p.headerCellNumber(9, 1, 2);
             p.headerCellNumber(10, 5, 3, 4);
             p.headerCell("All", 5, 3, 4);
         },
         "<TH VALIGN=\"top\">Name</TH><TH WIDTH=\"10%\" VALIGN=\"top\">Pts</TH>"
         "<TH COLSPAN=2 VALIGN=\"top\">Week</TH><TH VALIGN=\"top\">7</TH>"
         "<TH WIDTH=\"20%\" VALIGN=\"top\">8</TH><TH ROWSPAN=2 VALIGN=\"top\">9</TH>"
         "<TH WIDTH=\"5%\" COLSPAN=3 ROWSPAN=4 VALIGN=\"top\">10</TH>"
         "<TH WIDTH=\"5%\" COLSPAN=3 ROWSPAN=4 VALIGN=\"top\">All</TH>"},
        {"cells",
         [](Export& p) {
             p.beginCell();
             p.beginCell(3, 2);
             p.endCell();
             p.cell("x");
             p.cell("y", 1, 2);
             p.cellNumber(4);
             p.cellNumber(5, 2, 0);
         },
         "<TD VALIGN=\"top\"><TD COLSPAN=3 ROWSPAN=2 VALIGN=\"top\"></TD>"
         "<TD VALIGN=\"top\">x</TD><TD ROWSPAN=2 VALIGN=\"top\">y</TD><TD VALIGN=\"top\">4</TD>"
         "<TD COLSPAN=2 VALIGN=\"top\">5</TD>"},
        // Colour
        {"coloured cell is wrapped in a font tag",
         [](Export& p) {
             inColouredTable(p, kRed);
             p.cell("x");
         },
         "<TABLE><TD VALIGN=\"top\"><FONT color=\"#FF0000\">x</FONT>\n</TD>"},
        {"colour text is red, green, blue",
         [](Export& p) {
             inColouredTable(p, kGreen);
             p.writeText("g", false);
             p.setTextColor(kMixed);
             p.writeText("m", false);
         },
         "<TABLE><FONT color=\"#00FF00\">g</FONT>\n<FONT color=\"#563412\">m</FONT>\n"},
        {"coloured lone newline",
         [](Export& p) {
             inColouredTable(p, kRed);
             p.writeText("", true);
             p.writeText("", false);
         },
         "<TABLE><FONT color=\"#FF0000\">\n</FONT>\n"},
        {"colour is ignored outside tables",
         [](Export& p) {
             p.setTextColor(kRed);
             p.writeText("x", true);
         },
         "x\n"},
        {"colour lasts until the last table closes",
         [](Export& p) {
             inColouredTable(p, kRed);
             p.beginTable(0);
             p.endTable();
             p.writeText("a", false);
             p.endTable();
             p.beginTable(0);
             p.writeText("b", false);
         },
         "<TABLE><TABLE></TABLE>\n<FONT color=\"#FF0000\">a</FONT>\n</TABLE>\n<TABLE>b"},
        {"colour applies to captions, numbers and styled text but not raw text",
         [](Export& p) {
             p.setTextColor(kRed);
             p.beginTable(0, "C");
             p.writeNumber(1, false);
             p.writeStyled("s", false, true, false, false);
             p.writeRaw("r", false);
         },
         "<TABLE><CAPTION><B><FONT color=\"#FF0000\">C</FONT>\n</B></CAPTION>\n"
         "<FONT color=\"#FF0000\">1</FONT>\n<B><FONT color=\"#FF0000\">s</FONT>\n</B>r"},
        // Lists
        {"list kinds",
         [](Export& p) {
             for (int kind = -1; kind <= 4; ++kind) {
                 p.beginList(kind);
             }
         },
         "<OL><UL TYPE=disc><DL><UL PLAIN>"},
        {"ordered list numbering",
         [](Export& p) {
             for (int numbering = 0; numbering <= 5; ++numbering) {
                 p.beginOrderedList(0, numbering);
             }
             p.beginOrderedList(2, 1);
         },
         "<OL><OL TYPE=A><OL TYPE=a><OL TYPE=I><OL TYPE=i><OL><DL>"},
        {"unordered list bullets",
         [](Export& p) {
             p.beginList(1);
             p.beginUnorderedList(1, 5);
             p.beginUnorderedList(1, 0);
             p.beginUnorderedList(1, 1);
             p.beginUnorderedList(1, 2);
             p.beginUnorderedList(3, 1);
         },
         "<UL TYPE=disc><UL><UL TYPE=disc><UL TYPE=circle><UL TYPE=square><UL PLAIN>"},
        {"list ends",
         [](Export& p) {
             for (int kind = 0; kind <= 4; ++kind) {
                 p.endList(kind);
             }
         },
         "</OL>\n</UL>\n</DL>\n</UL>\n"},
        {"list items",
         [](Export& p) {
             for (int kind = 0; kind <= 4; ++kind) {
                 p.listItem(kind, "t");
             }
         },
         "<LI> t\n<LI> t\n<DT><DD> t\n<LI> t<BR>\n"},
        {"list items with a term",
         [](Export& p) {
             for (int kind = 0; kind <= 4; ++kind) {
                 p.listItem(kind, "T", "t");
             }
         },
         "<LI> T\n<BR>\nt\n<LI> T\n<BR>\nt\n<DT> T\n<DD> t\n<LI> T\n<BR>\nt\n<BR>\n"},
        // Forms
        {"form",
         [](Export& p) {
             p.beginForm("/cgi-bin/pick.cgi");
             p.endForm();
         },
         "<form action=/cgi-bin/pick.cgi>\n</form>\n"},
        {"text inputs",
         [](Export& p) {
             p.textInput("team", "Bears", 20);
             p.textInput("team", "", 0);
         },
         "<input type=\"text\" name=\"team\" value=\"Bears\" size=\"20\">\n"
         "<input type=\"text\" name=\"team\" value=\"\">\n"},
        {"text areas",
         [](Export& p) {
             p.textArea("note", "hi", 3, 40);
             p.textArea("note", "", 0, 0);
         },
         "<textarea name=\"note\" rows=\"3\" cols=\"40\">hi</textarea>\n"
         "<textarea name=\"note\"></textarea>\n"},
        {"check boxes and radio buttons",
         [](Export& p) {
             p.checkBox("qb", "1", "Starter", true);
             p.checkBox("qb", "2", "", false);
             p.radioButton("wk", "3", "Week 3", false);
             p.radioButton("wk", "4", "", true);
         },
         "<input type=\"checkbox\" name=\"qb\" value=\"1\" checked>Starter\n"
         "<input type=\"checkbox\" name=\"qb\" value=\"2\">\n"
         "<input type=\"radio\" name=\"wk\" value=\"3\">Week 3\n"
         "<input type=\"radio\" name=\"wk\" value=\"4\" checked>\n"},
        {"select",
         [](Export& p) {
             p.beginSelect("week", 5);
             p.option("Week 1", true);
             p.option("Week 2", false);
             p.endSelect();
             p.beginSelect("week", 0);
         },
         "<select name =\"week\" size=\"5\">\n<option selected> Week 1\n<option> Week 2\n"
         "</select>\n<select name =\"week\">\n"},
        {"hidden input and buttons",
         [](Export& p) {
             p.hiddenInput("league", "3");
             p.submitButton();
             p.resetButton();
         },
         "<input type=\"hidden\" name=\"league\" value=\"3\">\n"
         "<input type=\"submit\" value=\"Submit\">\n<input type=\"reset\" value=\"Reset]\">\n"},
        {"coloured hidden input keeps its attributes whole",
         [](Export& p) {
             inColouredTable(p, kRed);
             p.hiddenInput("a", "b");
         },
         "<TABLE><FONT color=\"#FF0000\"><input type=\"hidden\" name=\"a\" value=\"b\">\n"
         "</FONT>\n"},
        // Escaping
        {"texts are escaped",
         [](Export& p) {
             p.writeText("<script>&\"'", true);
             p.heading(1, -1, "A&B");
             p.cell("<b>");
             p.headerCell("\"q\"");
             p.listItem(2, "T<", "x>");
             p.option("<o>", false);
             p.writeStyled("<s>", false, false, false, false);
             p.checkBox("n", "v", "<l>", false);
             p.textArea("n", "</textarea>", 0, 0);
         },
         "&lt;script&gt;&amp;&quot;'\n<H1>A&amp;B</H1>\n<TD VALIGN=\"top\">&lt;b&gt;</TD>"
         "<TH VALIGN=\"top\">&quot;q&quot;</TH><DT> T&lt;\n<DD> x&gt;\n<option> &lt;o&gt;\n"
         "&lt;s&gt;<input type=\"checkbox\" name=\"n\" value=\"v\">&lt;l&gt;\n"
         "<textarea name=\"n\">&lt;/textarea&gt;</textarea>\n"},
        {"titles and captions are escaped",
         [](Export& p) {
             p.beginDocument("<T>", "");
             p.beginTable(0, "<C>");
         },
         "<HTML>\n<HEAD>\n<TITLE>&lt;T&gt;</TITLE>\n</HEAD>\n<BODY>\n"
         "<TABLE><CAPTION><B>&lt;C&gt;</B></CAPTION>\n"},
        {"coloured text is escaped inside its font tag",
         [](Export& p) {
             inColouredTable(p, kRed);
             p.cell("a<b");
         },
         "<TABLE><TD VALIGN=\"top\"><FONT color=\"#FF0000\">a&lt;b</FONT>\n</TD>"},
        {"quoted attribute values are escaped",
         [](Export& p) {
             p.beginDocument("", "x\"onload='y'");
             p.beginLink("a.htm\"><script>");
             p.textInput("n'", "v&\"", 0);
             p.hiddenInput("<n>", "'v'");
             p.beginSelect("\"s", 0);
             p.beginRow("\"red");
         },
         "<HTML>\n<HEAD>\n</HEAD>\n<BODY background=\"x&quot;onload=&#39;y&#39;\">\n"
         "<A HREF=\"a.htm&quot;&gt;&lt;script&gt;\"> \n"
         "<input type=\"text\" name=\"n&#39;\" value=\"v&amp;&quot;\">\n"
         "<input type=\"hidden\" name=\"&lt;n&gt;\" value=\"&#39;v&#39;\">\n"
         "<select name =\"&quot;s\">\n<TR BGCOLOR=\"&quot;red\">"},
        {"unsafe unquoted values are quoted",
         [](Export& p) {
             p.image("my logo.gif", false);
             p.image("a.gif onerror=x", false);
             p.beginForm("pick.cgi?a=1&b=2");
             p.beginForm("http://example.org/cgi-bin/x.cgi");
         },
         "<IMG SRC=\"my logo.gif\">\n<IMG SRC=\"a.gif onerror=x\">\n"
         "<form action=\"pick.cgi?a=1&amp;b=2\">\n<form "
         "action=http://example.org/cgi-bin/x.cgi>\n"},
        {"raw text is not escaped", [](Export& p) { p.writeRaw("<B>&amp;</B>", false); },
         "<B>&amp;</B>"},
    };
    return cases;
}

TEST(ExportHTML, WritesEachCallAsSpecified) {
    for (const WriterCase& c : writerCases()) {
        std::ostringstream out;
        ExportHTML writer;
        writer.setOutput(&out);
        c.calls(writer);
        EXPECT_EQ(out.str(), c.expected) << c.name;
        EXPECT_FALSE(writer.failed()) << c.name;
    }
}

TEST(ExportHTML, WritesNothingWithoutOutput) {
    for (const WriterCase& c : writerCases()) {
        std::ostringstream out;
        ExportHTML writer;
        writer.setOutput(&out);
        writer.setOutput(nullptr);
        c.calls(writer);
        EXPECT_EQ(out.str(), "") << c.name;
        EXPECT_FALSE(writer.failed()) << c.name;
    }
}

// Takes the first `room` bytes, then refuses every further one, as a full
// disk does.
class FullDiskBuffer : public std::streambuf {
  public:
    explicit FullDiskBuffer(std::size_t room) : room_(room) {}
    const std::string& taken() const { return taken_; }

  protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()) || taken_.size() >= room_) {
            return traits_type::eof();
        }
        taken_ += traits_type::to_char_type(c);
        return c;
    }

  private:
    std::size_t room_;
    std::string taken_;
};

TEST(ExportHTML, ReportsAWriteThatFailed) {
    FullDiskBuffer buffer(10);
    std::ostream out(&buffer);
    ExportHTML writer;
    writer.setOutput(&out);
    writer.lineBreak();
    EXPECT_FALSE(writer.failed());
    writer.beginDocument("Page", "");
    EXPECT_TRUE(writer.failed());
    EXPECT_EQ(buffer.taken(), "<BR>\n<HTML");
    out.clear();
    EXPECT_TRUE(writer.failed()) << "a page with a hole stays failed";
}

TEST(ExportHTML, NewOutputStartsWithoutFailure) {
    FullDiskBuffer full(0);
    std::ostream broken(&full);
    std::ostringstream good;
    ExportHTML writer;
    writer.setOutput(&broken);
    writer.paragraph();
    ASSERT_TRUE(writer.failed());
    writer.setOutput(&good);
    writer.paragraph();
    EXPECT_FALSE(writer.failed());
    EXPECT_EQ(good.str(), "<P>\n");
}

TEST(PercentEncodePath, EncodesEachComponent) {
    const std::pair<std::string, std::string> cases[] = {
        {"Standings.htm", "Standings.htm"},
        {"Week 1/Top Scorers.htm", "Week%201/Top%20Scorers.htm"},
        {"<script>&\"'.htm", "%3Cscript%3E%26%22%27.htm"},
        {"a?b#c%d", "a%3Fb%23c%25d"},
        {"Mary's Team~1/-_.", "Mary%27s%20Team~1/-_."},
        {"Caf\xC3\xA9.htm", "Caf%C3%A9.htm"},
        {"back\\slash:colon", "back%5Cslash%3Acolon"},
        {"", ""},
    };
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(percentEncodePath(path), expected) << path;
    }
}

}  // namespace
}  // namespace qff
