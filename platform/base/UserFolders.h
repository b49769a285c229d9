#pragma once
// The program's folders in the user's home, after the XDG base-directory
// rules: an absolute $XDG_CONFIG_HOME or $XDG_CACHE_HOME, else ~/.config or
// ~/.cache, each with the program's own folder "korvane-ondrill" in it.
// Neither need exist; whoever writes there creates them.

#include <string>

// Settings the user keeps: the registry store.
std::string UserConfigFolder();
// What may be lost without harm: copies kept while a file is rewritten.
std::string UserCacheFolder();
