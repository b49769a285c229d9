// The edit box, the memo and the label, driven through their wrappers and
// through their (offscreen) windows as a user would: random sessions
// against a plain string model, the memo's lines against an independent
// split of its text, and the label's size from the fixed-pitch measurer.

#include "platform/base/TextCodec.h"
#include "platform/base/Utf8.h"
#include "platform/gfx/TextMeasurer.h"
#include "platform/base/ComponentStream.h"
#include "platform/base/Stream.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/StandardControls.h"
#include "platform/ui/TextControls.h"
#include "tests/platform/controls/ControlsTestSupport.h"
#include "platform/ui/QtBridge.h"
#include "tests/support/FakeTextMeasurer.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <iterator>
#include <random>

namespace {

// Up to maxLength characters; with wide, UTF-8 of two, three and four
// bytes and bytes outside any valid sequence among them.
std::string randomText(std::mt19937& random, int maxLength, bool wide) {
    static const std::string plain = "abcdefghij XYZ0123456789-";
    static const char* const kWide[] = {"\xC3\xA9", "\xE2\x82\xAC", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80",
                                        "\xE9",     "\xFF",         "\xE4\xB8",     "\x80"};
    std::string text;
    int length = static_cast<int>(random() % static_cast<unsigned>(maxLength + 1));
    for (int i = 0; i < length; ++i) {
        if (wide && random() % 4 == 0)
            text += kWide[random() % std::size(kWide)];
        else
            text += plain[random() % plain.size()];
    }
    return text;
}

// Typed characters, as a keyboard sends them (one key event each).
const QString kTypedCharacters[] = {QString("k"), QString::fromUtf8("\xC3\xA9"), QString::fromUtf8("\xE4\xB8\xAD"),
                                    QString::fromUtf8("\xF0\x9F\x98\x80")};

void typeCharacter(QWidget* widget, const QString& character) {
    QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, character, Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, character, Qt::NoModifier);
}

// What an edit box should hold, worked out without it.
struct TEditModel {
    std::string Text;
    int SelStart = 0;
    int SelLength = 0;
    bool Modified = false;
    int Changes = 0;

    void Set(const std::string& text) {
        if (text != Text)
            ++Changes;
        Text = text;
        SelStart = SelLength = 0;
        Modified = false;
    }
    // Ends inside a character go to its start.
    void Select(int start, int length) {
        int size = static_cast<int>(Text.size());
        start = std::clamp(start, 0, size);
        int end = start + std::clamp(length, 0, size - start);
        SelStart = static_cast<int>(Utf8CharStart(Text, static_cast<size_t>(start)));
        SelLength = static_cast<int>(Utf8CharStart(Text, static_cast<size_t>(end))) - SelStart;
    }
    void Replace(const std::string& with) {
        std::string text = Text;
        text.replace(static_cast<size_t>(SelStart), static_cast<size_t>(SelLength), with);
        if (text != Text) {
            ++Changes;
            Modified = true;
        }
        Text = text;
        Select(SelStart + static_cast<int>(with.size()), 0);
    }
    // Backspace: the selection, or the character before the caret.
    void Backspace() {
        if (SelLength == 0 && SelStart > 0)
            Select(static_cast<int>(Utf8PreviousChar(Text, static_cast<size_t>(SelStart))),
                   SelStart - static_cast<int>(Utf8PreviousChar(Text, static_cast<size_t>(SelStart))));
        Replace("");
    }
};

