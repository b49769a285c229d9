#include "editor/highlight/CustomExtHighlighter.h"
#include "editor/highlight/HookStretch.h"

#include "editor/model/CodeDocument.h"
#include "editor/model/CodeNavigator.h"
#include "editor/model/ContextEditing.h"
#include "editor/model/KeyMatcher.h"

#include "platform/base/Exceptions.h"

#include <algorithm>

namespace {

// Chains longer than this are cut short when working out identifiers: the
// setter refuses cycles, so only a broken chain could be that long.
constexpr int kLongestChain = 256;

}  // namespace


TCustomExtHighlighter::TCustomExtHighlighter(TComponent* owner)
    : TCodeHighlighter(owner),
      keywords_(std::make_unique<TExtKeywordList>()),
      startStopKeys_(std::make_unique<TExtStartStopList>()),
      vetoStart_(std::make_unique<TCodeNavigator>()),
      vetoEnd_(std::make_unique<TCodeNavigator>()) {
    SetSeparators(std::string_view("\t ,.;"));
}

TCustomExtHighlighter::~TCustomExtHighlighter() {
    if (subHighlighter_ != nullptr)
        subHighlighter_->RemoveFreeNotification(this);
}

std::string TCustomExtHighlighter::Separators() const { return separators_.Members(); }

void TCustomExtHighlighter::SetSeparators(std::string_view characters) {
    separators_ = TByteSet(characters);
    startStopKeys_->SetPrepared(false);
}

void TCustomExtHighlighter::SetSubHighlighter(TCodeHighlighter* highlighter) {
    if (highlighter == subHighlighter_)
        return;
    int steps = 0;
    for (TCodeHighlighter* next = highlighter; next != nullptr && steps < kLongestChain;
         next = next->NextHighlighter(), ++steps)
        if (next == this)
            throw EInvalidOperation("Circular SubHighlighter chain");
    if (subHighlighter_ != nullptr)
        subHighlighter_->RemoveFreeNotification(this);
    subHighlighter_ = highlighter;
    if (subHighlighter_ != nullptr)
        subHighlighter_->FreeNotification(this);
    // The identifiers of the chain behind this highlighter mean something
    // else now.
    ReApplyToDocuments();
}

void TCustomExtHighlighter::Notification(TComponent* component, TOperation operation) {
    if (operation == kMemoMessage) {
        if (subHighlighter_ != nullptr)
            SendNotification(subHighlighter_, component, operation);
    } else if (operation == opRemove && component == subHighlighter_) {
        subHighlighter_ = nullptr;
    }
    TCodeHighlighter::Notification(component, operation);
}

void TCustomExtHighlighter::Loaded() {
    TCodeHighlighter::Loaded();
    if ((ComponentState() & csDesigning) != 0)
        ReApplyToDocuments();
}

int32_t TCustomExtHighlighter::FirstIdentifierIn(TCodeDocument& document) const {
    int32_t first = document.Highlighting().StartStopKeys().Count();
    int steps = 0;
    for (TCodeHighlighter* h = document.Highlighting().Highlighter(); h != nullptr && steps < kLongestChain; h = h->NextHighlighter(), ++steps) {
        if (h == this)
            return first;
        first += h->OwnContextIdentifiers();
    }
    return document.Highlighting().StartStopKeys().Count();
}

int16_t TCustomExtHighlighter::LevelOf(TCodeDocument& document, const TContextState& record) const {
    int top = TopKeyEntry(record);
    if (top < 0)
        return 0;
    if ((top & 0x8000) == 0)
        return 32767;
    int32_t own = (top & 0x7FFF) - FirstIdentifierIn(document) - IdentifiersBeforeOwnList();
    if (own < 0 || own >= startStopKeys_->Count())
        return 0;
    return (*startStopKeys_)[own].Level;
}

