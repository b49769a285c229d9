#include "platform/base/IniDocument.h"

#include "platform/base/PosixFileOps.h"
#include "platform/base/SafeFile.h"
#include "platform/base/TextCodec.h"
#include "platform/base/TextLines.h"

#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <ctime>
#include <unistd.h>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isQuote(char c) { return c == '"' || c == '\''; }

bool enclosedInQuotes(std::string_view s) { return s.size() >= 2 && isQuote(s.front()) && s.front() == s.back(); }

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

std::string headerLine(std::string_view section) {
    std::string line;
    line.reserve(section.size() + 2);
    line += '[';
    line += section;
    line += ']';
    return line;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

TIniDocument::TIniDocument(std::string_view text) {
    bool breakSeen = false;
    endsWithBreak_ = text.empty() || text.back() == '\n' || text.back() == '\r';
    ForEachLine(text, [&](std::string_view line, std::string_view lineBreak) {
        lines_.push_back(parseLine(line, lines_.empty()));
        if (!breakSeen && !lineBreak.empty()) {
            // The file's own line break is kept for the lines we add.
            lineBreak_ = std::string(lineBreak);
            breakSeen = true;
        }
    });
    reindex();
}

TIniDocument::TLine TIniDocument::parseLine(std::string_view raw, bool first) {
    TLine line;
    line.raw = std::string(raw);
    if (first && raw.starts_with(kByteOrderMark))
        raw.remove_prefix(kByteOrderMark.size());
    std::string_view content = trim(raw);
    if (content.empty() || content.front() == ';')
        return line;
    if (content.front() == '[') {
        size_t close = content.rfind(']');
        if (close != std::string_view::npos) {
            line.kind = TKind::Section;
            line.name = std::string(trim(content.substr(1, close - 1)));
            return line;
        }
    }
    size_t equals = content.find('=');
    if (equals == std::string_view::npos)
        return line;
    std::string_view key = trim(content.substr(0, equals));
    if (key.empty())
        return line;
    std::string_view value = trim(content.substr(equals + 1));
    if (enclosedInQuotes(value))
        value = value.substr(1, value.size() - 2);
    line.kind = TKind::Entry;
    line.name = std::string(key);
    line.value = std::string(value);
    return line;
}

std::string TIniDocument::entryLine(std::string_view key, std::string_view value) {
    // A value that reading would change (surrounding blanks, enclosing
    // quotes) is written inside double quotes, which reading removes again.
    bool quote = !value.empty() && (isBlank(value.front()) || isBlank(value.back()) || enclosedInQuotes(value));
    std::string line(key);
    line += '=';
    if (quote)
        line += '"';
    line += value;
    if (quote)
        line += '"';
    return line;
}

void TIniDocument::reindex() {
    sections_.clear();
    firstSection_.clear();
    for (size_t i = 0; i < lines_.size(); ++i) {
        const TLine& line = lines_[i];
        if (line.kind == TKind::Section) {
            if (!sections_.empty())
                sections_.back().end = i;
            firstSection_.emplace(UpperCase(line.name), sections_.size());
            sections_.push_back(TSection{i, lines_.size(), {}});
        } else if (line.kind == TKind::Entry && !sections_.empty()) {
            // Entries above the first section belong to none and are kept
            // as they are.
            sections_.back().keys.emplace(UpperCase(line.name), i);
        }
    }
    if (!sections_.empty())
        sections_.back().end = lines_.size();
}

std::string TIniDocument::Text() const {
    std::string text;
    size_t size = 0;
    for (const TLine& line : lines_)
        size += line.raw.size() + lineBreak_.size();
    text.reserve(size);
    for (size_t i = 0; i < lines_.size(); ++i) {
        text += lines_[i].raw;
        if (i + 1 < lines_.size() || endsWithBreak_)
            text += lineBreak_;
    }
    return text;
}

const TIniDocument::TSection* TIniDocument::findSection(std::string_view section) const {
    auto it = firstSection_.find(UpperCase(trim(section)));
    return it == firstSection_.end() ? nullptr : &sections_[it->second];
}

bool TIniDocument::SectionExists(std::string_view section) const { return findSection(section) != nullptr; }

const std::string* TIniDocument::FindValue(std::string_view section, std::string_view key) const {
    const TSection* found = findSection(section);
    if (found == nullptr)
        return nullptr;
    auto it = found->keys.find(UpperCase(trim(key)));
    return it == found->keys.end() ? nullptr : &lines_[it->second].value;
}

std::vector<std::string> TIniDocument::SectionNames() const {
    std::vector<std::string> names;
    for (size_t i = 0; i < sections_.size(); ++i) {
        const std::string& name = lines_[sections_[i].header].name;
        if (firstSection_.at(UpperCase(name)) == i)
            names.push_back(name);
    }
    return names;
}

std::vector<std::pair<std::string, std::string>> TIniDocument::Entries(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> entries;
    const TSection* found = findSection(section);
    if (found == nullptr)
        return entries;
    for (size_t i = found->header + 1; i < found->end; ++i) {
        const TLine& line = lines_[i];
        if (line.kind == TKind::Entry && found->keys.at(UpperCase(line.name)) == i)
            entries.emplace_back(line.name, line.value);
    }
    return entries;
}

std::string_view TIniDocument::Trim(std::string_view s) { return trim(s); }

bool TIniDocument::IsStorableKey(std::string_view key) {
    return !key.empty() && trim(key) == key && !hasLineBreak(key) && key.find('=') == std::string_view::npos &&
           key.front() != ';' && key.front() != '[' && !key.starts_with(kByteOrderMark);
}

bool TIniDocument::IsStorableSection(std::string_view section) {
    return trim(section) == section && !hasLineBreak(section);
}

bool TIniDocument::IsStorableValue(std::string_view value) { return !hasLineBreak(value); }

void TIniDocument::appendHeader(std::string_view section) {
    if (!lines_.empty()) {
        endsWithBreak_ = true; // the old last line now needs its break
        // A blank line keeps sections apart.
        if (!trim(lines_.back().raw).empty())
            lines_.push_back(TLine{});
    }
    lines_.push_back(parseLine(headerLine(section), false));
}

bool TIniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    section = trim(section);
    key = trim(key);
    const TSection* found = findSection(section);
    TLine entry = parseLine(entryLine(key, value), false);
    if (found == nullptr) {
        appendHeader(section);
        lines_.push_back(std::move(entry));
        reindex();
        return true;
    }
    auto it = found->keys.find(UpperCase(key));
    if (it != found->keys.end()) {
        TLine& line = lines_[it->second];
        if (line.value == value)
            return false;
        // The key keeps its spelling in the file.
        line = parseLine(entryLine(line.name, value), false);
        return true;
    }
    // A new key goes after the section's last entry, ahead of blank lines
    // and comments that separate it from the next section.
    size_t at = found->header + 1;
    for (size_t i = found->header + 1; i < found->end; ++i)
        if (lines_[i].kind == TKind::Entry)
            at = i + 1;
    if (at == lines_.size() && !endsWithBreak_)
        endsWithBreak_ = true;
    lines_.insert(lines_.begin() + static_cast<long>(at), std::move(entry));
    reindex();
    return true;
}

