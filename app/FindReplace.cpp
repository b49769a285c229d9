#include "app/FindReplace.h"

#include "app/DocumentTextEncoding.h"

#include "editor/CodeMemo.h"
#include "editor/model/CodeDocument.h"
#include "editor/model/UndoHistory.h"

#include "platform/base/Utf8.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/UserInteraction.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

const std::array<TEntityPair, 62>& SpecialCharacterEntities() {
    static const std::array<TEntityPair, 62> pairs = {{
        {0xAE, "&reg;"},    {0xA9, "&copy;"},   {0xC0, "&Agrave;"}, {0xC1, "&Aacute;"}, {0xC2, "&Acirc;"},
        {0xC3, "&Atilde;"}, {0xC4, "&Auml;"},   {0xC5, "&Aring;"},  {0xC6, "&AElig;"},  {0xC7, "&Ccedil;"},
        {0xC8, "&Egrave;"}, {0xC9, "&Eacute;"}, {0xCA, "&Ecirc;"},  {0xCB, "&Euml;"},   {0xCC, "&Igrave;"},
        {0xCD, "&Iacute;"}, {0xCE, "&Icirc;"},  {0xCF, "&Iuml;"},   {0xD0, "&ETH;"},    {0xD1, "&Ntilde;"},
        {0xD2, "&Ograve;"}, {0xD3, "&Oacute;"}, {0xD4, "&Ocirc;"},  {0xD5, "&Otilde;"}, {0xD6, "&Ouml;"},
        {0xD8, "&Oslash;"}, {0xDA, "&Uacute;"}, {0xD9, "&Ugrave;"}, {0xDB, "&Ucirc;"},  {0xDC, "&Uuml;"},
        {0xDD, "&Yacute;"}, {0xDE, "&THORN;"},  {0xDF, "&szlig;"},  {0xE1, "&aacute;"}, {0xE0, "&agrave;"},
        {0xE2, "&acirc;"},  {0xE3, "&atilde;"}, {0xE4, "&auml;"},   {0xE5, "&aring;"},  {0xE6, "&aelig;"},
        {0xE7, "&ccedil;"}, {0xE8, "&egrave;"}, {0xE9, "&eacute;"}, {0xEA, "&ecirc;"},  {0xEB, "&euml;"},
        {0xEC, "&igrave;"}, {0xED, "&iacute;"}, {0xEE, "&icirc;"},  {0xEF, "&iuml;"},   {0xF0, "&eth;"},
        {0xF1, "&ntilde;"}, {0xF3, "&oacute;"}, {0xF2, "&ograve;"}, {0xF4, "&ocirc;"},  {0xF5, "&otilde;"},
        {0xF6, "&ouml;"},   {0xF8, "&oslash;"}, {0xF9, "&ugrave;"}, {0xFA, "&uacute;"}, {0xFB, "&ucirc;"},
        {0xFC, "&uuml;"},   {0xFD, "&yacute;"},
    }};
    return pairs;
}

std::string CharacterInDocument(const TCodeMemo& editor, char codePageByte) {
    return DocumentTextOf(editor, AnsiToUtf8(std::string(1, codePageByte)));
}

namespace {

// Many edits as one: one undo step, one display update at the end (also
// when an edit raises), the caret brought into view once.
template <class TEdits>
void asOneStep(TCodeMemo& editor, TEdits edits) {
    TCodeDocument& document = editor.Document();
    TUndoHistory& history = document.UndoHistory();
    TUndoHistory::TAction action(history);
    TDocumentUpdate update(document);
    try {
        edits();
    } catch (...) {
        update.Finish();
        throw;
    }
    if (update.Finish())
        editor.ScrollInView();
}

// The hourglass while a search runs.
class THourglass {
public:
    THourglass() { SetScreenCursor(crHourGlass); }
    ~THourglass() { SetScreenCursor(crDefault); }
    THourglass(const THourglass&) = delete;
    THourglass& operator=(const THourglass&) = delete;
};

int32_t selectionLow(TCodeMemo& editor) { return std::min(editor.SelStart(), editor.SelStart() + editor.SelLength()); }

bool forward(const TSearchRequest& request) { return (request.Options & frDown) != 0; }

// When the selection is a match of the request, keeps it selected and
// answers true; otherwise leaves the caret at the selection's start.
bool selectionIsMatch(TCodeMemo& editor, const TSearchRequest& request) {
    const int32_t length = std::abs(editor.SelLength());
    const int32_t low = selectionLow(editor);
    editor.SetSelStart(low);
    if (length == 0 || static_cast<size_t>(length) != request.Text.size())
        return false;
    if (editor.FindTxt(request.Text, true, false, (request.Options & frWholeWord) != 0,
                       (request.Options & frMatchCase) != 0) &&
        selectionLow(editor) == low)
        return true;
    editor.SetSelStart(low);
    return false;
}

} // namespace