bool TCustomExtHighlighter::keywordAllowed(TCodeDocument& document, int32_t paragraph, int keyword, int32_t start,
                                           int32_t end, const TContextState& inForce) {
    const TKeywordAttributes attributes = keywords_->AttributesOf(keyword);
    if (attributes.Level != 32767) {
        const int32_t number = ContextNumberOf(inForce);
        bool allowed = attributes.RequiredContext == 0
                           ? attributes.Level > LevelOf(document, inForce) || number == 0
                           : number == attributes.RequiredContext;
        if (!allowed)
            return false;
    }
    // Only keyword contexts may begin inside the occurrence.
    const TParagraph& p = *document.Paragraph(paragraph);
    for (int32_t offset = NextContextOffset(p, start); offset >= 0 && offset < end;
         offset = NextContextOffset(p, offset)) {
        int top = TopKeyEntry(ContextInForce(p, offset));
        if (top < 0 || (top & 0x8000) != 0)
            return false;
    }
    if (!OnKeywordVeto)
        return true;
    const int32_t base = document.ParagraphStart(paragraph);
    vetoStart_->SetDocument(&document);
    vetoEnd_->SetDocument(&document);
    vetoStart_->SetPos(base + start);
    vetoEnd_->SetPos(base + end);
    bool accept = true;
    try {
        OnKeywordVeto(this, *vetoStart_, accept, keyword, *vetoEnd_);
    } catch (...) {
        vetoStart_->SetDocument(nullptr);
        vetoEnd_->SetDocument(nullptr);
        throw;
    }
    vetoStart_->SetDocument(nullptr);
    vetoEnd_->SetDocument(nullptr);
    return accept;
}

void TCustomExtHighlighter::KeywordHook(TCodeNavigator& from, TCodeNavigator& to, int32_t firstIdentifier) {
    TCodeDocument* document = from.Document();
    if (document == nullptr)
        return;
    if (enabled_ && keywords_->Count() > 0) {
        TKeywordScope scope{*document, *keywords_, separators_, firstIdentifier, false,
                            [this, document](int32_t keyword, int32_t paragraph, int32_t start, int32_t end,
                                         const TContextState& inForce) {
                                return keywordAllowed(*document, paragraph, keyword, start, end, inForce);
                            }};
        ApplyKeywordList(scope, std::min(from.Pos(), to.Pos()), std::max(from.Pos(), to.Pos()));
    }
    if (subHighlighter_ != nullptr)
        subHighlighter_->KeywordHook(from, to, firstIdentifier + keywords_->Count());
}

bool TCustomExtHighlighter::StartKeyHook(TCodeNavigator& position, TCodeNavigator& limit, int32_t firstIdentifier) {
    const THookStretch place = HookStretchOf(position, limit);
    if (place.Document == nullptr)
        return false;
    if (enabled_ && startStopKeys_->Count() > 0) {
        TKeyMatchScope scope{*place.Document, *startStopKeys_, separators_, firstIdentifier, true};
        int32_t end = place.Limit;
        if (MatchStartKey(scope, place.Index, place.Position, end)) {
            limit.SetPos(place.Start + end);
            return true;
        }
    }
    if (subHighlighter_ != nullptr)
        return subHighlighter_->StartKeyHook(position, limit, firstIdentifier + startStopKeys_->Count());
    return false;
}

bool TCustomExtHighlighter::StopKeyHook(TCodeNavigator& position, TCodeNavigator& limit, int32_t firstIdentifier) {
    const THookStretch place = HookStretchOf(position, limit);
    if (place.Document == nullptr)
        return false;
    int top = TopKeyEntry(ContextInForce(*place.Paragraph, place.Position));
    // Keyword contexts are ended where they were put in force.
    if (top < 0 || (top & 0x8000) == 0)
        return false;
    int32_t own = (top & 0x7FFF) - firstIdentifier;
    if (own < 0)
        return false;
    if (own < startStopKeys_->Count()) {
        TKeyMatchScope scope{*place.Document, *startStopKeys_, separators_, firstIdentifier, true};
        int32_t end = place.Limit;
        if (!MatchStopKey(scope, place.Index, place.Position, end, own))
            return false;
        limit.SetPos(place.Start + end);
        return true;
    }
    if (subHighlighter_ != nullptr)
        return subHighlighter_->StopKeyHook(position, limit, firstIdentifier + startStopKeys_->Count());
    return false;
}
