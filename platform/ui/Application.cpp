#include "platform/ui/Application.h"

#include "platform/base/QtBridge.h"
#include "platform/gfx/Picture.h"
#include "platform/gfx/QtBridge.h"
#include "platform/ui/Actions.h"
#include "platform/ui/Control.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/UserInteraction.h"
#include "platform/ui/WindowNotices.h"

#include <QAbstractEventDispatcher>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QMetaObject>

#include <csignal>

namespace {

TApplicationBackend* backend = nullptr;

// The program's message loop: every input passes; a quit request ends it.
// When the loop runs out of messages (the event dispatcher is about to
// block) the idle handler runs; one that is not done is run again at once.
class TMessageLoop : public TModalLoop {
public:
    explicit TMessageLoop(TApplication& application) : application_(application) {}
    bool IsMessageLoop() const override { return true; }

protected:
    void Enter() override {
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
        if (dispatcher == nullptr)
            return;
        idle_ = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [this, dispatcher] {
            // Only the program's own loop is idle, not a nested one.
            if (InnermostLoop() != this || Finishing())
                return;
            bool done = true;
            RunGuarded([&] { done = application_.Idle(); });
            if (!done)
                dispatcher->wakeUp();
        });
    }
    void Leave() override { QObject::disconnect(idle_); }

private:
    TApplication& application_;
    QMetaObject::Connection idle_;
};

} // namespace

void SetApplicationBackend(TApplicationBackend* value) { backend = value; }

TApplication::TApplication() = default;

TApplication::~TApplication() = default;

TPicture& TApplication::Icon() {
    if (icon_ == nullptr) {
        icon_ = std::make_unique<TPicture>();
        icon_->OnChange = [this](TPersistent*) { ShowIcon(); };
    }
    return *icon_;
}

void TApplication::ShowIcon() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return;
    TGraphic* graphic = icon_ != nullptr ? icon_->Graphic() : nullptr;
    const bool empty = graphic == nullptr || graphic->Empty();
    QImage image(empty ? 16 : graphic->Width(), empty ? 16 : graphic->Height(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (!empty) {
        TDeviceCanvas canvas(&image);
        graphic->Draw(canvas, Rect(0, 0, image.width(), image.height()));
    }
    QGuiApplication::setWindowIcon(QIcon(QPixmap::fromImage(image)));
}

void TApplication::Initialize(int& argc, char** argv) {
    // A file grown past the user's file-size limit makes the write fail
    // (EFBIG), which the save reports and recovers from, instead of ending
    // the program with every unsaved document in it.
    std::signal(SIGXFSZ, SIG_IGN);
    if (QCoreApplication::instance() == nullptr) {
        if (backend != nullptr)
            backend->Start(argc, argv);
        else
            new QGuiApplication(argc, argv);
    }
    // The application ends when the main form closes, not when Qt sees its
    // last window go.
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        gui->setQuitOnLastWindowClosed(false);
    ShowIcon();
    if (!title_.empty())
        QCoreApplication::setApplicationName(ProgramTextToQString(title_));
}

bool TApplication::Initialized() const { return QCoreApplication::instance() != nullptr; }

void TApplication::SetTitle(std::string title) {
    title_ = std::move(title);
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::setApplicationName(ProgramTextToQString(title_));
}

void TApplication::Run() {
    if (Initialized() && !QuitRequested()) {
        if (mainForm_ != nullptr)
            RunGuarded([this] { mainForm_->Show(); });
        TMessageLoop loop(*this);
        if (!QuitRequested())
            RunGuarded([&] { loop.Run(); });
    }
    // The forms go the last made first, so that every document window is
    // freed before the main window.
    while (ComponentCount() > 0) {
        TComponent* last = Components(ComponentCount() - 1);
        if (last->BeingFreed())
            RemoveComponent(last); // being freed already: it goes on alone
        else
            delete last;
    }
    mainForm_ = nullptr;
}

void TApplication::Terminate() { RequestQuit(); }

bool TApplication::Terminated() const { return QuitRequested(); }

void TApplication::ProcessMessages() { ::ProcessMessages(); }

void TApplication::SetHint(const std::string& hint) {
    if (hint == hint_)
        return;
    hint_ = hint;
    if (OnHint)
        OnHint(this);
}

void TApplication::ActivateHint(TPoint screen) {
    if (backend != nullptr && Initialized())
        backend->ActivateHint(screen);
}

void TApplication::CancelHint() {
    if (backend != nullptr && Initialized())
        backend->CancelHint();
}

bool TApplication::Active() const { return ApplicationActiveNoticed(); }

bool TApplication::HelpCommand(uint16_t command, intptr_t data) { return OnHelp && OnHelp(command, data); }

bool TApplication::Idle() {
    bool done = true;
    if (OnIdle)
        OnIdle(this, done);
    // Controls that show actions bring them up to date while nothing else
    // is to be done.
    DoActionIdle();
    return done;
}

void TApplication::ShowException(const std::string& message) {
    if (OnException)
        OnException(this, message);
    else
        UserInteraction().ShowException(message);
}

TApplication& Application() {
    static TApplication* application = new TApplication;
    return *application;
}

std::string GetLongHint(const std::string& hint) {
    size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

std::string GetShortHint(const std::string& hint) {
    size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(0, bar);
}
