#pragma once
// TAboutBox: the borderless box of "Help" > "About ...": the product's
// picture, its version and build, and the maker's web address, which
// opens the maker's site when clicked.  Clicking the picture closes the
// box, as does Escape.

#include "platform/ui/Forms.h"

#include <string>

class TButton;
class TImage;
class TLabel;

// The maker's web site, shown in the box and in new documents' comment.
inline constexpr const char* kMakerSite = "https://ondrill.korvane.example";

class TAboutBox : public TForm {
public:
    explicit TAboutBox(TComponent* owner);
    std::string ClassName() const override { return "TAboutBox"; }

    TImage* Image1 = nullptr;
    TLabel* VersionLabel = nullptr;
    TLabel* BuildLabel = nullptr;
    TLabel* Label6 = nullptr;

    void Image1Click(TPersistent* sender);
    void Label6Click(TPersistent* sender);
};
