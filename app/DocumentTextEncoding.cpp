#include "app/DocumentTextEncoding.h"

#include "editor/CodeMemo.h"
#include "platform/base/Utf8.h"

std::string DocumentTextOf(const TCodeMemo& editor, std::string_view text) {
    return ProgramTextToDocument(text, editor.Encoding());
}

std::string ProgramTextOf(const TCodeMemo& editor, std::string_view text) {
    return DocumentTextToProgram(text, editor.Encoding());
}
