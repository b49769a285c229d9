#pragma once
// The parsed form of an INI file, shared by TIniFile and the registry
// store.  Every line is kept as it was read, so that rewriting the file
// changes only the lines an edit touched: comments, blank lines and lines
// that are neither sections nor entries stay untouched.
//
// Reading rules (the private-profile rules):
// - CR LF, a lone LF and a lone CR each end a line;
// - a line whose first non-blank byte is '[' and that holds a ']' is a
//   section header; the name is what lies between '[' and the last ']',
//   without surrounding blanks;
// - a line whose first non-blank byte is ';' is a comment;
// - another line with an '=' is an entry: the key is the text before the
//   first '=', the value the text after it, both without surrounding
//   blanks; a value enclosed in matching double or single quotes loses them;
// - section and key names compare ignoring ASCII case, and the first
//   matching section, and within it the first matching key, wins.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class TIniDocument {
public:
    explicit TIniDocument(std::string_view text = {});

    // The document as file contents.
    std::string Text() const;

    bool SectionExists(std::string_view section) const;
    // The value of key in the first matching section; nullptr when absent.
    const std::string* FindValue(std::string_view section, std::string_view key) const;
    // Section names in file order, each name once (first spelling).
    std::vector<std::string> SectionNames() const;
    // Keys and values of the first matching section, each key once.
    std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;

    // Without surrounding blanks (space, tab, vertical tab, form feed).
    static std::string_view Trim(std::string_view s);

    // True when a key or a section name can be written so that it reads
    // back as itself, and a value so that it reads back unchanged.
    static bool IsStorableKey(std::string_view key);
    static bool IsStorableSection(std::string_view section);
    static bool IsStorableValue(std::string_view value);

    // Edits; each returns whether the document changed.  Names and values
    // must be storable.
    bool SetValue(std::string_view section, std::string_view key, std::string_view value);
    // Removes every entry of key in the first matching section.
    bool DeleteKey(std::string_view section, std::string_view key);
    // Removes every section whose name matches, with all its lines.
    bool EraseSections(const std::function<bool(std::string_view name)>& match);
    bool EraseSection(std::string_view section);
    bool AddSection(std::string_view section);

    // Files on disk, cached: a file that has not changed for two seconds
    // (same identity, size and modification and change times) is parsed
    // once.  A missing or unreadable file reads as an empty document.
    static std::shared_ptr<const TIniDocument> Load(const std::string& fileName);
    // Writes through a temporary file and a rename; raises EFCreateError.
    void Save(const std::string& fileName, bool createFolders = false) const;

private:
    enum class TKind { Other, Section, Entry };
    struct TLine {
        TKind kind = TKind::Other;
        std::string raw;   // the line as in the file, without its break
        std::string name;  // section name or key, trimmed
        std::string value; // an entry's value as read
    };
    struct TSection {
        size_t header = 0; // index of the header line
        size_t end = 0;    // one past its last line
        std::unordered_map<std::string, size_t> keys; // folded key -> first entry line
    };

    static TLine parseLine(std::string_view raw, bool first);
    static std::string entryLine(std::string_view key, std::string_view value);
    void reindex();
    const TSection* findSection(std::string_view section) const;
    // A new section's header at the end; the caller reindexes.
    void appendHeader(std::string_view section);

    std::vector<TLine> lines_;
    std::string lineBreak_ = "\n";
    bool endsWithBreak_ = true;
    std::vector<TSection> sections_;
    std::unordered_map<std::string, size_t> firstSection_; // folded name -> index in sections_
};
