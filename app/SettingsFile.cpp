#include "app/SettingsFile.h"

#include "platform/base/ProgramFolder.h"

std::string SettingsFileName() { return ProgramFolder() + "data/zozed.dat"; }

std::unique_ptr<TIniFile> OpenSettings() { return std::make_unique<TIniFile>(SettingsFileName()); }
