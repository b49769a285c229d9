#include "platform/widgets/CharacterLimit.h"

#include "platform/widgets/TextLimit.h"

QValidator::State TCharacterLimit::validate(QString& input, int& pos) const {
    if (limit_ <= 0 || input == accepted_ || (passes_ && passes_(input)) || VisibleCharacterCount(input) <= limit_) {
        accepted_ = input;
        return Acceptable;
    }
    const TCutRange cut = CutChange(accepted_, input, limit_);
    QString result = input;
    result.remove(cut.First, cut.Last - cut.First);
    if (result == accepted_)
        return Invalid; // nothing fits: the change is refused
    input = result;
    pos = cut.First;
    accepted_ = result;
    return Acceptable;
}
