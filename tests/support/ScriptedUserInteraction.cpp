#include "tests/support/ScriptedUserInteraction.h"

#include <cstdio>
#include <cstdlib>

TScriptedUserInteraction::TScriptedUserInteraction() : previous_(&UserInteraction()) {
    SetUserInteraction(this);
    OnUnscripted = [](const std::string& question) {
        std::fprintf(stderr, "unscripted question to the user: %s\n", question.c_str());
        std::abort();
    };
}

TScriptedUserInteraction::~TScriptedUserInteraction() {
    // The seam goes back to what it was (the test environment's own, say).
    if (&UserInteraction() == this)
        SetUserInteraction(previous_);
}

void TScriptedUserInteraction::AnswerMessage(int modalResult) {
    TAnswer answer;
    answer.Result = modalResult;
    script_[kMessage].push_back(answer);
}

void TScriptedUserInteraction::AnswerFiles(std::vector<std::string> fileNames, int filterIndex) {
    TAnswer answer;
    answer.Files = std::move(fileNames);
    answer.FilterIndex = filterIndex;
    script_[kOpenFile].push_back(answer);
}

void TScriptedUserInteraction::AnswerSaveFile(std::string fileName, int filterIndex) {
    TAnswer answer;
    answer.Files = {std::move(fileName)};
    answer.FilterIndex = filterIndex;
    script_[kSaveFile].push_back(answer);
}

void TScriptedUserInteraction::AnswerColor(TColor color) {
    TAnswer answer;
    answer.Color = color;
    script_[kColor].push_back(answer);
}

void TScriptedUserInteraction::AnswerFont(const TFont& font) {
    TAnswer answer;
    answer.Font.Assign(&font);
    script_[kFont].push_back(answer);
}

void TScriptedUserInteraction::AnswerFolder(std::string folder) {
    TAnswer answer;
    answer.Folder = std::move(folder);
    script_[kFolder].push_back(answer);
}

void TScriptedUserInteraction::AnswerPrinterSetup(const TPrinterSetup& setup) {
    TAnswer answer;
    answer.Printer = setup;
    script_[kPrinterSetup].push_back(answer);
}

void TScriptedUserInteraction::Cancel(TKind kind) {
    TAnswer answer;
    answer.Accepted = false;
    answer.Result = mrCancel;
    script_[kind].push_back(answer);
}

size_t TScriptedUserInteraction::PendingAnswers() const {
    size_t count = 0;
    for (const auto& [kind, answers] : script_)
        count += answers.size();
    return count;
}

std::vector<std::string> TScriptedUserInteraction::Exceptions() const {
    std::vector<std::string> messages;
    for (const TCall& call : Calls)
        if (call.Kind == kException)
            messages.push_back(call.Text);
    return messages;
}

bool TScriptedUserInteraction::take(TKind kind, const std::string& question, TAnswer& answer) {
    auto& queue = script_[kind];
    if (queue.empty()) {
        if (OnUnscripted)
            OnUnscripted(question);
        answer = TAnswer{};
        answer.Accepted = false;
        answer.Result = mrCancel;
        return false;
    }
    answer = queue.front();
    queue.pop_front();
    return answer.Accepted;
}

int TScriptedUserInteraction::MessageDlg(const std::string& text, TMsgDlgType type,
                                         TMsgDlgButtons buttons, const std::string& caption) {
    TCall call(kMessage);
    call.Text = text;
    call.Caption = caption;
    call.Type = type;
    call.Buttons = buttons;
    Calls.push_back(call);
    TAnswer answer;
    take(kMessage, "message box \"" + text + "\"", answer);
    return answer.Result;
}

void TScriptedUserInteraction::ShowException(const std::string& message) {
    TCall call(kException);
    call.Text = message;
    Calls.push_back(call);
}

TFileDialogResult TScriptedUserInteraction::fileDialog(TKind kind, const TFileDialogRequest& request) {
    TCall call(kind);
    call.Text = request.Title;
    call.FileRequest = request;
    Calls.push_back(call);
    TAnswer answer;
    TFileDialogResult result;
    result.FilterIndex = request.FilterIndex;
    const char* what = kind == kOpenFile ? "open dialog \"" : "save dialog \"";
    if (take(kind, what + request.Title + "\"", answer)) {
        result.Accepted = true;
        result.FileNames = answer.Files;
        result.FilterIndex = answer.FilterIndex;
    }
    return result;
}

TFileDialogResult TScriptedUserInteraction::OpenFileDialog(const TFileDialogRequest& request) {
    return fileDialog(kOpenFile, request);
}

TFileDialogResult TScriptedUserInteraction::SaveFileDialog(const TFileDialogRequest& request) {
    return fileDialog(kSaveFile, request);
}

bool TScriptedUserInteraction::ChooseColor(TColor& color) {
    Calls.push_back(TCall(kColor));
    TAnswer answer;
    if (!take(kColor, "colour dialog", answer))
        return false;
    color = answer.Color;
    return true;
}

bool TScriptedUserInteraction::ChooseFont(TFont& font) {
    Calls.push_back(TCall(kFont));
    TAnswer answer;
    if (!take(kFont, "font dialog", answer))
        return false;
    font.Assign(&answer.Font);
    return true;
}

bool TScriptedUserInteraction::ChooseFolder(const std::string& title, std::string& folder) {
    TCall call(kFolder);
    call.Text = title;
    Calls.push_back(call);
    TAnswer answer;
    if (!take(kFolder, "folder dialog \"" + title + "\"", answer))
        return false;
    folder = answer.Folder;
    return true;
}

bool TScriptedUserInteraction::PrinterSetupDialog(TPrinterSetup& setup) {
    Calls.push_back(TCall(kPrinterSetup));
    TAnswer answer;
    if (!take(kPrinterSetup, "printer setup dialog", answer))
        return false;
    setup = answer.Printer;
    return true;
}

void TScriptedUserInteraction::ShowFindDialog(const TFindRequest& initial, TFindHandler handler) {
    TCall call(kFind);
    call.Find = initial;
    Calls.push_back(call);
    findHandler_ = std::move(handler);
}

void TScriptedUserInteraction::ShowReplaceDialog(const TFindRequest& initial, TFindHandler handler) {
    TCall call(kReplace);
    call.Find = initial;
    Calls.push_back(call);
    findHandler_ = std::move(handler);
}

void TScriptedUserInteraction::CloseFindDialogs() { findHandler_ = nullptr; }

bool TScriptedUserInteraction::TriggerFind(const TFindRequest& request) {
    if (!findHandler_)
        return false;
    findHandler_(request);
    return true;
}

bool TScriptedUserInteraction::OpenDocument(const std::string& fileName) {
    TCall call(kOpenDocument);
    call.Text = fileName;
    Calls.push_back(call);
    return DesktopSucceeds;
}

bool TScriptedUserInteraction::OpenURL(const std::string& url) {
    TCall call(kOpenURL);
    call.Text = url;
    Calls.push_back(call);
    return DesktopSucceeds;
}

bool TScriptedUserInteraction::StartProgram(const std::string& program,
                                            const std::vector<std::string>& arguments,
                                            const std::string& workingFolder) {
    TCall call(kStartProgram);
    call.Text = program;
    call.Arguments = arguments;
    call.WorkingFolder = workingFolder;
    Calls.push_back(call);
    return DesktopSucceeds;
}
