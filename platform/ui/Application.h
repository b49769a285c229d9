#pragma once
// The application object: it starts the window system from the command
// line, carries the title and the main form, and runs the program's message
// loop until it is told to terminate (closing the main form does so).
//
// It also carries the hint of the control under the pointer (Hint, set as
// the pointer enters a control; OnHint tells of each change), the idle
// handler (OnIdle, called whenever the message loop runs out of messages),
// and the handler of exceptions that reach the event loop (OnException;
// without one, the error box of the user-interaction seam).
//
// The window system behind it is installed by platform_widgets (linking
// that library is enough); without it Initialize makes a plain GUI
// application, which is all model and window-base tests need.

#include "platform/base/Component.h"
#include "platform/gfx/Geometry.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

class TPicture;

class TCustomForm;

// What the window system does for the application.
class TApplicationBackend {
public:
    virtual ~TApplicationBackend() = default;
    // Makes the window system's application object (argc and argv must
    // outlive it) and installs everything windows need.
    virtual void Start(int& argc, char** argv) = 0;
    // Shows at once the hint of the program window under a screen point,
    // as its CM_HINTSHOW answers; hides the hint shown.
    virtual void ActivateHint(TPoint screen) {}
    virtual void CancelHint() {}
};
// Installs the backend (not owned); platform_widgets does so at start-up.
void SetApplicationBackend(TApplicationBackend* backend);

using TNotifyEvent = std::function<void(TPersistent* sender)>;
using TIdleEvent = std::function<void(TPersistent* sender, bool& done)>;
using TExceptionEvent = std::function<void(TPersistent* sender, const std::string& message)>;
// Answers a help request (command: HELP_CONTEXT or HELP_CONTEXTPOPUP, data:
// the help context); true when help was shown.
using THelpEvent = std::function<bool(uint16_t command, intptr_t data)>;

// Help commands.
enum : uint16_t { HELP_CONTEXT = 0x0001, HELP_CONTEXTPOPUP = 0x0008 };

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;
    std::string ClassName() const override { return "TApplication"; }

    // Starts the window system (once; later calls do nothing).  argc and
    // argv must live as long as the program.
    void Initialize(int& argc, char** argv);
    bool Initialized() const;

    // The title of the application: the task bar's and the message boxes'
    // caption.
    const std::string& Title() const { return title_; }
    void SetTitle(std::string title);

    // The program's picture, which its windows show in their title bars.
    // Without one they show none (never a picture of the toolkit's).
    TPicture& Icon();
    // Puts the icon (or none) on the windows: Initialize does, and so does
    // a program that makes its window system itself.
    void ShowIcon();

    // The main form: the first form made by CreateForm, unless set.
    // Closing it terminates the application.
    TCustomForm* MainForm() const { return mainForm_; }
    void SetMainForm(TCustomForm* form) { mainForm_ = form; }
    // Makes a form owned by the application; the first becomes the main
    // form.
    template <class TFormClass> TFormClass* CreateForm() {
        auto* form = new TFormClass(this);
        if (mainForm_ == nullptr)
            mainForm_ = form;
        return form;
    }

    // Shows the main form and runs the message loop until Terminate (or the
    // window system ends the application).  Then frees the components the
    // application owns, the last made first.
    void Run();
    // Asks the message loop, and every modal loop running in it, to end.
    void Terminate();
    bool Terminated() const;
    // Delivers what is pending, then returns.
    void ProcessMessages();

    // The window system shows a control's hint by itself once the pointer
    // rests on it; code that tracks the mouse itself (a menu) shows the hint
    // of the window under a point at once, or hides the one shown.
    void ActivateHint(TPoint screen);
    void CancelHint();

    // Tool tips of commands that have a shortcut name it too.
    bool HintShortCuts = true;

    // The long part of the hint of the control under the pointer.
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    TNotifyEvent OnHint;
    // Called when the message loop has nothing left to do; setting done to
    // false asks to be called again at once.
    TIdleEvent OnIdle;
    // Called with the message of an exception that reached the event loop,
    // instead of the error box.
    TExceptionEvent OnException;

    // Whether one of the program's windows is active, as the window system
    // last said (true until it says otherwise).
    bool Active() const;

    // Help for a context number (F1 on a menu item that has one): OnHelp
    // answers; without it there is no help and the result is false.
    THelpEvent OnHelp;
    bool HelpCommand(uint16_t command, intptr_t data);
    bool HelpContext(int context) { return HelpCommand(HELP_CONTEXT, context); }

    // Shows an exception's message: OnException, or the error box.
    void ShowException(const std::string& message);
    // Runs the idle handler once (the message loop does so when idle).
    // Returns done.
    bool Idle();

private:
    std::string title_;
    std::unique_ptr<TPicture> icon_;
    std::string hint_;
    TCustomForm* mainForm_ = nullptr;
};

// The application object of the program.
TApplication& Application();

// The part of a hint after the first "|", or the whole hint without one
// (the long hint shown by status bars); and the part before it.
std::string GetLongHint(const std::string& hint);
std::string GetShortHint(const std::string& hint);
