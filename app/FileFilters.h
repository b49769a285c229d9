#pragma once
// Filters of the program's file dialogs, by kind of file.

#include <string>
#include <string_view>

// The dialog filter for a kind: "editable", "applet", "sound",
// "javascript", "object"; "shList" gives the file explorer's mask list.
// Kinds compare case-sensitively; any other kind gets the editable filter
// whose last entry reads "All files".
std::string GetFileFilter(std::string_view kind);

// The filter of the picture open dialogs (image, form image, image map,
// body, the new-page wizard, the tag inspector's pictures): every kind of
// picture the program reads the size of, together first, then one by one.
inline constexpr const char* kPictureFileFilter =
    "All (*.jpg;*.jpeg;*.gif;*.bmp;*.png;*.ico;*.wmf;*.emf)|*.jpg;*.jpeg;*.gif;*.bmp;*.png;*.ico;*.wmf;*.emf|"
    "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|GIF Image (*.gif)|*.gif|Bitmaps (*.bmp)|*.bmp|"
    "PNG Image (*.png)|*.png|Icons (*.ico)|*.ico|Metafiles (*.wmf)|*.wmf|Enhanced Metafiles (*.emf)|*.emf";
