#include "platform/widgets/MessageTextWrapping.h"

QString WithBreakChances(const QString& text, int longestRun) {
    constexpr QChar kBreakChance(0x200B);
    QString wrapped;
    wrapped.reserve(text.size() + text.size() / longestRun);
    int run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isSpace() || c == kBreakChance || c == u'-') {
            run = 0;
        } else {
            // Never between the halves of a surrogate pair or before a
            // combining mark: the character stays whole.
            if (run >= longestRun && !c.isLowSurrogate() && !c.isMark()) {
                wrapped += kBreakChance;
                run = 0;
            }
            ++run;
        }
        wrapped += c;
    }
    return wrapped;
}
