#pragma once
// The pictures of the main window's toolbar buttons: 16 x 16 images drawn
// once at start-up, one per button, looked up by the button's name.

#include <string>

class TImageList;

// Fills the list (16 x 16) with every button's picture.
void DrawToolbarIcons(TImageList& images);
// The index of a button's picture in that list, -1 for a button without.
int ToolbarIconIndex(const std::string& buttonName);