// The program's text is UTF-8: the box shows characters and keeps every
// byte, even one outside a valid sequence; its offsets are bytes.
TEST(EditBox, RandomSessionsOfCodeAndTypingAgreeWithAStringModel) {
    TTestHost host;
    std::mt19937 random(5);
    for (int session = 0; session < 6; ++session) {
        TEdit edit(&host.Form);
        edit.SetParent(&host.Form);
        edit.SetBounds(10, 10, 200, 24);
        int changes = 0;
        edit.OnChange = [&](TPersistent* sender) {
            EXPECT_EQ(sender, &edit);
            ++changes;
        };
        auto* line = WidgetOf<QLineEdit>(edit);
        ASSERT_NE(line, nullptr);
        TEditModel model;
        for (int step = 0; step < 60; ++step) {
            switch (random() % 6) {
            case 0:
                model.Set(randomText(random, 12, true));
                edit.SetText(model.Text);
                break;
            case 1: {
                int start = static_cast<int>(random() % 16) - 2;
                int length = static_cast<int>(random() % 8);
                model.Select(start, 0);
                edit.SetSelStart(start);
                model.Select(model.SelStart, length);
                edit.SetSelLength(length);
                break;
            }
            case 2: {
                // Typing, one key at a time: one change per key.
                for (int keys = static_cast<int>(random() % 4); keys > 0; --keys) {
                    const QString& character = kTypedCharacters[random() % std::size(kTypedCharacters)];
                    model.Replace(character.toUtf8().toStdString());
                    typeCharacter(line, character);
                }
                break;
            }
            case 3: {
                std::string with = randomText(random, 4, true);
                model.Replace(with);
                edit.SetSelText(with);
                break;
            }
            case 4:
                model.Backspace();
                QTest::keyClick(line, Qt::Key_Backspace);
                break;
            case 5:
                model.Select(0, static_cast<int>(model.Text.size()));
                edit.SelectAll();
                break;
            }
            ASSERT_EQ(edit.Text(), model.Text) << "step " << step;
            ASSERT_EQ(edit.SelStart(), model.SelStart) << "step " << step;
            ASSERT_EQ(edit.SelLength(), model.SelLength) << "step " << step;
            ASSERT_EQ(edit.Modified(), model.Modified) << "step " << step;
            ASSERT_EQ(changes, model.Changes) << "step " << step;
            // The window shows what the control holds, its selection on
            // the same characters.
            ASSERT_EQ(line->text(), ProgramTextToQString(model.Text));
            int shownStart = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
            ASSERT_EQ(shownStart, QtPositionOfProgramText(model.Text, model.SelStart)) << "step " << step;
            int shownEnd = line->hasSelectedText() ? line->selectionEnd() : shownStart;
            ASSERT_EQ(shownEnd, QtPositionOfProgramText(model.Text, model.SelStart + model.SelLength));
        }
    }
}

TEST(EditBox, KeyHandlersMayTakeOrChangeWhatIsTyped) {
    TTestHost host;
    TEdit edit(&host.Form);
    edit.SetParent(&host.Form);
    // Digits are refused, lower-case letters typed in upper case.
    edit.OnKeyPress = [](TPersistent*, char& key) {
        if (key >= '0' && key <= '9')
            key = 0;
        else if (key >= 'a' && key <= 'z')
            key = static_cast<char>(key - 'a' + 'A');
    };
    std::vector<uint16_t> downs;
    edit.OnKeyDown = [&](TPersistent*, uint16_t& key, TShiftState) {
        downs.push_back(key);
        if (key == VK_DELETE)
            key = 0;
    };
    auto* line = WidgetOf<QLineEdit>(edit);
    QTest::keyClicks(line, "ab1c2");
    EXPECT_EQ(edit.Text(), "ABC");
    EXPECT_EQ(downs.size(), 5u);
    edit.SetSelStart(0);
    QTest::keyClick(line, Qt::Key_Delete);
    EXPECT_EQ(edit.Text(), "ABC") << "the handler took Delete";
    QTest::keyClick(line, Qt::Key_Right);
    QTest::keyClick(line, Qt::Key_Backspace);
    EXPECT_EQ(edit.Text(), "BC");
}

TEST(EditBox, ReadOnlyRefusesTypingAndPasswordsHideTheText) {
    TTestHost host;
    TEdit edit(&host.Form);
    edit.SetParent(&host.Form);
    edit.SetText("fixed");
    edit.SetReadOnly(true);
    auto* line = WidgetOf<QLineEdit>(edit);
    QTest::keyClicks(line, "xyz");
    EXPECT_EQ(edit.Text(), "fixed");
    edit.SetReadOnly(false);
    edit.SetPasswordChar('*');
    EXPECT_EQ(line->echoMode(), QLineEdit::Password);
    edit.SetMaxLength(7);
    edit.SetSelStart(5);
    QTest::keyClicks(line, "abcdef");
    EXPECT_EQ(edit.Text(), "fixedab") << "typing stops at MaxLength";
}

