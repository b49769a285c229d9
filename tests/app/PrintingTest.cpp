// Printing a document to PDF through the real printer, read back with the
// poppler tools: the text of each page (pdftotext) and its pixels
// (pdftoppm) are probed for the header, the lines and their spacing.  A
// printer that fails mid-job shows that the editor comes back as it was.

#include "app/DocumentPrinting.h"
#include "tests/app/AppTestSupport.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include "editor/CodeMemo.h"
#include "platform/gfx/QtBridge.h"
#include "platform/ui/Printers.h"
#include "tests/support/FakeTextMeasurer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <regex>
#include <sstream>
#include <vector>

namespace {

std::string run(const std::string& command) {
    std::string output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe)
        return output;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0)
        output.append(buffer, n);
    return output;
}

// The pages' texts (pdftotext separates pages by form feeds).
std::vector<std::string> pageTexts(const std::string& pdf) {
    std::string all = run("pdftotext -layout '" + pdf + "' -");
    std::vector<std::string> pages;
    std::stringstream in(all);
    std::string page;
    while (std::getline(in, page, '\f'))
        pages.push_back(page);
    if (!pages.empty() && pages.back().find_first_not_of(" \r\n") == std::string::npos)
        pages.pop_back();
    return pages;
}

// The first page rendered at 96 dots per inch (pdftoppm numbers the
// image it writes as -1 or -01, by its version).
QImage firstPage(const std::string& pdf, const std::string& png) {
    run("pdftoppm -r 96 -f 1 -l 1 -png '" + pdf + "' '" + png + "'");
    QImage page(QString::fromStdString(png + "-1.png"));
    if (page.isNull())
        page.load(QString::fromStdString(png + "-01.png"));
    return page;
}

// The rows of a rendered page that hold ink, grouped into bands of
// consecutive rows: each band's first row and its rightmost inked column.
struct TBand {
    int Top;
    int Left;
    int Right;
};
std::vector<TBand> inkBands(const QImage& page) {
    std::vector<TBand> bands;
    bool inBand = false;
    for (int y = 0; y < page.height(); ++y) {
        int left = -1, right = -1;
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 128) {
                if (left < 0)
                    left = x;
                right = x;
            }
        if (left >= 0 && !inBand)
            bands.push_back({y, left, right});
        else if (left >= 0) {
            bands.back().Left = std::min(bands.back().Left, left);
            bands.back().Right = std::max(bands.back().Right, right);
        }
        inBand = left >= 0;
    }
    return bands;
}

void fillLines(TCodeMemo& memo, int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "L" + std::to_string(i) + " " + std::string(static_cast<size_t>(i % 30), 'W') + "\r\n";
    text.pop_back();
    text.pop_back();
    memo.SetTextBuf(text);
}

// A printer whose pages are images, and whose second page fails.
class TFailingPrinter : public TPrinter {
protected:
    void startJob(TCanvas& canvas) override { canvas.QtSide().SetDevice(&page_); }
    void nextPage(TCanvas&) override { throw EPrinter("Paper jam"); }
    void finishJob(TCanvas& canvas) override { canvas.QtSide().SetDevice(nullptr); }
    void abortJob(TCanvas& canvas) override {
        aborted = true;
        canvas.QtSide().SetDevice(nullptr);
    }
    TPrinterPage page() const override { return {600, 700, 96, 96}; }

public:
    bool aborted = false;

private:
    QImage page_{600, 700, QImage::Format_RGB32};
};

// A printer of PDF pages of any size, without margins, at the printer's
// 96 pixels per inch.
class TPaperPrinter : public TPrinter {
public:
    TPaperPrinter(std::string file, double widthInches, double heightInches)
        : file_(std::move(file)), width_(widthInches), height_(heightInches) {}

protected:
    void startJob(TCanvas& canvas) override {
        writer_ = std::make_unique<QPdfWriter>(QString::fromStdString(file_));
        writer_->setResolution(kDpi);
        writer_->setPageLayout(
            QPageLayout(QPageSize(QSizeF(width_, height_), QPageSize::Inch), QPageLayout::Portrait, QMarginsF()));
        canvas.QtSide().SetDevice(writer_.get());
    }
    void nextPage(TCanvas& canvas) override {
        canvas.QtSide().Painter();
        writer_->newPage();
    }
    void finishJob(TCanvas& canvas) override {
        canvas.QtSide().SetDevice(nullptr);
        writer_.reset();
    }
    void abortJob(TCanvas& canvas) override { finishJob(canvas); }
    TPrinterPage page() const override {
        return {static_cast<int>(width_ * kDpi), static_cast<int>(height_ * kDpi), kDpi, kDpi};
    }

private:
    static constexpr int kDpi = 96;
    std::string file_;
    double width_;
    double height_;
    std::unique_ptr<QPdfWriter> writer_;
};

