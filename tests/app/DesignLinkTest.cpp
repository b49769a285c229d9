// The source and the design view: a page only looked at in the design view
// keeps its source byte for byte, an edit made there comes back (with the
// file's byte-order mark), and a view that is loading or does not answer
// never changes the source.  The preview file goes only when this window
// wrote it.

#include "app/DesignLink.h"
#include "app/DocumentText.h"
#include "app/PreviewFile.h"

#include "editor/CodeMemo.h"
#include "tests/platform/base/TempFolder.h"
#include "tests/platform/webview/FakeWebViews.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <cctype>
#include <filesystem>
#include <random>

namespace {

// The view writes pages its own way, as the engine does: lower-case tags
// and CR LF breaks.
std::string engineWriting(const std::string& html) {
    std::string out;
    bool inTag = false;
    for (size_t i = 0; i < html.size(); ++i) {
        char c = html[i];
        if (c == '<')
            inTag = true;
        else if (c == '>')
            inTag = false;
        if (c == '\n' && (i == 0 || html[i - 1] != '\r'))
            out += '\r';
        out += inTag ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : c;
    }
    return out;
}

struct TDocument {
    TDocument() {
        Editor.SetStaticFormat(false);
        View.Serialise = engineWriting;
        View.OnDocumentComplete = [this](TPersistent*) { Link.DocumentComplete(); };
    }
    TCodeMemo Editor;
    TDocumentText Text{Editor};
    TFakeDesignView View;
    TDesignLink Link{View, Text};
};

} // namespace

TEST(DesignLink, APageOnlyLookedAtKeepsItsSourceAndAnEditComesBack) {
    const std::string source = "<!DOCTYPE html>\n<HTML><BODY>\x80\x01 x</BODY></HTML>\n<?php echo 1; ?>";
    TDocument doc;
    doc.Text.SetText(source);
    doc.Link.Show("file:///pages/");
    EXPECT_FALSE(doc.Link.Ready());
    doc.View.CompleteLoad();
    ASSERT_TRUE(doc.Link.Ready());
    EXPECT_EQ(doc.View.Loads.back().BaseURL, "file:///pages/");
    EXPECT_FALSE(doc.Link.TakeBack());
    EXPECT_EQ(doc.Text.Bytes(), source);

    // Edited in the view: the page replaces the source, with the file's
    // own line breaks, and the document is modified.
    doc.Editor.Modified = false;
    doc.Link.Show("file://");
    doc.View.CompleteLoad();
    doc.View.UserEdits(doc.View.Page + "\r\n<p>new</p>");
    EXPECT_TRUE(doc.Link.TakeBack());
    EXPECT_TRUE(doc.Editor.Modified);
    std::string expected = engineWriting(source) + "\r\n<p>new</p>";
    expected.erase(std::remove(expected.begin(), expected.end(), '\r'), expected.end());
    EXPECT_EQ(doc.Text.Bytes(), expected);
    // Taken back once: leaving again without an edit changes nothing more.
    EXPECT_FALSE(doc.Link.TakeBack());
}

// The paragraphs a reader of the text finds: CR LF and LF CR are one
// break each, a lone CR or LF is one.
std::vector<std::string> paragraphsOf(const std::string& text) {
    std::vector<std::string> paragraphs(1);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            paragraphs.back() += c;
            continue;
        }
        if (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n') && text[i + 1] != c)
            ++i;
        paragraphs.emplace_back();
    }
    return paragraphs;
}

TEST(DesignLink, AnEditBroughtBackIsOneStepThatUndoTakesBack) {
    // Pages as a view may write them, with every kind of break; the
    // source's own edits stay undoable behind the page's.
    std::mt19937 random(7);
    const char* pieces[] = {"<p>", "x", "\r\n", "\n", "\r", "\n\r", "</p>", "\xC3\xA9", "\t"};
    for (int round = 0; round < 60; ++round) {
        TDocument doc;
        doc.Text.SetText("<P>one</P>\n<P>two</P>\n");
        doc.Editor.SetSelStart(3);
        doc.Editor.SetSelText("typed ");
        const std::string edited = doc.Editor.Text();
        const std::string bytes = doc.Text.Bytes();
        doc.Link.Show("file://");
        doc.View.CompleteLoad();
        std::string page;
        for (int i = std::uniform_int_distribution<int>(0, 30)(random); i >= 0; --i)
            page += pieces[std::uniform_int_distribution<size_t>(0, std::size(pieces) - 1)(random)];
        doc.View.UserEdits(page);
        ASSERT_TRUE(doc.Link.TakeBack());
        // The page, its breaks spelt as the file spells its own (LF).
        std::string expected;
        for (const std::string& paragraph : paragraphsOf(page))
            expected += paragraph + "\n";
        expected.pop_back();
        ASSERT_EQ(doc.Text.Bytes(), expected) << round;
        ASSERT_EQ(doc.Editor.ParagraphCount(), static_cast<int32_t>(paragraphsOf(page).size()));

        ASSERT_TRUE(doc.Editor.CanUndo());
        doc.Editor.Undo();
        ASSERT_EQ(doc.Editor.Text(), edited) << round;
        ASSERT_EQ(doc.Text.Bytes(), bytes) << round;
        doc.Editor.Undo();
        ASSERT_EQ(doc.Editor.Text(), "<P>one</P>\r\n<P>two</P>\r\n") << "the source's own edit, undone";
        doc.Editor.Redo();
        doc.Editor.Redo();
        ASSERT_EQ(doc.Text.Bytes(), expected) << round;
    }
}

