#pragma once
// Pages the program hands to the desktop: its help pages (files under
// "help" beside the program) and the maker's web pages (OpenWebAddress,
// declared with the seam).  A page that is missing, or that the desktop
// has no program to show, is told to the user rather than ignored.

#include "platform/ui/UserInteraction.h"

#include <string>

// relative: the page's path below the program's folder.
void OpenHelpPage(const std::string& relative);