// ---------------------------------------------------------------------------
// Memo lines

// The lines of a text split without the memo: CR LF, LF or CR end a line,
// and a break at the very end starts none.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::vector<std::string> linesOf(TStrings& strings) {
    std::vector<std::string> lines;
    for (int i = 0; i < strings.Count(); ++i)
        lines.push_back(strings.Strings(i));
    return lines;
}

TEST(MemoLines, RandomEditsKeepEveryOtherLineAndTheTextSplitsIntoTheLines) {
    std::mt19937 random(17);
    for (int round = 0; round < 30; ++round) {
        TMemo memo;
        int changes = 0;
        memo.OnChange = [&](TPersistent*) { ++changes; };
        static const char* breaks[] = {"\r\n", "\n", "\r"};
        std::string start;
        for (int i = 0, n = static_cast<int>(random() % 4); i < n; ++i)
            start += randomText(random, 5, true) + breaks[random() % 3];
        if (random() % 2)
            start += randomText(random, 5, false);
        memo.SetText(start);
        std::vector<std::string> expected = splitLines(start);
        TStrings& lines = memo.Lines();
        for (int step = 0; step < 25; ++step) {
            ASSERT_EQ(linesOf(lines), expected) << "round " << round << " step " << step;
            ASSERT_EQ(splitLines(memo.Text()), expected);
            int count = lines.Count();
            // Not empty: an empty line added behind an unbroken last line
            // is only the break that ends that line.
            std::string s = randomText(random, 5, true);
            s += 'L';
            int before = changes;
            switch (random() % 4) {
            case 0: {
                int at = static_cast<int>(random() % static_cast<unsigned>(count + 1));
                lines.Insert(at, s);
                expected.insert(expected.begin() + at, s);
                break;
            }
            case 1:
                lines.Add(s);
                expected.push_back(s);
                break;
            case 2:
                if (count == 0)
                    continue;
                {
                    int at = static_cast<int>(random() % static_cast<unsigned>(count));
                    lines.Delete(at);
                    expected.erase(expected.begin() + at);
                }
                break;
            case 3:
                if (count == 0)
                    continue;
                {
                    int at = static_cast<int>(random() % static_cast<unsigned>(count));
                    std::string old = lines.Strings(at);
                    lines.Put(at, s);
                    expected[static_cast<size_t>(at)] = s;
                    if (old == s)
                        ++before; // no change, no event: balance the check below
                }
                break;
            }
            // An empty line added last to an empty memo makes no text; each
            // real change of the text is one OnChange.
            ASSERT_LE(changes - before, 1);
        }
        EXPECT_THROW(lines.Delete(lines.Count()), EListError);
        EXPECT_THROW(lines.Insert(lines.Count() + 1, "x"), EListError);
    }
}

TEST(MemoLines, AddingFollowsTheTextsLastBreak) {
    TMemo memo;
    memo.Lines().Add("one");
    memo.Lines().Add("two");
    EXPECT_EQ(memo.Text(), "one\r\ntwo\r\n");
    memo.SetText("a\nb");
    memo.Lines().Add("c");
    EXPECT_EQ(memo.Text(), "a\nb\r\nc");
    memo.Lines().Delete(2);
    EXPECT_EQ(memo.Text(), "a\nb");
    EXPECT_EQ(memo.Lines().Text(), "a\nb") << "the lines' text is the memo's text exactly";
}