bool TIniDocument::DeleteKey(std::string_view section, std::string_view key) {
    const TSection* found = findSection(section);
    if (found == nullptr)
        return false;
    key = trim(key);
    bool changed = false;
    for (size_t i = found->end; i-- > found->header + 1;) {
        if (lines_[i].kind == TKind::Entry && SameText(lines_[i].name, key)) {
            lines_.erase(lines_.begin() + static_cast<long>(i));
            changed = true;
        }
    }
    if (changed)
        reindex();
    return changed;
}

bool TIniDocument::EraseSections(const std::function<bool(std::string_view name)>& match) {
    bool changed = false;
    for (size_t s = sections_.size(); s-- > 0;) {
        const TSection& section = sections_[s];
        if (match(lines_[section.header].name)) {
            lines_.erase(lines_.begin() + static_cast<long>(section.header),
                         lines_.begin() + static_cast<long>(section.end));
            changed = true;
        }
    }
    if (changed)
        reindex();
    return changed;
}

bool TIniDocument::EraseSection(std::string_view section) {
    section = trim(section);
    return EraseSections([&](std::string_view name) { return SameText(name, section); });
}

bool TIniDocument::AddSection(std::string_view section) {
    section = trim(section);
    if (findSection(section) != nullptr)
        return false;
    appendHeader(section);
    reindex();
    return true;
}

