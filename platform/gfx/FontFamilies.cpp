#include "platform/gfx/FontFamilies.h"

#include "platform/base/QtBridge.h"

#include <QFontDatabase>
#include <QStringList>

#include <algorithm>
#include <strings.h>

std::vector<std::string> ScreenFontFamilies() {
    std::vector<std::string> names;
    for (const QString& family : QFontDatabase::families())
        names.push_back(QStringToAnsi(family));
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
    names.erase(std::unique(names.begin(), names.end(),
                            [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }),
                names.end());
    names.insert(names.begin(), "Default");
    return names;
}
