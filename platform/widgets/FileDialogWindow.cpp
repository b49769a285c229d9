#include "platform/widgets/FileDialogWindow.h"

#include "platform/base/FileNameText.h"
#include "platform/base/QtBridge.h"

#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

enum TColumn { cName, cSize, cType, cModified, cColumns };
constexpr int kNameRole = Qt::UserRole;
constexpr int kFolderRole = Qt::UserRole + 1;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool matches(std::string_view name, std::string_view mask) {
    // Backtracking over the last "*" seen is enough for masks of one star
    // kind: linear in practice, never exponential.
    size_t n = 0, m = 0, starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || lowerAscii(mask[m]) == lowerAscii(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

// The masks of "*.a; *.b" ("*.*" is every name, with a dot or without).
std::vector<std::string> splitMasks(const std::string& all) {
    std::vector<std::string> list;
    size_t from = 0;
    while (from <= all.size()) {
        size_t semi = std::min(all.find(';', from), all.size());
        std::string mask = all.substr(from, semi - from);
        mask.erase(0, mask.find_first_not_of(' '));
        mask.erase(mask.find_last_not_of(' ') + 1);
        if (!mask.empty())
            list.push_back(mask == "*.*" ? "*" : mask);
        from = semi + 1;
    }
    return list;
}

// The pairs of a filter "Text|*.a;*.b|All|*.*": descriptions and masks.
void parseFilter(const std::string& filter, QStringList& texts, std::vector<std::vector<std::string>>& masks) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= filter.size()) {
        size_t bar = std::min(filter.find('|', start), filter.size());
        parts.push_back(filter.substr(start, bar - start));
        start = bar + 1;
    }
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        texts << ProgramTextToQString(parts[i]);
        masks.push_back(splitMasks(parts[i + 1]));
    }
}

std::string parentOf(const std::string& folder) {
    std::filesystem::path path(folder);
    std::string parent = path.parent_path().native();
    return parent.empty() ? folder : parent;
}

// The folder's path without "." and ".." steps or doubled slashes: its
// plain spelling where that reaches the same folder, else (a ".." past a
// link leaves the link's target) the real path.
std::string plainFolder(const std::string& folder) {
    std::string plain = std::filesystem::path(folder).lexically_normal().native();
    while (plain.size() > 1 && plain.back() == '/')
        plain.pop_back();
    if (plain.empty())
        plain.push_back('.');
    std::error_code error;
    if (plain == folder || !std::filesystem::exists(folder, error) || std::filesystem::equivalent(folder, plain, error))
        return plain;
    const std::filesystem::path real = std::filesystem::canonical(folder, error);
    return error ? plain : real.native();
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// 0 when the path names something, else why not: ENOENT and ENOTDIR say
// it is missing, EACCES that a folder on the way can not be searched.
int statError(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? 0 : errno;
}

bool missing(int error) { return error == ENOENT || error == ENOTDIR; }

QString reasonText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString shownName(const std::string& bytes) { return ProgramTextToQString(DisplayTextOfName(bytes)); }

bool isFolderItem(const QTreeWidgetItem* item) { return item->data(cName, kFolderRole).toBool(); }

// Return in the list or the folder box acts there and goes no further:
// the dialog would take it too, as a press of its Open button, and open
// the name in the name box from the folder just entered.
class TReturnKeys : public QObject {
public:
    TReturnKeys(QObject* parent, std::function<void(QObject*)> handler)
        : QObject(parent), handler_(std::move(handler)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        handler_(watched);
        return true;
    }

private:
    std::function<void(QObject*)> handler_;
};

} // namespace

bool NameMatchesMasks(std::string_view name, const std::vector<std::string>& masks) {
    return std::any_of(masks.begin(), masks.end(), [&](const std::string& mask) { return matches(name, mask); });
}

