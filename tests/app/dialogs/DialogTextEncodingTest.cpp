// What the element dialogs write lands in the document's own encoding:
// characters typed into a dialog's edit box go into a UTF-8 page as UTF-8
// and into a code-page page as its bytes or as numeric references, and a
// selection the dialog wraps keeps its bytes, checked against a model
// over random text in both encodings.

#include "tests/app/dialogs/DialogTestSupport.h"
#include "tests/app/dialogs/EditorProbe.h"

#include "platform/base/Utf8.h"
#include "platform/ui/Forms.h"
#include "platform/ui/TextControls.h"
#include "platform/widgets/NativePeer.h"

#include <QLineEdit>
#include <QTest>

#include <random>

namespace {

class DialogTextEncoding : public TDialogTest {};

TEdit* editNamed(TCustomForm& form, const char* name) { return dynamic_cast<TEdit*>(form.FindComponent(name)); }

// Types characters into an edit box's window, one key event each.
void typeInto(TEdit& edit, const std::vector<const char*>& characters) {
    auto* peer = dynamic_cast<TNativePeer*>(edit.Peer());
    ASSERT_NE(peer, nullptr);
    auto* line = qobject_cast<QLineEdit*>(peer->Widget());
    ASSERT_NE(line, nullptr);
    for (const char* character : characters) {
        const QString text = QString::fromUtf8(character);
        QTest::sendKeyEvent(QTest::Press, line, Qt::Key_unknown, text, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, line, Qt::Key_unknown, text, Qt::NoModifier);
    }
}

TEST_F(DialogTextEncoding, CharactersTypedIntoADialogLandInTheDocumentsEncoding) {
    TEditForm* document = NewDocument();
    struct TCase {
        TTextEncoding Encoding;
        const char* Written;
    };
    for (const TCase& test : {TCase{teUtf8, "<INPUT TYPE=\"hidden\" NAME=\"caf\xC3\xA9\" VALUE=\"\xE4\xB8\xAD\xE2\x82\xAC\">"},
                              TCase{teAnsi, "<INPUT TYPE=\"hidden\" NAME=\"caf\xE9\" VALUE=\"&#20013;\x80\">"}}) {
        SCOPED_TRACE(TextEncodingName(test.Encoding));
        SetEditorText(*document, "");
        SetEditorEncoding(*document, test.Encoding);
        ASSERT_TRUE(RunCommand("hiddenbuttonClick", [&](TCustomForm& dialog) {
            typeInto(*editNamed(dialog, "Edit1"), {"c", "a", "f", "\xC3\xA9"});
            typeInto(*editNamed(dialog, "Edit2"), {"\xE4\xB8\xAD", "\xE2\x82\xAC"});
            EXPECT_EQ(editNamed(dialog, "Edit1")->Text(), "caf\xC3\xA9") << "the dialog holds UTF-8";
            PressOk(dialog);
        }));
        EXPECT_EQ(EditorText(*document), test.Written);
    }
}

// Random document text: any bytes in the code page; characters of one to
// four bytes and stray bytes in UTF-8.
std::string randomDocumentText(std::mt19937& random, TTextEncoding encoding) {
    static const char* const kPieces[] = {"w", " ", "\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\xE9", "\x80"};
    std::string text;
    for (size_t i = 0, n = 1 + random() % 6; i < n; ++i) {
        if (encoding == teAnsi)
            text += static_cast<char>(0x80 + random() % 0x80);
        else
            text += kPieces[random() % std::size(kPieces)];
    }
    return text;
}

std::string randomProgramText(std::mt19937& random) {
    static const char* const kPieces[] = {"n", "\xC3\xA9", "\xE4\xB8\xAD", "\xE2\x82\xAC", "\xC5\x93", "\xF0\x9F\x98\x80"};
    std::string text;
    for (size_t i = 0, n = random() % 5; i < n; ++i)
        text += kPieces[random() % std::size(kPieces)];
    return text;
}

TEST_F(DialogTextEncoding, WrappedSelectionsKeepTheirBytesAndTheFieldsTakeTheDocumentsEncoding) {
    TEditForm* document = NewDocument();
    std::mt19937 random(31);
    for (int round = 0; round < 24; ++round) {
        const TTextEncoding encoding = round % 2 == 0 ? teAnsi : teUtf8;
        SCOPED_TRACE("round " + std::to_string(round) + " " + TextEncodingName(encoding));
        const std::string before = randomDocumentText(random, encoding) + "<P>";
        const std::string selected = randomDocumentText(random, encoding);
        const std::string after = "</P>" + randomDocumentText(random, encoding);
        const std::string name = randomProgramText(random);
        SetEditorText(*document, before + selected + after, static_cast<int>(before.size()),
                      static_cast<int>(selected.size()));
        SetEditorEncoding(*document, encoding);
        const bool font = round % 4 >= 2;
        ASSERT_TRUE(RunCommand(font ? "policebuttonClick" : "ancrebuttonClick", [&](TCustomForm& dialog) {
            if (font) {
                SetControls(dialog, {{"CheckBox1", "1"}, {"ComboBox1", name}});
            } else {
                SetControl(dialog, "edit1", name);
            }
            PressOk(dialog);
        }));
        // Model: the markup in the program's text, through the document's
        // encoding; the selection as it was.
        const std::string opening = font ? "<FONT FACE=\"" + name + "\">" : "<A NAME=\"" + name + "\">";
        const std::string closing = font ? "</FONT>" : "</A>";
        ASSERT_EQ(EditorText(*document),
                  before + ProgramTextToDocument(opening, encoding) + selected + closing + after);
        if (font) {
            // The wrapped text is selected again.
            EXPECT_EQ(EditorSelText(*document), selected);
        } else {
            // The caret in front of "</A>".
            EXPECT_EQ(EditorSelLength(*document), 0);
            EXPECT_EQ(EditorSelStart(*document),
                      static_cast<int>((before + ProgramTextToDocument(opening, encoding) + selected).size()));
        }
    }
}

} // namespace
