// The memo's window: a plain-text editor.  Line breaks show as Qt's; the
// text the user makes reaches the control with CR LF breaks, and
// positions are counted as the control counts them (in bytes, CR LF two).
#include "platform/base/TextCodec.h"
#include "platform/ui/TextControls.h"
#include "platform/widgets/NativePeer.h"
#include "platform/widgets/TextLimit.h"
#include "platform/widgets/WindowKinds.h"
#include "platform/ui/QtBridge.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {

// The control's text with every line break a single "\n".
std::string brokenByNewLines(const std::string& text) {
    std::string lines;
    lines.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            lines += text[i];
        }
    }
    return lines;
}

QString shownText(const std::string& text) { return ProgramTextToQString(brokenByNewLines(text)); }

// The control's offset of an offset in its text broken by "\n", and back.
int controlOffset(const std::string& text, int shown) {
    int offset = 0;
    for (int seen = 0; seen < shown && offset < static_cast<int>(text.size()); ++seen) {
        if (text.compare(static_cast<size_t>(offset), 2, "\r\n") == 0)
            offset += 2;
        else
            offset += 1;
    }
    return offset;
}

int shownOffset(const std::string& text, int offset) {
    int shown = 0;
    for (int i = 0; i < offset && i < static_cast<int>(text.size()); ++i) {
        if (text.compare(static_cast<size_t>(i), 2, "\r\n") == 0)
            ++i;
        ++shown;
    }
    return shown;
}

// The editor's position of a byte offset of the control's text, and back.
int editorPosition(const std::string& text, int offset) {
    return QtPositionOfProgramText(brokenByNewLines(text), shownOffset(text, offset));
}

int controlOffsetOfEditor(const QString& shown, const std::string& text, int position) {
    return controlOffset(text, ProgramTextOffsetOfQt(shown, position));
}

class TMemoPeer : public TNativePeer {
public:
    explicit TMemoPeer(TCustomMemo& memo)
        : TNativePeer(memo, new TLimitedTextEdit(ParentWidgetFor(memo), [&memo] { return memo.MaxLength(); })),
          memo_(memo) {
        QTextEdit* edit = textEdit();
        edit->setAcceptRichText(false);
        setClientWidget(edit->viewport());
        watch(edit->viewport());
        connect(edit, &QTextEdit::textChanged, [this] { edited(); });
        connect(edit, &QTextEdit::cursorPositionChanged, [this] { selectionMoved(); });
        connect(edit, &QTextEdit::selectionChanged, [this] { selectionMoved(); });
        TSync sync(*this);
        for (TPeerAspect aspect : {paReadOnly, paAlignment, paOptions})
            changed(aspect, -1);
        start();
        changed(paSelection, -1);
    }

protected:
    QTextEdit* textEdit() const { return static_cast<QTextEdit*>(Widget()); }

    // The editor's text as the user sees it, with "\n" breaks (raw, so that
    // no-break spaces stay what they are).
    QString editorText() const {
        QString text = textEdit()->document()->toRawText();
        text.replace(QChar::ParagraphSeparator, u'\n');
        text.replace(QChar::LineSeparator, u'\n');
        return text;
    }

    void textChanged() override {
        QString text = shownText(memo_.Text());
        if (editorText() == text)
            return;
        // A new text starts the user's undo afresh, its alignment not
        // being a step of it: the user's first undo would do nothing seen.
        textEdit()->setPlainText(text);
        changed(paAlignment, -1);
        textEdit()->document()->clearUndoRedoStacks();
    }

    void changed(TPeerAspect aspect, int) override {
        QTextEdit* edit = textEdit();
        switch (aspect) {
        case paReadOnly:
            edit->setReadOnly(memo_.ReadOnly());
            break;
        case paAlignment: {
            Qt::Alignment align = memo_.Alignment() == taCenter         ? Qt::AlignHCenter
                                  : memo_.Alignment() == taRightJustify ? Qt::AlignRight
                                                                        : Qt::AlignLeft;
            QTextOption option = edit->document()->defaultTextOption();
            option.setAlignment(align);
            edit->document()->setDefaultTextOption(option);
            // Blocks that exist take it too.
            QTextCursor all(edit->document());
            all.select(QTextCursor::Document);
            QTextBlockFormat format;
            format.setAlignment(align);
            all.mergeBlockFormat(format);
            break;
        }
        case paOptions: {
            edit->setLineWrapMode(memo_.WordWrap() ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
            TScrollStyle bars = memo_.ScrollBars();
            edit->setVerticalScrollBarPolicy(bars == ssVertical || bars == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                                  : Qt::ScrollBarAlwaysOff);
            edit->setHorizontalScrollBarPolicy(bars == ssHorizontal || bars == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                                      : Qt::ScrollBarAlwaysOff);
            edit->setFrameShape(memo_.BorderStyle() == bsSingle ? QFrame::StyledPanel : QFrame::NoFrame);
            edit->setTabChangesFocus(!memo_.WantTabs());
            break;
        }
        case paSelection: {
            const std::string& text = memo_.Text();
            QTextCursor cursor = edit->textCursor();
            cursor.setPosition(editorPosition(text, memo_.SelStart()));
            cursor.setPosition(editorPosition(text, memo_.SelStart() + memo_.SelLength()), QTextCursor::KeepAnchor);
            edit->setTextCursor(cursor);
            break;
        }
        default:
            break;
        }
    }

private:
    void edited() {
        if (syncing())
            return;
        std::string text = QStringToProgramText(editorText());
        // Every break the user makes is CR LF.
        std::string bytes;
        bytes.reserve(text.size() + text.size() / 16);
        for (char c : text) {
            if (c == '\n')
                bytes += '\r';
            bytes += c;
        }
        auto alive = Alive();
        notify(CN_COMMAND, EN_CHANGE, reinterpret_cast<LPARAM>(&bytes));
        if (!alive.expired())
            selectionMoved();
    }

    void selectionMoved() {
        if (syncing() || Widget() == nullptr)
            return;
        QTextCursor cursor = textEdit()->textCursor();
        const std::string& text = memo_.Text();
        const QString shown = editorText();
        int start = controlOffsetOfEditor(shown, text, cursor.selectionStart());
        int end = controlOffsetOfEditor(shown, text, cursor.selectionEnd());
        TSelRange range{start, end - start};
        notify(CN_COMMAND, EN_SELCHANGE, reinterpret_cast<LPARAM>(&range));
    }

    TCustomMemo& memo_;
};

const TWindowKindRegistration registration(wk::Memo, [](TWinControl& control) -> std::unique_ptr<TWindowPeer> {
    return std::make_unique<TMemoPeer>(dynamic_cast<TCustomMemo&>(control));
});

} // namespace
