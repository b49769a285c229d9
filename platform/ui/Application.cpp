#include "platform/ui/Application.h"

#include "platform/base/QtBridge.h"
#include "platform/ui/Control.h"
#include "platform/ui/ModalLoop.h"

#include <QGuiApplication>

namespace {

TApplicationBackend* backend = nullptr;

// The program's message loop: every input passes, a quit request ends it.
class TMessageLoop : public TModalLoop {};

} // namespace

void SetApplicationBackend(TApplicationBackend* value) { backend = value; }

TApplication::TApplication() = default;

TApplication::~TApplication() = default;

void TApplication::Initialize(int& argc, char** argv) {
    if (QCoreApplication::instance() == nullptr) {
        if (backend != nullptr)
            backend->Start(argc, argv);
        else
            new QGuiApplication(argc, argv);
    }
    if (!title_.empty())
        QCoreApplication::setApplicationName(AnsiToQString(title_));
}

bool TApplication::Initialized() const { return QCoreApplication::instance() != nullptr; }

void TApplication::SetTitle(std::string title) {
    title_ = std::move(title);
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::setApplicationName(AnsiToQString(title_));
}

void TApplication::Run() {
    if (!Initialized() || QuitRequested())
        return;
    TMessageLoop loop;
    loop.Run();
}

void TApplication::Terminate() { RequestQuit(); }

bool TApplication::Terminated() const { return QuitRequested(); }

void TApplication::ProcessMessages() { ::ProcessMessages(); }

TApplication& Application() {
    static TApplication* application = new TApplication;
    return *application;
}