// The words of a PDF's first page and where they lie, in points.
struct TWordBox {
    double Left, Top, Right;
    std::string Text;
};
std::vector<TWordBox> firstPageWords(const std::string& pdf) {
    const std::string html = run("pdftotext -f 1 -l 1 -bbox '" + pdf + "' -");
    static const std::regex word(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="[0-9.]+">([^<]*)</word>)re");
    std::vector<TWordBox> words;
    for (std::sregex_iterator it(html.begin(), html.end(), word), end; it != end; ++it)
        words.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), (*it)[4]});
    return words;
}

} // namespace

// Whatever the paper and the length of the path, the header stays on the
// paper, as wide as the lines at most, and ends with the file's name: a
// path too long gives up the middle of its folders.
TEST(Printing, TheHeaderFitsThePaperAndShowsTheName) {
    TTestProgramFolder program;
    TCodeMemo memo;
    memo.SetTextBuf("text");
    std::mt19937 random(10);
    auto word = [&](size_t length) {
        static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789_-";
        std::string text;
        while (text.size() < length)
            text += letters[random() % (sizeof letters - 1)];
        return text;
    };
    const double charWidth = 7.2; // 12 points of a fixed-pitch face
    int cut = 0;
    for (int round = 0; round < 16; ++round) {
        const double paperWidth = 2.5 + (random() % 950) / 100.0;
        std::string path;
        for (int folders = static_cast<int>(random() % 9); folders > 0; --folders)
            path += "/" + word(1 + random() % 20);
        const std::string name = word(1 + random() % (round % 4 == 0 ? 60 : 20)) + ".html";
        path += "/" + name;
        SCOPED_TRACE(path + " on paper " + std::to_string(paperWidth) + " inches wide");
        const std::string pdf = program.File("paper" + std::to_string(round) + ".pdf");
        TPaperPrinter printer(pdf, paperWidth, 5.0);
        PrintDocument(memo, path, printer);

        std::vector<TWordBox> words = firstPageWords(pdf);
        ASSERT_GE(words.size(), 2u);
        const TWordBox header = *std::min_element(
            words.begin(), words.end(), [](const TWordBox& a, const TWordBox& b) { return a.Top < b.Top; });
        const double textRight = (paperWidth - 0.75) * 72;
        EXPECT_NEAR(header.Left, 1.25 * 72, 1.0);
        EXPECT_LE(header.Right, textRight + 0.5);
        if (header.Text == path)
            continue;
        ++cut;
        const size_t dots = header.Text.find("...");
        ASSERT_NE(dots, std::string::npos) << header.Text;
        const std::string start = header.Text.substr(0, dots), end = header.Text.substr(dots + 3);
        // The middle of the folders left out; the middle of the name only
        // when ".../" and the name do not fit.
        const bool nameFits = (name.size() + 4) * charWidth <= textRight - header.Left;
        if (nameFits)
            EXPECT_TRUE(path.starts_with(start) && end.ends_with("/" + name) && path.ends_with(end)) << header.Text;
        else
            EXPECT_TRUE(name.starts_with(start) && name.ends_with(end)) << header.Text;
        // Only what did not fit went.
        EXPECT_GT(header.Right, textRight - 2 * charWidth - 0.5) << header.Text;
    }
    EXPECT_GE(cut, 4);
}