TFileDialogWindow::TFileDialogWindow(QWidget* parent, const TFileDialogRequest& request, TKind kind)
    : QDialog(parent), request_(request), kind_(kind) {
    setWindowTitle(!request.Title.empty() ? ProgramTextToQString(request.Title)
                   : kind == fdOpen       ? QStringLiteral("Open")
                   : kind == fdSave       ? QStringLiteral("Save As")
                                          : QStringLiteral("Browse for Folder"));
    setSizeGripEnabled(true);
    grid_ = new QGridLayout(this);
    lookIn_ = new QLineEdit(this);
    lookIn_->setObjectName("lookIn");
    auto* up = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogToParent), QString(), this);
    up->setObjectName("up");
    up->setToolTip("Up One Level");
    list_ = new QTreeWidget(this);
    list_->setObjectName("treeView");
    list_->setRootIsDecorated(false);
    list_->setColumnCount(cColumns);
    list_->setHeaderLabels({"Name", "Size", "Type", "Date Modified"});
    list_->setSelectionMode(request.MultiSelect && kind == fdOpen ? QAbstractItemView::ExtendedSelection
                                                                   : QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    name_ = new QLineEdit(this);
    name_->setObjectName("fileNameEdit");
    types_ = new QComboBox(this);
    types_->setObjectName("fileTypeCombo");
    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    buttons->addButton(kind == fdOpen ? "&Open" : kind == fdSave ? "&Save" : "OK", QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);

    auto label = [this](const char* text, QWidget* buddy) {
        auto* made = new QLabel(text, this);
        made->setBuddy(buddy);
        return made;
    };
    grid_->addWidget(label("Look &in:", lookIn_), 0, 0);
    grid_->addWidget(lookIn_, 0, 1);
    grid_->addWidget(up, 0, 2, Qt::AlignLeft);
    grid_->addWidget(list_, 1, 0, 1, 3);
    grid_->addWidget(label(kind == fdFolder ? "&Folder:" : "File &name:", name_), 2, 0);
    grid_->addWidget(name_, 2, 1);
    QLabel* typesLabel = label("Files of &type:", types_);
    grid_->addWidget(typesLabel, 3, 0);
    grid_->addWidget(types_, 3, 1);
    // Choosing a folder lists folders alone: there is no type to pick.
    typesLabel->setVisible(kind != fdFolder);
    types_->setVisible(kind != fdFolder);
    grid_->addWidget(buttons, 2, 2, 2, 1);

    QStringList texts;
    parseFilter(request.Filter, texts, masks_);
    if (texts.isEmpty()) {
        texts << "All Files";
        masks_.push_back({"*"});
    }
    types_->addItems(texts);
    if (request.FilterIndex >= 1 && request.FilterIndex <= types_->count())
        types_->setCurrentIndex(request.FilterIndex - 1);

    std::string folder = request.InitialDir;
    std::string name = request.FileName;
    if (name.find('/') != std::string::npos) {
        std::string in = parentOf(name);
        if (isFolder(in)) {
            if (folder.empty() || name.front() == '/')
                folder = in;
            name = std::filesystem::path(name).filename().native();
        }
    }
    if (folder.empty() || !isFolder(folder)) {
        std::error_code error;
        folder = std::filesystem::current_path(error).native();
    }
    name_->setText(shownName(name));

    connect(buttons, &QDialogButtonBox::accepted, this, &TFileDialogWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(up, &QPushButton::clicked, this, [this] { SetFolder(parentOf(folder_)); });
    auto* keys = new TReturnKeys(this, [this](QObject* watched) {
        if (watched == lookIn_) {
            std::string typed = NameOfDisplayText(QStringToProgramText(lookIn_->text()));
            if (isFolder(typed))
                SetFolder(typed);
            else
                lookIn_->setText(shownName(folder_));
        } else if (QTreeWidgetItem* item = list_->currentItem(); item != nullptr && isFolderItem(item)) {
            activated(item);
        } else {
            // On a file, Return is the Open button: every file selected
            // (their names fill the name box), not only the one under the
            // cursor.
            accept();
        }
    });
    lookIn_->installEventFilter(keys);
    list_->installEventFilter(keys);
    // Another type picked, or the one shown picked again, ends a typed
    // filter.
    connect(types_, &QComboBox::currentIndexChanged, this, [this] {
        typedMasks_.clear();
        fill();
    });
    connect(types_, &QComboBox::activated, this, [this] {
        if (!typedMasks_.empty()) {
            typedMasks_.clear();
            fill();
        }
    });
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { picked(); });
    connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { activated(item); });

    SetFolder(folder);
    name_->setFocus();
    name_->selectAll();
    if (!name.empty()) {
        const QString shown = shownName(name);
        for (int i = 0; i < list_->topLevelItemCount(); ++i)
            if (list_->topLevelItem(i)->text(cName) == shown) {
                list_->setCurrentItem(list_->topLevelItem(i));
                break;
            }
    }
    // Wide enough at first for the columns of the folder shown; later
    // folders keep the width the user has, scrolling if they need more.
    const int frame = list_->frameWidth() * 2 + list_->verticalScrollBar()->sizeHint().width();
    list_->setMinimumWidth(std::min(columnsWidth_ + frame, 900));
    resize(sizeHint().expandedTo(QSize(640, 420)));
    list_->setMinimumWidth(0);
}