// The view rewrites the whole page, so the one step holds the whole old
// source: however large the page (beyond the document's undo space too),
// Undo brings the source back byte for byte and Redo the page again.  A
// document that keeps no undo keeps none of this either.
TEST(DesignLink, AnEditOfAPageOfAnySizeIsUndoneByteForByte) {
    std::mt19937 random(17);
    auto text = [&](size_t size) {
        std::string made;
        while (made.size() < size) {
            const int pick = static_cast<int>(random() % 8);
            made += pick == 0 ? "\r\n" : pick == 1 ? "<p>" : pick == 2 ? "\xC3\xA9" : std::string(1 + random() % 20, 'a' + pick);
        }
        return made;
    };
    for (int round = 0; round < 8; ++round) {
        TDocument doc;
        const int32_t space = doc.Editor.UndoMaxSpace();
        const size_t sourceSize = std::uniform_int_distribution<size_t>(10, 4 * static_cast<size_t>(space))(random);
        doc.Text.SetText(text(sourceSize));
        doc.Editor.SetSelStart(0);
        doc.Editor.SetSelText("<!-- typed -->"); // an edit of the source's own, before the page's
        const std::string source = doc.Editor.Text();
        doc.Link.Show("file://");
        doc.View.CompleteLoad();
        doc.View.UserEdits(text(std::uniform_int_distribution<size_t>(10, 4 * static_cast<size_t>(space))(random)));
        ASSERT_TRUE(doc.Link.TakeBack());
        const std::string page = doc.Editor.Text();
        ASSERT_TRUE(doc.Editor.CanUndo()) << "round " << round << ", source of " << source.size() << " bytes";
        doc.Editor.Undo();
        ASSERT_EQ(doc.Editor.Text(), source) << "round " << round;
        doc.Editor.Redo();
        ASSERT_EQ(doc.Editor.Text(), page) << "round " << round;
    }
    TDocument none;
    none.Editor.SetUndoMaxSpace(0);
    none.Text.SetText(text(100000));
    none.Link.Show("file://");
    none.View.CompleteLoad();
    none.View.UserEdits(text(100000));
    ASSERT_TRUE(none.Link.TakeBack());
    EXPECT_FALSE(none.Editor.CanUndo());
    EXPECT_EQ(none.Editor.UndoMaxSpace(), 0);
}

// A UTF-8 file that began with the byte-order mark keeps it when a page
// edited in the view comes back (the engine reads the mark as no part of
// the page and never writes it); one without gains none.
TEST(DesignLink, ThePagesByteOrderMarkSurvivesAnEditInTheView) {
    const std::string mark = "\xEF\xBB\xBF";
    std::mt19937 random(31);
    const char* pieces[] = {"<p>", "x", "\r\n", "</p>", "\xC3\xA9", mark.c_str()};
    for (int round = 0; round < 80; ++round) {
        TDocument doc;
        doc.View.Serialise = [&](const std::string& html) {
            return engineWriting(html.rfind(mark, 0) == 0 ? html.substr(mark.size()) : html);
        };
        const bool marked = random() % 2;
        doc.Text.SetText((marked ? mark : "") + "<HTML><BODY>caf\xC3\xA9</BODY></HTML>");
        doc.Link.Show("file://");
        doc.View.CompleteLoad();
        ASSERT_EQ(doc.View.Page.rfind(mark, 0), std::string::npos) << "the view shows no mark";
        std::string page;
        for (int i = static_cast<int>(random() % 12); i >= 0; --i)
            page += pieces[random() % std::size(pieces)];
        doc.View.UserEdits(page);
        ASSERT_TRUE(doc.Link.TakeBack());
        const std::string bytes = doc.Text.Bytes();
        const std::string expected = marked && page.rfind(mark, 0) != 0 ? mark + page : page;
        std::string withoutCr = expected;
        withoutCr.erase(std::remove(withoutCr.begin(), withoutCr.end(), '\r'), withoutCr.end());
        std::string gotWithoutCr = bytes;
        gotWithoutCr.erase(std::remove(gotWithoutCr.begin(), gotWithoutCr.end(), '\r'), gotWithoutCr.end());
        ASSERT_EQ(gotWithoutCr, withoutCr) << "round " << round;
    }
}