TEST(Printing, PagesCarryTheHeaderAndTheLinesOneAndAHalfLinesApart) {
    TTestProgramFolder program;
    TCodeMemo memo;
    const int lineCount = 130;
    fillLines(memo, lineCount);
    // A backward selection, which printing must leave as it was.
    memo.SetSelStart(40);
    memo.SetSelLength(-25);
    const int lineHeight = memo.LineHeight();

    TPrinter& printer = Printer();
    const std::string pdf = program.File("out.pdf");
    printer.SetOutputFileName(pdf);
    PrintDocument(memo, "Untitled", printer);
    EXPECT_EQ(memo.SelStart(), 40);
    EXPECT_EQ(memo.SelLength(), -25);
    EXPECT_EQ(memo.LineCount(), lineCount);
    EXPECT_FALSE(printer.Printing());

    // Every line once, in order, each page under its own header.
    std::vector<std::string> pages = pageTexts(pdf);
    ASSERT_GE(pages.size(), 2u) << "one page for " << lineCount << " lines";
    int next = 0;
    std::vector<int> perPage;
    for (const std::string& page : pages) {
        std::stringstream in(page);
        std::string row;
        std::vector<std::string> rows;
        while (std::getline(in, row))
            if (row.find_first_not_of(' ') != std::string::npos)
                rows.push_back(row.substr(row.find_first_not_of(' ')));
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.front(), "Untitled");
        for (size_t r = 1; r < rows.size(); ++r, ++next)
            ASSERT_EQ(rows[r].substr(0, rows[r].find(' ')), "L" + std::to_string(next)) << "page " << perPage.size();
        perPage.push_back(static_cast<int>(rows.size()) - 1);
    }
    EXPECT_EQ(next, lineCount);
    // Full pages hold the same number of lines; the last holds the rest.
    for (size_t p = 1; p + 1 < perPage.size(); ++p)
        EXPECT_EQ(perPage[p], perPage[0]);
    EXPECT_LE(perPage.back(), perPage[0]);

    // The first page's pixels at the printer's resolution: the header at
    // half an inch, the text three quarters of an inch below it, both at
    // the same left edge, then a line every one and a half line heights.
    const QImage page = firstPage(pdf, program.File("page"));
    ASSERT_FALSE(page.isNull());
    std::vector<TBand> bands = inkBands(page);
    ASSERT_EQ(static_cast<int>(bands.size()), perPage[0] + 1);
    // The editor draws its lines behind its left margin.
    EXPECT_NEAR(bands[1].Left - bands[0].Left, memo.LeftMargin(), 2);
    // Tops of "L..." rows (capital letters start at the same height).
    const double advance = lineHeight * 1.5;
    EXPECT_NEAR(bands[2].Top - bands[1].Top, advance, 1.0);
    EXPECT_NEAR(bands.back().Top - bands[1].Top, advance * (perPage[0] - 1), 1.0 + perPage[0] * 0.5);
    EXPECT_NEAR(bands[1].Top - bands[0].Top, 72, 3);
    // Longer lines reach further right, as their text says.
    EXPECT_GT(bands[20].Right, bands[5].Right);
}

// The PDF goes to the bytes of its name, which need not be UTF-8.
TEST(Printing, AnEmptyDocumentIsOnePageWithItsName) {
    TTestProgramFolder program;
    TCodeMemo memo;
    memo.SetTextBuf("");
    TPrinter& printer = Printer();
    std::filesystem::create_directory(program.File("caf\xE9"));
    const std::string pdf = program.File("caf\xE9/empty\xE9.pdf");
    printer.SetOutputFileName(pdf);
    PrintDocument(memo, "/site/page.html", printer);
    EXPECT_EQ(std::filesystem::directory_iterator(program.File("caf\xE9"))->path(), pdf);
    std::vector<std::string> pages = pageTexts(pdf);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("/site/page.html"), std::string::npos);
}

TEST(Printing, AFailedJobLeavesTheEditorAsItWas) {
    TTestProgramFolder program;
    TCodeMemo memo;
    TFakeTextMeasurer measurer;
    memo.SetMeasuringContext(&measurer, 160);
    memo.SetWordWrap(true);
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "word" + std::to_string(i) + (i % 7 == 6 ? "\r\n" : " ");
    memo.SetTextBuf(text);
    memo.ReformatAll();
    memo.FormatPending();
    memo.SetSelStart(30);
    memo.SetSelLength(12);
    const int32_t lines = memo.LineCount();
    const std::string firstLine = memo.DisplayLineText(0);

    TFailingPrinter printer;
    EXPECT_THROW(PrintDocument(memo, "x.html", printer), EPrinter);
    EXPECT_TRUE(printer.aborted);
    EXPECT_FALSE(printer.Printing());
    EXPECT_EQ(memo.LineCount(), lines);
    EXPECT_EQ(memo.DisplayLineText(0), firstLine);
    EXPECT_EQ(memo.SelStart(), 30);
    EXPECT_EQ(memo.SelLength(), 12);

    // A file that can not be written fails at once, the same way.
    TPrinter& real = Printer();
    // The message shows the name as names are shown.
    real.SetOutputFileName(program.File("no/such/fold\xE9r/out.pdf"));
    try {
        PrintDocument(memo, "x.html", real);
        ADD_FAILURE();
    } catch (const EPrinter& error) {
        EXPECT_NE(error.Message().find("fold\\xE9r/out.pdf"), std::string::npos) << error.Message();
    }
    EXPECT_FALSE(real.Printing());
    EXPECT_EQ(memo.LineCount(), lines);
    EXPECT_EQ(memo.SelLength(), 12);
}