TFileDialogWindow::~TFileDialogWindow() = default;

int TFileDialogWindow::ChosenFilter() const { return types_->currentIndex() + 1; }

void TFileDialogWindow::SetFolder(const std::string& folder) {
    folder_ = plainFolder(folder);
    lookIn_->setText(shownName(folder_));
    // A folder picked in the folder left is no folder of this one.
    if (kind_ == fdFolder)
        name_->clear();
    fill();
}

void TFileDialogWindow::AddBesideList(QWidget* widget) {
    const QSize plain = sizeHint().expandedTo(size());
    grid_->addWidget(widget, 0, grid_->columnCount(), grid_->rowCount(), 1);
    resize(plain.width() + widget->sizeHint().width() + grid_->spacing(), plain.height());
}

void TFileDialogWindow::fill() {
    struct TEntry {
        std::string Name;
        bool Folder = false;
        struct stat Info {};
    };
    std::vector<TEntry> entries;
    const std::vector<std::string>& masks =
        !typedMasks_.empty() ? typedMasks_ : masks_[static_cast<size_t>(std::max(0, types_->currentIndex()))];
    // A folder that can not be read says so in the list (a file in it may
    // still be opened by its name).
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
        TEntry entry;
        entry.Name = it->path().filename().native();
        // Hidden files stay hidden, as in the desktop's dialogs.
        if (entry.Name.empty() || entry.Name.front() == '.')
            continue;
        const std::string path = it->path().native();
        if (::stat(path.c_str(), &entry.Info) != 0 && ::lstat(path.c_str(), &entry.Info) != 0)
            continue;
        entry.Folder = S_ISDIR(entry.Info.st_mode);
        if (!entry.Folder && (kind_ == fdFolder || !NameMatchesMasks(entry.Name, masks)))
            continue;
        entries.push_back(std::move(entry));
    }
    // Folders first, then by name as it reads.
    std::sort(entries.begin(), entries.end(), [](const TEntry& a, const TEntry& b) {
        if (a.Folder != b.Folder)
            return a.Folder;
        return shownName(a.Name).compare(shownName(b.Name), Qt::CaseInsensitive) < 0;
    });

    list_->clear();
    const QLocale locale;
    QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    QIcon fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
    for (const TEntry& entry : entries) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(cName, shownName(entry.Name));
        item->setIcon(cName, entry.Folder ? folderIcon : fileIcon);
        item->setData(cName, kNameRole, QByteArray::fromStdString(entry.Name));
        item->setData(cName, kFolderRole, entry.Folder);
        if (!entry.Folder) {
            item->setText(cSize, locale.formattedDataSize(entry.Info.st_size));
            item->setTextAlignment(cSize, Qt::AlignRight | Qt::AlignVCenter);
        }
        const size_t dot = entry.Name.rfind('.');
        item->setText(cType, entry.Folder                ? QStringLiteral("Folder")
                             : dot == std::string::npos ? QStringLiteral("File")
                                                         : shownName(entry.Name.substr(dot + 1)).toUpper() + " File");
        item->setText(cModified, locale.toString(QDateTime::fromSecsSinceEpoch(entry.Info.st_mtime),
                                                 QLocale::ShortFormat));
    }
    // Every column as wide as what it shows, measured afresh: the width a
    // column has now (the last one stretched to the list's edge) is no
    // measure of its text.
    columnsWidth_ = 0;
    const QAbstractItemView& view = *list_; // where the measure is public
    for (int column = 0; column < cColumns; ++column) {
        const int width = std::max(view.sizeHintForColumn(column), list_->header()->sectionSizeHint(column)) + 8;
        list_->setColumnWidth(column, width);
        columnsWidth_ += width;
    }
    if (error) {
        auto* reason = new QTreeWidgetItem(list_);
        reason->setText(cName, "Cannot read the folder " + shownName(folder_) + ": " + reasonText(error.value()));
        reason->setFlags(Qt::NoItemFlags);
        reason->setFirstColumnSpanned(true);
    }
    if (OnCurrentChanged)
        OnCurrentChanged({});
}

void TFileDialogWindow::picked() {
    // The names of the kind chosen: files, or folders when choosing one.
    std::vector<std::string> files;
    for (QTreeWidgetItem* item : list_->selectedItems())
        if (isFolderItem(item) == (kind_ == fdFolder))
            files.push_back(item->data(cName, kNameRole).toByteArray().toStdString());
    if (files.size() == 1) {
        name_->setText(shownName(files.front()));
    } else if (files.size() > 1) {
        QString quoted;
        for (const std::string& file : files)
            quoted += (quoted.isEmpty() ? "\"" : " \"") + shownName(file) + "\"";
        name_->setText(quoted);
    }
    QTreeWidgetItem* current = list_->currentItem();
    if (OnCurrentChanged)
        OnCurrentChanged(current != nullptr && current->isSelected()
                             ? pathOf(current->data(cName, kNameRole).toByteArray().toStdString())
                             : std::string());
}

