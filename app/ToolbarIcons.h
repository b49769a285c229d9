#pragma once
// The pictures of the main window's toolbar buttons: 16 x 16 images drawn
// once at start-up, one per button, looked up by the button's name; and
// those of the document window's and the tool window's page tabs.

#include <string>

class TImageList;

// Fills the list (16 x 16) with every button's picture.
void DrawToolbarIcons(TImageList& images);
// The index of a button's picture in that list, -1 for a button without.
int ToolbarIconIndex(const std::string& buttonName);
// Fills the list (16 x 16) with the pictures of the document window's
// page tabs: 0 the source, 1 the preview, 2 the design view.
void DrawPageTabIcons(TImageList& images);
// Fills the list (16 x 16) with the pictures of the tool window's page
// tabs: 0 the tag inspector, 1 the file explorer, 2 the project manager,
// 3 the quick codes.
void DrawToolPageIcons(TImageList& images);
