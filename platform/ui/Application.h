#pragma once
// The application object: it starts the window system from the command
// line, carries the title, and runs the program's message loop until it is
// told to terminate.
//
// The window system behind it is installed by platform_widgets (linking
// that library is enough); without it Initialize makes a plain GUI
// application, which is all model and window-base tests need.

#include "platform/base/Component.h"

#include <functional>
#include <string>

// What the window system does for the application.
class TApplicationBackend {
public:
    virtual ~TApplicationBackend() = default;
    // Makes the window system's application object (argc and argv must
    // outlive it) and installs everything windows need.
    virtual void Start(int& argc, char** argv) = 0;
};
// Installs the backend (not owned); platform_widgets does so at start-up.
void SetApplicationBackend(TApplicationBackend* backend);

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

    // Runs the message loop until Terminate (or the window system ends the
    // application).
    void Run();
    // Asks the message loop, and every modal loop running in it, to end.
    void Terminate();
    bool Terminated() const;
    // Delivers what is pending, then returns.
    void ProcessMessages();

private:
    std::string title_;
};

// The application object of the program.
TApplication& Application();