TEST(MemoWindow, ShowsTheTextAndHandsBackTypedBreaksAsCrLf) {
    TTestHost host;
    TMemo memo(&host.Form);
    memo.SetParent(&host.Form);
    memo.SetBounds(10, 10, 200, 120);
    memo.SetText("first\nsecond\r\nthird\xC2\xA0" "end");
    auto* edit = WidgetOf<QTextEdit>(memo);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->document()->blockCount(), 3);
    EXPECT_EQ(edit->document()->findBlockByNumber(2).text(), QString::fromUtf8("third\u00A0end"));
    int changes = 0;
    memo.OnChange = [&](TPersistent*) { ++changes; };
    // The caret at the start of "second", as the control counts.
    memo.SetSelStart(6);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, 'x');
    EXPECT_EQ(memo.Text(), "first\r\n\r\nxsecond\r\nthird\xC2\xA0" "end");
    EXPECT_EQ(memo.SelStart(), 10);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(memo.Lines().Count(), 4);
    EXPECT_EQ(memo.Lines().Strings(2), "xsecond");
}

// ---------------------------------------------------------------------------
// Labels

class TFixedPitch : public ::testing::Test {
protected:
    void SetUp() override { SetDefaultTextMeasurer(&measurer_); }
    void TearDown() override { SetDefaultTextMeasurer(nullptr); }
    TFakeTextMeasurer measurer_;
};

TEST_F(TFixedPitch, ALabelTakesTheSizeOfItsTextWithoutAcceleratorMarks) {
    TLabel label;
    TCanvas& canvas = label.Canvas();
    canvas.SetFont(label.Font());
    const int advance = canvas.TextWidth("x");
    const int lineHeight = canvas.TextHeight("Wg");
    label.SetCaption("&Save && quit");
    EXPECT_EQ(label.DisplayText(), "Save & quit");
    EXPECT_EQ(label.Width(), advance * 11);
    EXPECT_EQ(label.Height(), lineHeight);
    label.SetShowAccelChar(false);
    EXPECT_EQ(label.Width(), advance * 13);
    // Wrapped at blanks within its width; the width stays.
    label.SetShowAccelChar(true);
    label.SetCaption("aaa bbb ccc dd");
    label.SetWordWrap(true);
    label.SetWidth(advance * 8);
    label.SetCaption("aaa bbb ccc dd");
    EXPECT_EQ(label.TextLines(label.Width()), (std::vector<std::string>{"aaa bbb", "ccc dd"}));
    label.SetCaption("aaa bbb ccc dd ");
    EXPECT_EQ(label.Height(), 2 * lineHeight);
    EXPECT_EQ(label.Width(), advance * 8);
    // A word wider than the label keeps a line of its own.
    EXPECT_EQ(label.TextLines(advance * 3), (std::vector<std::string>{"aaa", "bbb", "ccc", "dd"}));
    EXPECT_EQ(label.TextLines(advance * 2), (std::vector<std::string>{"aaa", "bbb", "ccc", "dd"}));
}

