#pragma once
// The font families the screen offers, by name, for lists where the user
// picks a font by typing or choosing its name.

#include <string>
#include <vector>

// "Default" first, then every installed family, sorted ignoring ASCII
// case, each once; names in the program's code page.
std::vector<std::string> ScreenFontFamilies();