int ConvertSpecialCharacters(TCodeMemo& editor) {
    int count = 0;
    asOneStep(editor, [&] {
        TCodeDocument& document = editor.Document();
        for (const TEntityPair& pair : SpecialCharacterEntities()) {
            const size_t entityLength = std::strlen(pair.Entity);
            // The same character in the document's encoding: one byte of
            // the code page, or its two bytes of UTF-8.
            const std::string character = CharacterInDocument(editor, static_cast<char>(pair.Character));
            for (int32_t index = 0; index < document.ParagraphCount(); ++index) {
                // Entities hold no character of the table, so a paragraph
                // is read once, from the last replacement on.
                for (size_t at = 0;;) {
                    at = document.ParagraphList()[index].Text.find(character, at);
                    if (at == std::string::npos)
                        break;
                    editor.SetSelStart(document.ParagraphList().Start(index) + static_cast<int32_t>(at));
                    editor.SetSelLength(static_cast<int32_t>(character.size()));
                    editor.Selection().ReplaceGrouped(pair.Entity, count > 0);
                    ++count;
                    at += entityLength;
                }
            }
        }
    });
    return count;
}

bool FindFromCaret(TCodeMemo& editor, const TSearchRequest& request) {
    return editor.FindTxt(request.Text, forward(request), false, (request.Options & frWholeWord) != 0,
                          (request.Options & frMatchCase) != 0);
}

bool ReplaceNext(TCodeMemo& editor, const TSearchRequest& request, const std::string& replacement) {
    if (request.Text.empty())
        return false;
    if (!selectionIsMatch(editor, request) && !FindFromCaret(editor, request))
        return false;
    editor.ScrollInView();
    editor.SetSelText(replacement);
    return true;
}

int ReplaceEveryMatch(TCodeMemo& editor, const TSearchRequest& request, const std::string& replacement) {
    if (request.Text.empty())
        return 0;
    int count = 0;
    asOneStep(editor, [&] {
        // The match shown is the first replaced.
        bool found = selectionIsMatch(editor, request);
        for (; found || FindFromCaret(editor, request); found = false) {
            const int32_t low = selectionLow(editor);
            editor.Selection().ReplaceGrouped(replacement, count > 0);
            ++count;
            // Going backwards, the next search starts before the text just
            // put in, which it must not find again.
            if (!forward(request))
                editor.SetSelStart(low);
        }
    });
    return count;
}

// ---------------------------------------------------------------------------
// The document window's commands

TDocumentSearch::TDocumentSearch(TComponent* owner, TCodeMemo& editor)
    : editor_(editor), find_(std::make_unique<TFindDialog>(owner)), replace_(std::make_unique<TReplaceDialog>(owner)) {
    find_->SetName("FindDialog1");
    replace_->SetName("ReplaceDialog1");
    find_->OnFind = [this](TPersistent*) { FindNext(); };
    replace_->OnFind = [this](TPersistent*) { ReplaceDialogFind(); };
    replace_->OnReplace = [this](TPersistent*) { ReplaceDialogReplace(); };
}

TDocumentSearch::~TDocumentSearch() = default;

void TDocumentSearch::prefill(TFindDialog& dialog) {
    const int32_t length = editor_.SelLength();
    if (length == 0)
        dialog.SetFindText(ProgramTextOf(editor_, editor_.CurrentWord()));
    else if (std::abs(length) < 64)
        dialog.SetFindText(ProgramTextOf(editor_, editor_.SelText()));
    dialog.Execute();
}

void TDocumentSearch::ShowFind() { prefill(*find_); }

void TDocumentSearch::ShowReplace() { prefill(*replace_); }

void TDocumentSearch::takeFocus() {
    if (OnTakeFocus)
        OnTakeFocus();
}

void TDocumentSearch::notFound(const std::string& text, const char* tail) {
    UserInteraction().MessageDlg("String \"" + text + "\"" + tail, mtInformation, mbOKOnly);
}

void TDocumentSearch::search(const TFindDialog& dialog) {
    // Searching for nothing is no search at all.
    if (dialog.FindText().empty())
        return;
    {
        THourglass hourglass;
        if (FindFromCaret(editor_, {DocumentTextOf(editor_, dialog.FindText()), dialog.Options()}))
            editor_.ScrollInView();
        else
            notFound(dialog.FindText(), " not found.");
    }
    takeFocus();
}

void TDocumentSearch::FindNext() {
    search(*find_);
    if (!find_->FindText().empty() && OnSearched)
        OnSearched();
}

void TDocumentSearch::ReplaceDialogFind() { search(*replace_); }

void TDocumentSearch::ReplaceDialogReplace() {
    const TSearchRequest request{DocumentTextOf(editor_, replace_->FindText()), replace_->Options()};
    if (request.Text.empty())
        return;
    const std::string replacement = DocumentTextOf(editor_, replace_->ReplaceText());
    {
        THourglass hourglass;
        if ((request.Options & frReplace) != 0) {
            if (!ReplaceNext(editor_, request, replacement))
                notFound(replace_->FindText(), " not found.");
        } else if ((request.Options & frReplaceAll) != 0) {
            ReplaceEveryMatch(editor_, request, replacement);
            notFound(replace_->FindText(), " not found or end of replacement.");
        }
    }
    takeFocus();
}

void TDocumentSearch::ConvertCharacters() {
    if (UserInteraction().MessageDlg("Would you like to convert special characters to their HTML tag equivalent ?",
                                     mtConfirmation, mbYesNo) != mrYes)
        return;
    ConvertSpecialCharacters(editor_);
}
