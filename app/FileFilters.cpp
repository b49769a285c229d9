#include "app/FileFilters.h"

namespace {

constexpr std::string_view kWebMasks = "*.html;*.htm;*.shtml;*.shtm;*.php;*.asp;*.js;*.css;*.xml;*.txt";
constexpr std::string_view kEditableEntries =
    "HTML (*.htm;*.html)|*.htm;*.html|SSI (*.shtm;*.shtml)|*.shtm;*.shtml|PHP (*.php)|*.php|"
    "Javascripts|*.js|CSS(*.css)|*.css|XML|*.xml|ASP|*.asp|Text (*.txt)|*.txt|";

std::string editable(std::string_view allFilesCaption) {
    std::string filter = "Web files|";
    filter += kWebMasks;
    filter += '|';
    filter += kEditableEntries;
    filter += allFilesCaption;
    filter += "|*.*";
    return filter;
}

} // namespace

std::string GetFileFilter(std::string_view kind) {
    if (kind == "editable")
        return editable("All Files");
    if (kind == "shList")
        return std::string(kWebMasks);
    if (kind == "applet")
        return "Java Applet (*.class)|*.class";
    if (kind == "sound")
        return "Sound files (*.wav;*.mid;*.au)|*.wav;*.mid;*.au";
    if (kind == "javascript")
        return "Javascript (*.js)|*.js";
    if (kind == "object")
        return "All files(*.*)|*.*";
    return editable("All files");
}