// Random sessions of a user switching between the source and the design
// page while the view loads, is edited or stops answering, against a model
// of when the page must come back.
TEST(DesignLink, TheSourceChangesOnlyByAnEditOfALoadedPage) {
    std::mt19937 random(99);
    std::uniform_int_distribution<int> step(0, 3);
    for (int round = 0; round < 300; ++round) {
        TDocument doc;
        doc.Text.SetText("<P>start</P>\n");
        bool onDesign = false;
        bool loading = false; // the view has not loaded what it was given
        bool edited = false;  // the user typed into the loaded page
        std::string taken;    // the page taken back since it loaded
        for (int i = 0; i < 40; ++i) {
            const int what = step(random);
            if (!onDesign) {
                if (what == 0) { // the user leaves the source page
                    doc.Link.Show("file://");
                    onDesign = true;
                    loading = true;
                    edited = false;
                    taken.clear();
                } else { // or edits the source
                    doc.Editor.SetSelStart(doc.Editor.TextLength());
                    doc.Editor.SetSelText(what == 1 ? "<I>x</I>" : "\r\n");
                }
                continue;
            }
            if (what == 0) { // the engine finishes loading
                loading = false;
                doc.View.CompleteLoad();
            } else if (what == 1) { // the user types into the loaded page
                if (!loading) {
                    doc.View.UserEdits(doc.View.Page + "<b>" + std::to_string(i) + "</b>");
                    edited = true;
                }
            } else if (what == 2) { // the page stops answering
                doc.View.Hung = true;
            } else { // the user leaves the design page
                ASSERT_EQ(doc.Link.Ready(), !loading) << round;
                if (loading)
                    continue; // refused: the page stays
                const std::string before = doc.Editor.Text();
                const std::string page = doc.View.Page;
                const bool comesBack = edited && !doc.View.Hung && page != taken;
                ASSERT_EQ(doc.Link.TakeBack(), comesBack) << "round " << round << " step " << i;
                ASSERT_EQ(doc.Editor.Text(), comesBack ? page : before) << "round " << round << " step " << i;
                if (comesBack)
                    taken = page;
                // Leaving is refused while the page loads; closing is not
                // leaving, so now and then the user stays on the page.
                onDesign = i % 3 == 0;
            }
        }
    }
}

// Text put into the page shown (the program's, UTF-8) takes the
// document's encoding there, goes in at the user's caret and comes back
// with the page; a page that does not answer takes nothing and changes
// nothing.
TEST(DesignLink, TextInsertedIntoThePageTakesTheDocumentsEncodingAndComesBack) {
    struct TCase {
        TTextEncoding Encoding;
        std::string Expected;
    };
    const TCase cases[] = {{teUtf8, "<p>a\xC3\xA9 \xE4\xB8\xAD|b</p>"},
                           {teAnsi, "<p>a\xE9 &#20013;|b</p>"}};
    for (const TCase& c : cases) {
        TDocument doc;
        doc.Editor.SetEncoding(c.Encoding);
        doc.Text.SetText("<p>ab</p>");
        doc.Link.Show("file://");
        doc.View.CompleteLoad();
        doc.View.Caret = 4; // after the "a"
        ASSERT_TRUE(doc.Link.Insert("\xC3\xA9 \xE4\xB8\xAD"));
        ASSERT_TRUE(doc.Link.Insert("|"));
        ASSERT_TRUE(doc.Link.TakeBack());
        EXPECT_EQ(doc.Text.Bytes(), c.Expected) << TextEncodingName(c.Encoding);

        doc.View.Hung = true;
        EXPECT_FALSE(doc.Link.Insert("x"));
        EXPECT_FALSE(doc.Link.TakeBack());
        EXPECT_EQ(doc.Text.Bytes(), c.Expected);
    }
}

TEST(PreviewFile, IsRemovedOnlyWhenThisWindowWroteIt) {
    TTempFolder folder;
    const std::string document = folder.File("page.html");
    const std::string preview = folder.File("HTMLtmp.htm");
    EXPECT_EQ(TPreviewFile::PathFor(document), preview);
    auto ReadFileText = [](const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };

    // Someone else's preview file stays, written or not: the copy takes
    // the next name beside it.
    std::ofstream(preview) << "theirs";
    TPreviewFile file;
    file.Remove();
    EXPECT_TRUE(std::filesystem::exists(preview));

    file.Write(document, "<P>mine</P>");
    EXPECT_EQ(file.Written(), folder.File("HTMLtmp-2.htm"));
    EXPECT_EQ(ReadFileText(preview), "theirs");
    file.Remove();
    EXPECT_FALSE(std::filesystem::exists(folder.File("HTMLtmp-2.htm")));
    EXPECT_EQ(ReadFileText(preview), "theirs");
    file.Remove(); // nothing left to remove: no error

    // The copy is as private as the page; 0600 without a page to ask.
    for (const auto bits : {std::filesystem::perms(0640), std::filesystem::perms(0600)}) {
        std::ofstream(document) << "page";
        std::filesystem::permissions(document, bits);
        file.Write(document, "<P>mode</P>");
        EXPECT_EQ(std::filesystem::status(file.Written()).permissions(), bits);
    }
    std::filesystem::remove(document);
    file.Write(document, "<P>mode</P>");
    EXPECT_EQ(std::filesystem::status(file.Written()).permissions(), std::filesystem::perms(0600));
    file.Remove();

    // A document whose folder is gone.
    EXPECT_THROW(file.Write(folder.File("gone/page.html"), "x"), EFCreateError);
    EXPECT_EQ(file.Written(), "");
}
