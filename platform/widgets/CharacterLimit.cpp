#include "platform/widgets/CharacterLimit.h"

#include "platform/base/QtBridge.h"

#include <algorithm>
#include <climits>

namespace {

int characterCount(const QString& text) {
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++count)
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    return count;
}

} // namespace

int TCharacterLimit::UnitLimit() const {
    // No limit is the line edit's own default; a limit of n characters may
    // take 2n units.
    if (limit_ <= 0)
        return 32767;
    return limit_ > INT_MAX / 2 ? INT_MAX : 2 * limit_;
}

QValidator::State TCharacterLimit::validate(QString& input, int& pos) const {
    if (limit_ <= 0 || input == accepted_ || characterCount(input) <= limit_) {
        accepted_ = input;
        return Acceptable;
    }
    // The change replaced the middle of the text before it: what lies
    // before and after it is common to both (never half a pair).
    const qsizetype shorter = std::min(accepted_.size(), input.size());
    qsizetype prefix = 0;
    while (prefix < shorter && accepted_[prefix] == input[prefix])
        ++prefix;
    if (prefix > 0 && input[prefix - 1].isHighSurrogate())
        --prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && accepted_[accepted_.size() - 1 - suffix] == input[input.size() - 1 - suffix])
        ++suffix;
    if (suffix > 0 && input[input.size() - suffix].isLowSurrogate())
        --suffix;
    const QString inserted = input.mid(prefix, input.size() - prefix - suffix);
    const int around = characterCount(input.left(prefix)) + characterCount(input.right(suffix));
    const QString kept = WholeCharacters(inserted, std::max(limit_ - around, 0));
    const QString result = input.left(prefix) + kept + input.right(suffix);
    if (result == accepted_)
        return Invalid; // nothing fits: the change is refused
    input = result;
    pos = static_cast<int>(prefix + kept.size());
    accepted_ = result;
    return Acceptable;
}