TEST(Printing, LinesWiderThanThePageWrapOnPaperAndNothingIsLost) {
    // The editor does not wrap on screen; on paper a long line goes on
    // in the lines below it instead of running off the page.
    TTestProgramFolder program;
    TCodeMemo memo;
    memo.SetWordWrap(false); // as a document window's source
    std::string longLine;
    for (int i = 0; i < 120; ++i)
        longLine += "w" + std::to_string(i) + " ";
    memo.SetTextBuf("<P>\r\n" + longLine + "\r\n</P>");
    const int32_t lines = memo.LineCount();
    TPrinter& printer = Printer();
    const std::string pdf = program.File("wide.pdf");
    printer.SetOutputFileName(pdf);
    PrintDocument(memo, "long.html", printer);
    EXPECT_FALSE(memo.WordWrap()) << "the screen keeps its layout";
    EXPECT_EQ(memo.LineCount(), lines);

    std::string printed;
    for (const std::string& page : pageTexts(pdf))
        printed += page + "\n";
    std::stringstream words(printed);
    std::vector<std::string> found;
    std::string word;
    while (words >> word)
        if (word[0] == 'w')
            found.push_back(word);
    ASSERT_EQ(found.size(), 120u) << printed;
    for (int i = 0; i < 120; ++i)
        EXPECT_EQ(found[static_cast<size_t>(i)], "w" + std::to_string(i));

    // Every inked pixel of the page lies inside it, left of its right edge.
    const QImage page = firstPage(pdf, program.File("wide"));
    ASSERT_FALSE(page.isNull());
    for (const TBand& band : inkBands(page))
        EXPECT_LT(band.Right, page.width() - 48) << "a row at " << band.Top << " reaches the edge";
}

TEST(Printing, JustifiedLinesEndAtTheTextWidthOfThePage) {
    // A document window's source is justified: on paper its wrapped lines
    // are stretched to the width they were laid out for, one right edge
    // for all of them, well inside the page.
    TTestProgramFolder program;
    TCodeMemo memo;
    memo.SetWordWrap(false);
    memo.SetJustified(true);
    std::string paragraph;
    for (int i = 0; i < 90; ++i)
        paragraph += std::string(static_cast<size_t>(1 + i * 7 % 9), 'm') + " ";
    memo.SetTextBuf(paragraph + "\r\nend");
    TPrinter& printer = Printer();
    const std::string pdf = program.File("justified.pdf");
    printer.SetOutputFileName(pdf);
    const int pageWidth = printer.PageWidth();
    const int dpiX = printer.PixelsPerInchX();
    PrintDocument(memo, "j.html", printer);

    const QImage page = firstPage(pdf, program.File("justified"));
    ASSERT_FALSE(page.isNull());
    std::vector<TBand> bands = inkBands(page);
    // The header, the paragraph's lines, "end".
    ASSERT_GE(bands.size(), 5u);
    // Where the printed text's right edge falls at 96 dots per inch: the
    // page's width less the left edge and what the layout width leaves.
    const double scale = page.width() / static_cast<double>(pageWidth);
    const double textRight = (dpiX * 1.25 + (pageWidth - 2 * dpiX) - memo.RightMargin()) * scale;
    // Every line but the paragraph's last reaches it, and none passes it.
    for (size_t b = 1; b + 2 < bands.size(); ++b) {
        EXPECT_LE(bands[b].Right, textRight + 1) << "line " << b;
        EXPECT_GE(bands[b].Right, textRight - 12 * scale - 2) << "line " << b;
    }
    EXPECT_LT(bands[bands.size() - 2].Right, textRight - 12 * scale) << "the paragraph's last line is not stretched";
}
