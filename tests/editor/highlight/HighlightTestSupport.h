#pragma once
// Helpers shared by the highlighting tests: reading contexts back, and the
// oracle every incremental result is compared with (a fresh document that
// loads the same text and highlights it whole).

#include "editor/model/CodeDocument.h"
#include "editor/model/ContextEditing.h"
#include "tests/editor/DocumentTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

// The context number in force at an absolute offset (0 for plain text).
inline int32_t NumberAt(TCodeDocument& document, int32_t offset) {
    int32_t index = document.ParagraphList().IndexOfOffset(offset);
    const TParagraph& p = *document.Paragraph(index);
    return ContextNumberOf(ContextInForce(p, offset - document.ParagraphStart(index)));
}

// The context numbers of every character of a paragraph, as one string of
// characters '0' + number (so a test can write the expected colouring
// under the text).
inline std::string NumbersOf(TCodeDocument& document, int32_t paragraph) {
    const TParagraph& p = *document.Paragraph(paragraph);
    std::string numbers;
    for (int32_t i = 0; i < p.Length(); ++i)
        numbers += static_cast<char>('0' + ContextNumberOf(ContextInForce(p, i)));
    return numbers;
}

inline std::string Describe(const TContextRecord& r) {
    std::ostringstream out;
    out << "@" << r.Offset << " flags " << int(r.Flags) << " number " << r.ContextNumber << " depth "
        << int(ContextDepthOf(r)) << " stack";
    for (int i = 0; i <= ContextDepthOf(r); ++i)
        out << " " << std::hex << r.KeyStack[i] << std::dec;
    out << " colours " << r.Background << "/" << r.Foreground << " keys " << int(r.StartKeyLength) << "/"
        << int(r.StopKeyLength);
    return out.str();
}

// Compares the highlighting of two documents holding the same text: every
// paragraph's base context and records.  Returns "" when they agree.
inline std::string HighlightDifference(const TCodeDocument& document, const TCodeDocument& oracle) {
    if (document.ParagraphCount() != oracle.ParagraphCount())
        return "paragraph counts differ";
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        const TParagraph& a = *document.Paragraph(i);
        const TParagraph& b = *oracle.Paragraph(i);
        std::ostringstream where;
        where << "paragraph " << i << " \"" << a.Text.substr(0, 80) << "\": ";
        if (a.Text != b.Text)
            return where.str() + "texts differ";
        if (!SameHighlight(a.Base(), b.Base()))
            return where.str() + "base " + Describe(TContextRecord(a.Base(), 0)) + " vs " +
                   Describe(TContextRecord(b.Base(), 0));
        const std::vector<TContextRecord> x = a.Contexts.Records();
        const std::vector<TContextRecord> y = b.Contexts.Records();
        for (size_t r = 0; r < std::max(x.size(), y.size()); ++r) {
            if (r >= x.size())
                return where.str() + "missing " + Describe(y[r]);
            if (r >= y.size())
                return where.str() + "extra " + Describe(x[r]);
            if (x[r].Offset != y[r].Offset || !SameHighlight(x[r], y[r]))
                return where.str() + "record " + std::to_string(r) + ": " + Describe(x[r]) + " vs " + Describe(y[r]);
        }
    }
    return {};
}

// Line records of every paragraph, to compare layouts.
inline std::string LayoutDifference(const TCodeDocument& document, const TCodeDocument& oracle) {
    for (int32_t i = 0; i < document.ParagraphCount() && i < oracle.ParagraphCount(); ++i) {
        const TParagraph& a = *document.Paragraph(i);
        const TParagraph& b = *oracle.Paragraph(i);
        if (a.LineCount() != b.LineCount()) {
            std::ostringstream out;
            out << "paragraph " << i << " \"" << a.Text.substr(0, 200) << "\": line counts differ:";
            for (int32_t line = 0; line < a.LineCount(); ++line)
                out << " " << a.Line(line).Start << "-" << a.Line(line).Stop;
            out << " vs";
            for (int32_t line = 0; line < b.LineCount(); ++line)
                out << " " << b.Line(line).Start << "-" << b.Line(line).Stop;
            return out.str();
        }
        for (int32_t line = 0; line < a.LineCount(); ++line) {
            const TLineRecord& x = a.Line(line);
            const TLineRecord& y = b.Line(line);
            if (x.Start != y.Start || x.Stop != y.Stop || x.TextWidth != y.TextWidth || x.FullWidth != y.FullWidth ||
                x.Style != y.Style) {
                std::ostringstream out;
                out << "paragraph " << i << " \"" << a.Text.substr(0, 200) << "\" line " << line << ": " << x.Start
                    << "-" << x.Stop << " w" << x.TextWidth << "/" << x.FullWidth << " s" << int(x.Style) << " vs "
                    << y.Start << "-" << y.Stop << " w" << y.TextWidth << "/" << y.FullWidth << " s" << int(y.Style);
                return out.str();
            }
        }
    }
    return {};
}

// Everything the engine still has to do, done now.
inline void HighlightAll(TCodeDocument& document) {
    document.Layout().FormatPending();
    document.ParseUpTo(document.ParagraphCount() - 1);
    document.Layout().FormatPending();
}

// How a document differs from the oracle: a fresh document that prepare sets up,
// that loads the same text and highlights it whole.  "" when both agree
// record for record and, with withLayout, line for line.
inline std::string DifferenceFromFresh(const TCodeDocument& document, const std::function<void(TCodeDocument&)>& prepare,
                                       bool withLayout) {
    TCodeDocument oracle;
    prepare(oracle);
    LoadText(oracle, document.Text());
    HighlightAll(oracle);
    std::string difference = HighlightDifference(document, oracle);
    if (difference.empty() && withLayout)
        difference = LayoutDifference(document, oracle);
    return difference;
}
