#pragma once
// Searching and replacing in a document's source editor through the find
// and replace dialogs, and the conversion of accented and special
// characters to named HTML entities.
//
// A search starts at the caret and selects what it finds.  Replace puts
// the replacement in place of the match the dialog shows (or of the next
// one when none is shown); Replace All replaces every match from the caret
// on in the dialog's direction and undoes in one step, as does the entity
// conversion, however many characters it changes: the document's undo
// space grows to hold that step when it is larger (unless the document
// keeps no undo at all).

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TCodeMemo;
class TComponent;
class TFindDialog;
class TReplaceDialog;

// One character of the code page and the entity that writes it.
struct TEntityPair {
    unsigned char Character;
    const char* Entity;
};
// The 62 pairs, in the order the conversion applies them.
const std::array<TEntityPair, 62>& SpecialCharacterEntities();

// A character of the code page as the editor's document writes it: the
// byte itself, or its UTF-8 in a UTF-8 document.
std::string CharacterInDocument(const TCodeMemo& editor, char codePageByte);

// Replaces every character of the table in the editor's text by its entity
// (pairs in table order, each character's occurrences from the start on),
// as one undo step; the caret ends after the last entity written.  Returns
// the number of characters replaced (0: nothing changed, nothing recorded).
int ConvertSpecialCharacters(TCodeMemo& editor);

// What a search looks for: the text and the dialogs' frDown, frWholeWord
// and frMatchCase options.
struct TSearchRequest {
    std::string Text;
    unsigned Options = 0;
};

// One search from the caret; selects the match.  An empty text finds
// nothing.
bool FindFromCaret(TCodeMemo& editor, const TSearchRequest& request);
// Replaces the match shown (the selection, when it is one) or else the
// next match from the selection's start in the request's direction.
// False when there was none.
bool ReplaceNext(TCodeMemo& editor, const TSearchRequest& request, const std::string& replacement);
// Replaces every match from the caret on in the request's direction, as
// one undo step; a search never finds text a replacement put in, so it
// ends also when the replacement contains the searched text.  Returns the
// count.
int ReplaceEveryMatch(TCodeMemo& editor, const TSearchRequest& request, const std::string& replacement);

// The find, replace and conversion commands of one document window.
class TDocumentSearch {
public:
    // owner: the document window, which owns the dialogs.
    TDocumentSearch(TComponent* owner, TCodeMemo& editor);
    ~TDocumentSearch();
    TDocumentSearch(const TDocumentSearch&) = delete;
    TDocumentSearch& operator=(const TDocumentSearch&) = delete;

    TFindDialog& FindDialog() const { return *find_; }
    TReplaceDialog& ReplaceDialog() const { return *replace_; }

    // The document window takes the focus back from a dialog.
    std::function<void()> OnTakeFocus;
    // A search of the find dialog ran: "Search Again" may be used.
    std::function<void()> OnSearched;

    // The Search command: the find dialog, its text taken from the editor.
    void ShowFind();
    // The Replace command: the same with the replace dialog.
    void ShowReplace();
    // The find dialog's Find Next.
    void FindNext();
    // The Search Again command: the find dialog's text and options again.
    void SearchAgain() { FindNext(); }
    // The replace dialog's Find Next.
    void ReplaceDialogFind();
    // The replace dialog's Replace or Replace All (by its options).
    void ReplaceDialogReplace();
    // The Replace Special Characters command: asks, then converts.
    void ConvertCharacters();

private:
    void prefill(TFindDialog& dialog);
    void search(const TFindDialog& dialog);
    void notFound(const std::string& text, const char* tail);
    void takeFocus();

    TCodeMemo& editor_;
    std::unique_ptr<TFindDialog> find_;
    std::unique_ptr<TReplaceDialog> replace_;
};
