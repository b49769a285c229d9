#include "app/AboutForm.h"

#include "app/ApplicationClasses.h"
#include "app/DesktopPages.h"
#include "app/SplashForm.h"

#include "platform/base/EventHandlers.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/TextControls.h"

namespace {

constexpr int kWidth = 296;
constexpr int kHeight = 188;

TComponentDescription text(const char* name, const std::string& caption, int top, bool link) {
    return {.Name = name,
            .ClassName = "TLabel",
            .Bounds = Bounds(18, top, kWidth - 36, 16),
            .Properties = {{"Caption", caption},
                           {"Transparent", true},
                           {"Font.Name", std::string("Arial")},
                           {"Font.Height", -12},
                           {"Font.Color", std::string(link ? "clYellow" : "clWhite")},
                           {"Cursor", link ? static_cast<int>(crHandPoint) : static_cast<int>(crDefault)}},
            .Events = link ? std::vector<TEventBinding>{{"OnClick", "Label6Click"}} : std::vector<TEventBinding>{}};
}

const TFormDescription& description() {
    static const TFormDescription form{
        .Components = {
            {.Name = "Image1",
             .ClassName = "TImage",
             .Bounds = Bounds(0, 0, kWidth, kHeight),
             .Properties = {{"Stretch", true}},
             .Events = {{"OnClick", "Image1Click"}}},
            text("VersionLabel", "Version 3.2", 110, false),
            text("BuildLabel", "Build: 3.2.0.19", 128, false),
            text("Label6", kMakerSite, 156, true),
            // Escape closes the box; the button itself lies outside it.
            {.Name = "CloseButton",
             .ClassName = "TButton",
             .Bounds = Bounds(-100, -100, 75, 25),
             .Properties = {{"Caption", std::string("Close")}, {"Cancel", true}, {"ModalResult", 2}}},
        }};
    return form;
}

template <class T> T* component(TComponent& owner, const char* name) {
    return dynamic_cast<T*>(owner.FindComponent(name));
}

} // namespace

TAboutBox::TAboutBox(TComponent* owner) : TForm(owner) {
    RegisterApplicationClasses();
    SetName("AboutBox");
    SetBorderStyle(bsNone);
    SetPosition(poScreenCenter);
    SetBounds(0, 0, kWidth, kHeight);
    THandlerTable handlers;
    handlers.Add("Image1Click", this, &TAboutBox::Image1Click);
    handlers.Add("Label6Click", this, &TAboutBox::Label6Click);
    BuildForm(*this, description(), handlers);
    Image1 = component<TImage>(*this, "Image1");
    VersionLabel = component<TLabel>(*this, "VersionLabel");
    BuildLabel = component<TLabel>(*this, "BuildLabel");
    Label6 = component<TLabel>(*this, "Label6");
    LoadProgramPicture(*Image1, "about.png");
}

void TAboutBox::Image1Click(TPersistent*) { Close(); }

void TAboutBox::Label6Click(TPersistent*) { OpenWebAddress(std::string(kMakerSite) + "/en/index.html"); }
