#include "platform/gfx/FontNames.h"

#include "platform/base/QtBridge.h"
#include "platform/base/TextCodec.h"
#include "platform/gfx/Font.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <algorithm>

std::vector<std::string> InstalledFontNames() {
    std::vector<std::string> names;
    if (qGuiApp == nullptr)
        return names;
    for (const QString& family : QFontDatabase::families())
        names.push_back(QStringToProgramText(family));
    // Pages name the classic faces: offer them where a twin draws them.
    for (const char* classic : {"Arial", "Courier New", "Times New Roman"}) {
        const std::string twin = ResolveFontFamily(classic);
        if (std::any_of(names.begin(), names.end(), [&](const std::string& name) { return SameText(name, twin); }))
            names.emplace_back(classic);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    names.erase(std::unique(names.begin(), names.end(),
                            [](const std::string& a, const std::string& b) { return SameText(a, b); }),
                names.end());
    return names;
}
