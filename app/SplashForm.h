#pragma once
// TSplashform: the window shown while the program starts, a borderless
// picture of the product centred on the screen with what is being loaded
// written over it.  It has no code of its own beyond being made.

#include "platform/ui/Forms.h"

#include <string>

class TImage;
class TLabel;

class TSplashform : public TForm {
public:
    explicit TSplashform(TComponent* owner);
    std::string ClassName() const override { return "TSplashform"; }

    TImage* Image1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
};

// The client area of the splash window, and of the picture that fills it.
inline constexpr int kSplashWidth = 350;
inline constexpr int kSplashHeight = 263;

// Loads a picture of the program's "images" folder into an image; a picture
// that is missing or can not be read leaves the image empty (the window
// shows its colour), since the program can start without it.
void LoadProgramPicture(TImage& image, const std::string& name);
