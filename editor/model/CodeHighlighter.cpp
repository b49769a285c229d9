#include "editor/model/CodeHighlighter.h"

#include "editor/model/CodeDocument.h"

#include <algorithm>

TCodeHighlighter::TCodeHighlighter(TComponent* owner) : TComponent(owner) {}

TCodeHighlighter::~TCodeHighlighter() {
    // Each document leaves the list through its setter, so work on a copy.
    std::vector<TCodeDocument*> documents = documents_;
    for (TCodeDocument* document : documents)
        document->Highlighting().SetHighlighter(nullptr);
    documents_.clear();
}

void TCodeHighlighter::ReApplyToDocuments() {
    std::vector<TCodeDocument*> documents = documents_;
    for (TCodeDocument* document : documents)
        document->ReApplyKeywords();
}

void TCodeHighlighter::addDocument(TCodeDocument* document) {
    if (std::find(documents_.begin(), documents_.end(), document) == documents_.end())
        documents_.push_back(document);
}

void TCodeHighlighter::removeDocument(TCodeDocument* document) {
    auto it = std::find(documents_.begin(), documents_.end(), document);
    if (it != documents_.end())
        documents_.erase(it);
}
