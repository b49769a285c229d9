#include "platform/shellns/ShellClipboard.h"

#include "platform/gfx/Clipboard.h"
#include "platform/shellns/ItemIdList.h"
#include "platform/shellns/NamespaceItems.h"
#include "platform/shellns/ShellDataFormats.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

constexpr const char* kUriList = "text/uri-list";
constexpr const char* kCopiedFiles = "x-special/gnome-copied-files";
constexpr const char* kPlainText = "text/plain";
constexpr const char* kPlainTextUtf8 = "text/plain;charset=utf-8";

std::string bytesOf(const QByteArray& data) { return std::string(data.constData(), static_cast<size_t>(data.size())); }
QByteArray arrayOf(const std::string& bytes) { return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())); }

std::string joinedLines(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& path : paths) {
        if (!text.empty())
            text += '\n';
        text += path;
    }
    return text;
}

} // namespace

unsigned ShellIdListFormat() {
    static const unsigned format = RegisterClipboardFormat(CFSTR_SHELLIDLIST);
    return format;
}

unsigned PreferredDropEffectFormat() {
    static const unsigned format = RegisterClipboardFormat(CFSTR_PREFERREDDROPEFFECT);
    return format;
}

TMimeBlocks MimeBlocksOfDataObject(TDataObject& data) {
    TMimeBlocks blocks;
    std::string block;
    if (GetDataBlock(data, ShellIdListFormat(), block))
        blocks.emplace_back(ClipboardFormatMimeType(ShellIdListFormat()), std::move(block));
    if (GetDataBlock(data, PreferredDropEffectFormat(), block))
        blocks.emplace_back(ClipboardFormatMimeType(PreferredDropEffectFormat()), std::move(block));
    std::vector<std::string> paths;
    bool hasFiles = FilePathsOfDataObject(data, paths);
    if (hasFiles) {
        bool cut = (PreferredDropEffectOf(data) & DROPEFFECT_MOVE) != 0;
        blocks.emplace_back(kUriList, UriListOfPaths(paths));
        blocks.emplace_back(kCopiedFiles, CopiedFilesOfPaths(paths, cut));
    }
    if (GetDataBlock(data, CF_TEXT, block))
        blocks.emplace_back(kPlainText, TextOfBlock(block));
    else if (hasFiles)
        blocks.emplace_back(kPlainText, joinedLines(paths));
    return blocks;
}

std::shared_ptr<TMemoryDataObject> DataObjectOfMimeBlocks(const TMimeBlocks& blocks) {
    auto data = std::make_shared<TMemoryDataObject>();
    auto find = [&](std::string_view mime) -> const std::string* {
        for (const auto& [type, bytes] : blocks)
            if (type == mime)
                return &bytes;
        return nullptr;
    };
    if (const std::string* array = find(ClipboardFormatMimeType(ShellIdListFormat())))
        data->SetBlock(ShellIdListFormat(), *array);
    if (const std::string* effect = find(ClipboardFormatMimeType(PreferredDropEffectFormat())))
        data->SetBlock(PreferredDropEffectFormat(), *effect);
    std::vector<std::string> paths;
    bool cut = false;
    if (const std::string* copied = find(kCopiedFiles); copied != nullptr && PathsOfCopiedFiles(*copied, paths, cut)) {
        if (!data->HasBlock(PreferredDropEffectFormat()))
            data->SetBlock(PreferredDropEffectFormat(), BuildDropEffectBlock(cut ? DROPEFFECT_MOVE : DROPEFFECT_COPY));
    } else if (const std::string* uris = find(kUriList)) {
        paths = PathsOfUriList(*uris);
    }
    if (!paths.empty())
        data->SetBlock(CF_HDROP, BuildDropFiles(paths));
    const std::string* text = find(kPlainText);
    if (text == nullptr)
        text = find(kPlainTextUtf8);
    if (text != nullptr)
        data->SetBlock(CF_TEXT, BuildTextBlock(*text));
    return data;
}

HRESULT OleSetClipboard(const std::shared_ptr<TDataObject>& data) {
    if (qGuiApp == nullptr)
        return E_FAIL;
    auto mime = std::make_unique<QMimeData>();
    if (data)
        for (const auto& [type, bytes] : MimeBlocksOfDataObject(*data))
            mime->setData(QString::fromStdString(type), arrayOf(bytes));
    QGuiApplication::clipboard()->setMimeData(mime.release(), QClipboard::Clipboard);
    return S_OK;
}

std::shared_ptr<TDataObject> OleGetClipboard() {
    TMimeBlocks blocks;
    if (qGuiApp != nullptr)
        if (const QMimeData* mime = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard))
            for (const QString& type : mime->formats())
                blocks.emplace_back(type.toStdString(), bytesOf(mime->data(type)));
    return DataObjectOfMimeBlocks(blocks);
}

bool FilePathsOfDataObject(TDataObject& data, std::vector<std::string>& paths) {
    paths.clear();
    std::string block;
    TIdListArrayView view;
    if (GetDataBlock(data, ShellIdListFormat(), block) && ParseIdListArray(block, view)) {
        for (PCItemIDList item : view.Items) {
            TIdListPtr absolute(IdListCombine(view.Parent, item));
            TItemPlace place;
            if (absolute && PlaceOfIdList(absolute.get(), place) && place.Kind == TItemPlace::FileSystem)
                paths.push_back(place.Path);
        }
        if (!paths.empty())
            return true;
    }
    if (GetDataBlock(data, CF_HDROP, block) && ParseDropFiles(block, paths))
        std::erase_if(paths, [](const std::string& path) { return !path.starts_with('/'); });
    return !paths.empty();
}

uint32_t PreferredDropEffectOf(TDataObject& data) {
    std::string block;
    uint32_t effect = DROPEFFECT_COPY;
    if (GetDataBlock(data, PreferredDropEffectFormat(), block) && ParseDropEffectBlock(block, effect) &&
        (effect & DROPEFFECT_MOVE) != 0)
        return DROPEFFECT_MOVE;
    return DROPEFFECT_COPY;
}
