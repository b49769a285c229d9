#include "app/SplashForm.h"

#include "app/ApplicationClasses.h"

#include "platform/base/ProgramFolder.h"
#include "platform/gfx/Picture.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/TextControls.h"

namespace {

// The labels: white "Times New Roman", 11 pixels high, over the picture.
TComponentDescription label(const char* name, const char* caption, int top, bool visible) {
    return {.Name = name,
            .ClassName = "TLabel",
            .Bounds = Bounds(28, top, 200, 14),
            .Properties = {{"Caption", std::string(caption)},
                           {"Transparent", true},
                           {"Font.Name", std::string("Times New Roman")},
                           {"Font.Height", -11},
                           {"Font.Color", std::string("clWhite")},
                           {"Visible", visible}}};
}

const TFormDescription& description() {
    // The border is one pixel of the form's colour around the picture.
    static const TFormDescription form{
        .Components = {
            {.Name = "Image1",
             .ClassName = "TImage",
             .Bounds = Bounds(1, 1, kSplashWidth, kSplashHeight),
             .Properties = {{"Stretch", true}}},
            label("Label1", "Loading modules ...", 186, true),
            label("Label2", "Loading preferences ...", 204, true),
            label("Label3", "Loading done .", 222, false),
        }};
    return form;
}

template <class T> T* component(TComponent& owner, const char* name) {
    return dynamic_cast<T*>(owner.FindComponent(name));
}

} // namespace

void LoadProgramPicture(TImage& image, const std::string& name) {
    try {
        image.Picture().LoadFromFile(ProgramFolder() + "images/" + name);
    } catch (...) {
        // The window goes on without its picture.
    }
}

TSplashform::TSplashform(TComponent* owner) : TForm(owner) {
    RegisterApplicationClasses();
    SetName("Splashform");
    SetBorderStyle(bsNone);
    SetPosition(poScreenCenter);
    SetColor(RGB(0x0B, 0x2A, 0x48));
    SetBounds(0, 0, kSplashWidth + 2, kSplashHeight + 2);
    BuildForm(*this, description(), {});
    Image1 = component<TImage>(*this, "Image1");
    Label1 = component<TLabel>(*this, "Label1");
    Label2 = component<TLabel>(*this, "Label2");
    Label3 = component<TLabel>(*this, "Label3");
    LoadProgramPicture(*Image1, "splash.png");
}
