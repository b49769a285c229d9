// Fuzz entry point for the memo control: keys and mouse gestures, as a user
// gives them, on a memo in an offscreen window.  The first bytes choose the
// memo's options; with the options' top bit, the clipboard's content comes
// next (a byte of length, a byte saying whether it is a column block, the
// text), and without it the clipboard starts empty, so that a run never
// depends on the runs before it.  Then each group of four bytes is one
// gesture; the rest is the document.  After every gesture the store must
// be consistent; at the end, undoing must pass only through texts the memo
// had, newest first, back to the loaded text.  An input leaves nothing
// behind: the window system's notices about its window (shown, exposed,
// hidden) are handled before it ends, so that what it allocated is freed
// within it; else the fuzzer sees more allocations than frees in every
// input and runs each one twice more looking for a leak.

#include "editor/CodeMemo.h"

#include "platform/base/Stream.h"
#include "platform/gfx/Clipboard.h"
#include "platform/gfx/TextMeasurer.h"
#include "platform/widgets/WidgetPeer.h"

#include "fuzz/FuzzApplication.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/editor/UndoHistory.h"
#include "tests/support/FakeTextMeasurer.h"

#include <QApplication>
#include <QTest>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kCharWidth = 8;
constexpr int kLineHeight = 17;

// The keys a user edits and moves with; letters and punctuation come as
// typed text.
const std::array<Qt::Key, 16> kKeys = {
    Qt::Key_Left,   Qt::Key_Right,  Qt::Key_Up,     Qt::Key_Down,      Qt::Key_Home,     Qt::Key_End,
    Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Tab,
    Qt::Key_Insert, Qt::Key_B,      Qt::Key_C,      Qt::Key_V};

Qt::KeyboardModifiers ModifiersOf(uint8_t bits) {
    Qt::KeyboardModifiers modifiers;
    if (bits & 1)
        modifiers |= Qt::ShiftModifier;
    if (bits & 2)
        modifiers |= Qt::ControlModifier;
    if (bits & 4)
        modifiers |= Qt::AltModifier;
    return modifiers;
}

void StartQt() {
    if (!StartOffscreenApplication<QApplication>())
        return;
    InstallWidgetPeers();
    static TFakeTextMeasurer measurer(kCharWidth, 16, 13);
    SetDefaultTextMeasurer(&measurer);
}

// The clipboard a run starts with: what the input says, or nothing.
void SetClipboardFrom(TFuzzInput& input, bool given) {
    TClipboard& clipboard = Clipboard();
    clipboard.Clear();
    if (!given)
        return;
    const size_t length = input.Byte();
    const bool block = (input.Byte() & 1) != 0;
    const std::string text = input.Bytes(length);
    clipboard.Open();
    clipboard.SetAsText(text);
    if (block)
        clipboard.SetFormatBytes(TCodeMemo::BlockClipboardFormat(), text + '\0');
    clipboard.Close();
}

// Hands the notices the window system queued to their windows, and frees
// the objects deleted later.
void HandlePendingEvents() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void RunGestures(const uint8_t* data, size_t size);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StartQt();
    RunGestures(data, size);
    HandlePendingEvents();
    return 0;
}

namespace {

void RunGestures(const uint8_t* data, size_t size) {
    TFuzzInput input(data, size);
    const uint8_t flags = input.Byte();
    SetClipboardFrom(input, (flags & 128) != 0);
    const uint8_t gestures = input.Byte() % 24;
    const std::string script = input.Bytes(static_cast<size_t>(gestures) * 4);
    const std::string document = input.Rest();

    TCodeMemo memo;
    memo.SetBorderStyle(bsNone);
    memo.SetScrollBars((flags & 1) ? ssBoth : ssNone);
    memo.SetWordWrap((flags & 2) != 0);
    memo.SetStaticFormat((flags & 4) != 0);
    TCodeMemoOptions options = memo.Options();
    if (flags & 8)
        options = options.Include(pmoBlockSelection);
    if (flags & 16)
        options = options.Include(pmoKeepColumnPos);
    if (flags & 32)
        options = options.Include(pmoAutoIndent).Include(pmoBackIndent);
    if (flags & 64)
        options = options.Include(pmoFullLineSelect);
    memo.SetOptions(options);
    // Undo keeps every step only while they fit this space; an edit larger
    // than it empties the history, and the walk back to the loaded text
    // could not end there.  An input bounds the document and the clipboard
    // far below it (a clipboard kept from run to run once grew to 8 MB, and
    // deleting three pastes of it emptied the history).
    memo.SetUndoMaxSpace(1 << 24);
    memo.SetUpdateMode(umImmediate);
    memo.SetBounds(0, 0, 40 * kCharWidth, 8 * kLineHeight);
    memo.Show();
    memo.SetFocus();
    TReadOnlyMemoryStream stream(document.data(), static_cast<int64_t>(document.size()));
    memo.LoadFromStream(stream);
    memo.FormatPending();
    memo.CheckConsistency();
    QWidget* widget = static_cast<TWidgetPeer*>(memo.Peer())->Widget();
    QWidget* client = static_cast<TPeerWidget*>(widget)->viewport();

    std::vector<std::string> history{memo.Text()};
    for (size_t i = 0; i + 3 < script.size(); i += 4) {
        const auto kind = static_cast<uint8_t>(script[i]);
        const auto a = static_cast<uint8_t>(script[i + 1]);
        const auto b = static_cast<uint8_t>(script[i + 2]);
        const auto c = static_cast<uint8_t>(script[i + 3]);
        const QPoint point(a % (44 * kCharWidth), b % (9 * kLineHeight));
        const Qt::KeyboardModifiers modifiers = ModifiersOf(c);
        switch (kind % 6) {
        case 0:
        case 1:
            QTest::keyClick(widget, kKeys[a % kKeys.size()], modifiers);
            break;
        case 2:
            QTest::keyClicks(widget, QString(QChar(0x20 + b % 95)));
            break;
        case 3:
            QTest::mouseClick(client, Qt::LeftButton, modifiers, point);
            break;
        case 4:
            QTest::mouseDClick(client, Qt::LeftButton, modifiers, point);
            break;
        default: {
            // A drag: press, move, release, as selecting or moving text.
            QTest::mousePress(client, Qt::LeftButton, modifiers, point);
            QTest::mouseMove(client, QPoint(c % (44 * kCharWidth), (a ^ b) % (9 * kLineHeight)));
            QTest::mouseRelease(client, Qt::LeftButton, modifiers,
                                QPoint(c % (44 * kCharWidth), (a ^ b) % (9 * kLineHeight)));
            break;
        }
        }
        memo.CheckConsistency();
        history.push_back(memo.Text());
    }

    CheckUndoWalksBack(memo.Selection(), history);
}

}  // namespace