// Labels of a form description, and of a form read back from a stream,
// take the size of their text once loaded, whatever bounds were given or
// stored: from the left edge given, from the right one when they are
// right-justified, a blank's width without text, the given width when
// they wrap (their height still follows the text).  Read where the text measures wider (another machine's
// fonts), the stored bounds give way again.
TEST_F(TFixedPitch, LabelsBuiltOrReadTakeTheSizeOfTheirTextWhateverBoundsWereStored) {
    RegisterStandardControlClasses();
    std::mt19937 random(17);
    struct TCase {
        std::string Caption;
        TRect Given;
        bool Right = false;
        bool Wrap = false;
    };
    std::vector<TCase> cases;
    TFormDescription description;
    for (int i = 0; i < 16; ++i) {
        TCase c;
        const size_t length = random() % 4 == 0 ? 0 : 1 + random() % 20;
        c.Caption = std::string(length, static_cast<char>('a' + i));
        if (length > 2 && random() % 2)
            c.Caption.insert(1, "&");
        c.Given = Bounds(8 + static_cast<int>(random() % 100), 8 + 20 * i, 1 + static_cast<int>(random() % 200), 13);
        c.Right = random() % 3 == 0;
        c.Wrap = !c.Right && random() % 4 == 0;
        TComponentDescription label{.Name = "Label" + std::to_string(i), .ClassName = "TLabel", .Bounds = c.Given,
                                    .Properties = {{"Caption", c.Caption}}};
        if (c.Right)
            label.Properties.push_back({"Alignment", "taRightJustify"});
        if (c.Wrap)
            label.Properties.push_back({"WordWrap", true});
        description.Components.push_back(std::move(label));
        cases.push_back(std::move(c));
    }
    auto expectSized = [&](TPanel& form, int advance, const char* when) {
        for (size_t i = 0; i < cases.size(); ++i) {
            const TCase& c = cases[i];
            auto* label = dynamic_cast<TLabel*>(form.FindComponent("Label" + std::to_string(i)));
            ASSERT_NE(label, nullptr);
            std::string shown = c.Caption;
            shown.erase(std::remove(shown.begin(), shown.end(), '&'), shown.end());
            // One word: it keeps a line of its own even where it wraps.
            const int textWidth = advance * static_cast<int>(std::max<size_t>(1, shown.size()));
            SCOPED_TRACE(std::string(when) + " \"" + c.Caption + "\"");
            EXPECT_EQ(label->Width(), c.Wrap ? c.Given.Width() : textWidth);
            EXPECT_EQ(label->Height(), 16);
            EXPECT_EQ(label->Top(), c.Given.Top);
            if (c.Right)
                EXPECT_EQ(label->Left() + label->Width(), c.Given.Right);
            else
                EXPECT_EQ(label->Left(), c.Given.Left);
        }
    };
    TPanel form;
    form.SetName("form");
    BuildForm(form, description, THandlerTable());
    expectSized(form, 8, "built");

    TMemoryStream stream;
    WriteComponent(stream, form);
    stream.SetPosition(0);
    TPanel same;
    ReadComponent(stream, same, nullptr);
    expectSized(same, 8, "read");

    measurer_.SetCharWidth(11);
    stream.SetPosition(0);
    TPanel wider;
    ReadComponent(stream, wider, nullptr);
    // The right-justified ones keep the right edge they were stored with.
    expectSized(wider, 11, "read with wider text");
}

} // namespace

namespace {

// A colour the program chose shows in the box; a system colour gives the
// style's own look back.
TEST(EditBox, AChosenColourShowsAndASystemColourGivesTheStylesLookBack) {
    TTestHost host;
    TEdit edit(&host.Form);
    edit.SetParent(&host.Form);
    edit.SetBounds(10, 10, 100, 24);
    auto* line = WidgetOf<QLineEdit>(edit);
    auto inside = [&] { return QColor(line->grab().toImage().pixel(50, 12)); };
    const QColor styleBase = inside();
    edit.SetColor(clYellow);
    EXPECT_EQ(inside(), QColor(Qt::yellow));
    edit.Font().SetColor(clRed);
    EXPECT_EQ(line->palette().color(QPalette::Text), QColor(Qt::red));
    edit.SetColor(clWindow);
    edit.Font().SetColor(clWindowText);
    EXPECT_EQ(inside(), styleBase);
}

} // namespace

namespace {

// A click on an edit box or memo runs OnClick once (a colour swatch made of
// a memo opens its dialog so); a button's click is its own, once too.
TEST(EditBox, AMouseClickRunsOnClickOnce) {
    TTestHost host;
    TMemo swatch(&host.Form);
    swatch.SetParent(&host.Form);
    swatch.SetBounds(10, 10, 40, 20);
    TEdit edit(&host.Form);
    edit.SetParent(&host.Form);
    edit.SetTop(40);
    TEventLog log;
    swatch.OnClick = log.Note("swatch");
    edit.OnClick = log.Note("edit");
    edit.OnDblClick = log.Note("edit twice");
    auto* memoView = WidgetOf<QTextEdit>(swatch)->viewport();
    QTest::mouseClick(memoView, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(WidgetOf<QLineEdit>(edit), Qt::LeftButton, {}, QPoint(5, 5));
    DoubleClick(WidgetOf<QLineEdit>(edit), QPoint(5, 5));
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"swatch", "edit", "edit", "edit twice"}));
}

} // namespace
