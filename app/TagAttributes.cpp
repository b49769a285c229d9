#include "app/TagAttributes.h"

#include "app/TagText.h"

#include "platform/base/IniDocument.h"
#include "platform/base/IniFile.h"
#include "platform/base/ProgramFolder.h"

#include <algorithm>

std::string TagAttributeFileName() { return ProgramFolder() + "data/ondrill.dat"; }

std::vector<std::string> ListedAttributes(const std::string& tag) {
    // One look at the (cached) file for the whole section: the inspector
    // reads it each time the caret enters a tag.
    auto file = TIniDocument::Load(TagAttributeFileName());
    const std::string section = UpperCaseName(tag);
    int32_t count = 0;
    const std::string* countText = file->FindValue(section, "Nombre");
    if (countText == nullptr || !TryParseIniInteger(*countText, count) || count < 1)
        return {};
    count = std::min(count, kMaxListedAttributes);
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(count));
    for (int32_t k = 1; k <= count; ++k) {
        const std::string* name = file->FindValue(section, "Attribut" + std::to_string(k));
        names.push_back(name != nullptr ? *name : std::string());
    }
    return names;
}
