#pragma once
// The MaxLength of an edit box (or a combo box's edit field) in characters
// as the user sees them (TextLimit.h).  A line edit counts UTF-16 units: a
// character beyond the BMP (an emoji) would count twice, and text cut to
// fit could lose half of one.  This validator, given to the line edit
// (whose own limit is then set out of reach), keeps at most the limit in
// characters: what a change inserts is cut, between characters, to what
// still fits, and a change that fits nothing changes nothing.  Text the
// program sets is kept whole, however long, and so is a text that passes
// (an item the user picked from a combo box's list).

#include <QValidator>

#include <functional>

class TCharacterLimit : public QValidator {
public:
    using QValidator::QValidator;

    // Characters at most (0: no limit); applies to the line edit's next
    // changes.
    void SetLimit(int characters) { limit_ = characters; }
    // The text the program is about to set: kept whole, and what the next
    // change is compared with.
    void SetProgramText(const QString& text) { accepted_ = text; }
    // Texts kept whole whatever their length.
    void SetPasses(std::function<bool(const QString&)> passes) { passes_ = std::move(passes); }

    State validate(QString& input, int& pos) const override;

private:
    int limit_ = 0;
    std::function<bool(const QString&)> passes_;
    // The line edit's text as it was before the change being validated.
    mutable QString accepted_;
};
