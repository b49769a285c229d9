#pragma once
// The font names a program offers in its font lists.

#include <string>
#include <vector>

// Every installed font family, and the classic face names whose metric
// twin is installed ("Arial", "Courier New", "Times New Roman": see
// ResolveFontFamily), sorted and without duplicates, ignoring ASCII case.
// Names are code-page text.  Empty without a QGuiApplication.
std::vector<std::string> InstalledFontNames();
