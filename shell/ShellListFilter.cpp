#include "shell/ShellListFilter.h"

#include "shell/ShellUtils.h"

namespace {

char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// The characters of a text, a UTF-8 sequence whole.
std::vector<std::string> charactersOf(std::string_view text) {
    std::vector<std::string> characters;
    for (size_t index = 0; index < text.size();) {
        std::string character;
        NextMbcsChar(index, text, character);
        characters.push_back(std::move(character));
    }
    return characters;
}

bool sameCharacter(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (asciiUpper(a[i]) != asciiUpper(b[i]))
            return false;
    return true;
}

// Wildcard matching with one remembered star: linear in practice, never
// worse than the product of the lengths.
bool matches(const std::vector<std::string>& name, const std::vector<std::string>& mask) {
    size_t n = 0, m = 0, starMask = std::string::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == "*") {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == "?" || sameCharacter(mask[m], name[n]))) {
            ++m;
            ++n;
        } else if (starMask != std::string::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == "*")
        ++m;
    return m == mask.size();
}

} // namespace

std::vector<std::string> SplitFileFilter(std::string_view filter) {
    std::vector<std::string> masks;
    size_t start = 0;
    while (start <= filter.size()) {
        size_t end = filter.find(';', start);
        if (end == std::string_view::npos)
            end = filter.size();
        if (end > start)
            masks.emplace_back(filter.substr(start, end - start));
        start = end + 1;
    }
    return masks;
}

bool FilterShowsAll(std::string_view filter) { return filter.empty() || filter == "*" || filter == "*.*"; }

bool MatchesMask(std::string_view name, std::string_view mask) {
    std::vector<std::string> nameCharacters = charactersOf(name);
    if (matches(nameCharacters, charactersOf(mask)))
        return true;
    if (mask.size() >= 2 && mask.ends_with(".*") && name.find('.') == std::string_view::npos)
        return matches(nameCharacters, charactersOf(mask.substr(0, mask.size() - 2)));
    return false;
}

bool MatchesAnyMask(std::string_view name, const std::vector<std::string>& masks) {
    for (const std::string& mask : masks)
        if (MatchesMask(name, mask))
            return true;
    return false;
}
