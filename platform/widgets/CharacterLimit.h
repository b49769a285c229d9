#pragma once
// The MaxLength of an edit box (or a combo box's edit field) in characters.
// A line edit counts UTF-16 units: a character beyond the BMP (an emoji)
// would count twice, and text cut to fit could lose half of one.  This
// validator, given to the line edit, keeps at most the limit in characters
// (code points): what a change inserts is cut, between characters, to what
// still fits, and a change that fits nothing changes nothing.  Text the
// program sets is kept whole, however long.

#include <QValidator>

class TCharacterLimit : public QValidator {
public:
    using QValidator::QValidator;

    // Characters at most (0: no limit); applies to the line edit's next
    // changes.
    void SetLimit(int characters) { limit_ = characters; }
    // The text the program is about to set: kept whole, and what the next
    // change is compared with.
    void SetProgramText(const QString& text) { accepted_ = text; }
    // The line edit's own length limit (in units) that lets every text of
    // the limit in characters through to this validator.
    int UnitLimit() const;

    State validate(QString& input, int& pos) const override;

private:
    int limit_ = 0;
    // The line edit's text as it was before the change being validated.
    mutable QString accepted_;
};