void TFileDialogWindow::activated(QTreeWidgetItem* item) {
    const std::string name = item->data(cName, kNameRole).toByteArray().toStdString();
    if (isFolderItem(item)) {
        SetFolder(pathOf(name));
        return;
    }
    name_->setText(shownName(name));
    accept();
}

std::vector<std::string> TFileDialogWindow::typedNames() const {
    const std::string typed = QStringToProgramText(name_->text().trimmed());
    std::vector<std::string> names;
    if (!typed.empty() && typed.front() == '"' && kind_ == fdOpen && request_.MultiSelect) {
        size_t at = 0;
        while ((at = typed.find('"', at)) != std::string::npos) {
            size_t close = typed.find('"', at + 1);
            if (close == std::string::npos)
                break;
            names.push_back(NameOfDisplayText(typed.substr(at + 1, close - at - 1)));
            at = close + 1;
        }
    } else if (!typed.empty()) {
        names.push_back(NameOfDisplayText(typed));
    }
    return names;
}

std::string TFileDialogWindow::pathOf(const std::string& name) const {
    if (!name.empty() && name.front() == '/')
        return name;
    return folder_ == "/" ? "/" + name : folder_ + "/" + name;
}

bool TFileDialogWindow::confirmOverwrite(const std::string& path) {
    return QMessageBox::question(this, windowTitle(),
                                 shownName(path) + " already exists.\nDo you want to replace it?",
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void TFileDialogWindow::warn(const std::string& path, const QString& why) {
    QMessageBox::warning(this, windowTitle(), shownName(path) + "\n" + why);
}

bool TFileDialogWindow::filterByTyped(const std::string& name) {
    const size_t slash = name.rfind('/');
    const std::string masks = slash == std::string::npos ? name : name.substr(slash + 1);
    if (masks.find_first_of("*?") == std::string::npos || statError(pathOf(name)) == 0)
        return false;
    const std::string folder =
        slash == std::string::npos ? folder_ : pathOf(slash == 0 ? std::string("/") : name.substr(0, slash));
    if (!isFolder(folder))
        return false;
    typedMasks_ = splitMasks(masks);
    name_->setText(shownName(masks));
    name_->selectAll();
    if (folder != folder_)
        SetFolder(folder);
    else
        fill();
    return true;
}

void TFileDialogWindow::chooseFolder(const std::vector<std::string>& names) {
    std::string chosen = names.empty() ? folder_ : pathOf(names.front());
    if (!isFolder(chosen)) {
        const int error = statError(chosen);
        warn(chosen, reasonText(error != 0 ? error : ENOTDIR) + ".");
        return;
    }
    chosen_ = {chosen};
    QDialog::accept();
}

void TFileDialogWindow::accept() {
    std::vector<std::string> names = typedNames();
    if (kind_ == fdFolder) {
        chooseFolder(names);
        return;
    }
    if (names.empty())
        return;
    if (names.size() == 1 && filterByTyped(names.front()))
        return;
    // A folder typed or picked is opened instead.
    if (names.size() == 1 && isFolder(pathOf(names.front()))) {
        SetFolder(pathOf(names.front()));
        name_->clear();
        return;
    }
    std::vector<std::string> paths;
    for (const std::string& name : names) {
        std::string path = pathOf(name);
        if (kind_ == fdSave && !request_.DefaultExt.empty() &&
            std::filesystem::path(path).filename().native().find('.') == std::string::npos)
            path += "." + request_.DefaultExt;
        paths.push_back(path);
    }
    for (const std::string& path : paths) {
        const int error = statError(path);
        if (kind_ == fdOpen && request_.FileMustExist && missing(error)) {
            warn(path, "File not found.\nPlease verify the correct file name was given.");
            return;
        }
        // A folder on the way that can not be searched: the file can be
        // neither read nor written, and whether it is there is unknown.
        if (error != 0 && !missing(error)) {
            warn(path, reasonText(error) + ".");
            return;
        }
        if (kind_ == fdSave && request_.OverwritePrompt && error == 0 && !confirmOverwrite(path))
            return;
    }
    chosen_ = paths;
    QDialog::accept();
}