// ---- Files ----

namespace {

struct TFileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    static TFileIdentity Of(const struct stat& info) {
        return TFileIdentity{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
    }
    bool operator==(const TFileIdentity& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

struct TCacheEntry {
    TFileIdentity identity;
    std::shared_ptr<const TIniDocument> document;
};

// The program opens its settings afresh for every read, so parsed files are
// kept for as long as they do not change on disk.
class TDocumentCache {
public:
    std::shared_ptr<const TIniDocument> Find(const std::string& fileName, const TFileIdentity& identity) {
        std::lock_guard lock(mutex_);
        auto it = entries_.find(fileName);
        if (it != entries_.end() && it->second.identity == identity)
            return it->second.document;
        return nullptr;
    }
    void Store(const std::string& fileName, const TFileIdentity& identity,
               std::shared_ptr<const TIniDocument> document) {
        std::lock_guard lock(mutex_);
        if (entries_.size() >= kMaxFiles && entries_.find(fileName) == entries_.end())
            entries_.clear();
        entries_[fileName] = TCacheEntry{identity, std::move(document)};
    }
    void Forget(const std::string& fileName) {
        std::lock_guard lock(mutex_);
        entries_.erase(fileName);
    }

private:
    static constexpr size_t kMaxFiles = 32;
    std::mutex mutex_;
    std::unordered_map<std::string, TCacheEntry> entries_;
};

TDocumentCache& documentCache() {
    static TDocumentCache cache;
    return cache;
}

// File times have a coarse granularity (a few milliseconds), so a file
// rewritten in place within one tick keeps its size and times.  A file
// modified within the last two seconds is therefore never taken from the
// cache: only files that have been quiet for a while are, and any later
// write gives them a new modification time.
bool isRecent(const struct stat& info) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    constexpr time_t kQuietSeconds = 2;
    const timespec& modified = info.st_mtim;
    return modified.tv_sec > now.tv_sec - kQuietSeconds ||
           (modified.tv_sec == now.tv_sec - kQuietSeconds && modified.tv_nsec >= now.tv_nsec);
}

} // namespace

std::shared_ptr<const TIniDocument> TIniDocument::Load(const std::string& fileName) {
    static const auto empty = std::make_shared<const TIniDocument>();
    int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return empty;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return empty;
    }
    const TFileIdentity identity = TFileIdentity::Of(info);
    if (auto cached = documentCache().Find(fileName, identity)) {
        ::close(fd);
        return cached;
    }
    std::string text;
    text.reserve(static_cast<size_t>(info.st_size));
    bool ok = ReadWholeFd(fd, text);
    ::close(fd);
    if (!ok)
        return empty;
    auto document = std::make_shared<const TIniDocument>(text);
    // Stored under the identity seen before reading: a file that changed
    // meanwhile looks different next time and is read again.
    if (!isRecent(info))
        documentCache().Store(fileName, identity, document);
    return document;
}

void TIniDocument::Save(const std::string& fileName, bool createFolders) const {
    documentCache().Forget(fileName);
    WriteFileReplacing(fileName, Text(), createFolders);
    // The file was just written, so its times are recent: it is read again
    // until they are old enough to tell a later change apart.
}
