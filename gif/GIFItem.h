#pragma once
// The common bases of the GIF block objects: an item that belongs to one
// image and reads and writes itself, and an owning list of items.

#include "platform/base/Component.h"
#include "platform/base/Stream.h"

#include <cstdint>
#include <string>
#include <vector>

class TGIFImage;

// The bytes that start the blocks of a GIF stream after its header.
inline constexpr uint8_t bsExtensionIntroducer = '!';
inline constexpr uint8_t bsImageSeparator = ',';
inline constexpr uint8_t bsTrailer = ';';

// Severity passed with every warning.  The reader uses only this one: a
// warning is a problem it has survived.
inline constexpr int GIFWarningSeverity = 1;

class TGIFItem : public TPersistent {
public:
    explicit TGIFItem(TGIFImage* image) : image_(image) {}
    TGIFItem(const TGIFItem&) = delete;
    TGIFItem& operator=(const TGIFItem&) = delete;

    TGIFImage* Image() const { return image_; }

    // 1 for an item that "87a" can hold, 2 for one that needs "89a".
    virtual int Version() const { return 1; }
    // Passes the warning to the owning image, which hands it to its
    // OnWarning handler.
    virtual void Warning(TPersistent* sender, int severity, const std::string& message);

    virtual void SaveToStream(TStream& stream) = 0;
    virtual void LoadFromStream(TStream& stream) = 0;
    // The file is replaced only once the whole stream has been made.
    void SaveToFile(const std::string& fileName);
    void LoadFromFile(const std::string& fileName);

    std::string ClassName() const override { return "TGIFItem"; }

private:
    TGIFImage* image_;
};

// A list that owns its items: deleting an entry or the list frees them.
// Items that know their list take themselves out of it when they are freed
// directly, so either way round an item is freed exactly once.
class TGIFList : public TPersistent {
public:
    explicit TGIFList(TGIFImage* image) : image_(image) {}
    ~TGIFList() override;
    TGIFList(const TGIFList&) = delete;
    TGIFList& operator=(const TGIFList&) = delete;

    TGIFImage* Image() const { return image_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EListError for an index outside 0..Count-1.
    TGIFItem* Items(int index) const;
    int IndexOf(const TGIFItem* item) const;
    // Takes ownership; returns the new index.
    int Add(TGIFItem* item);
    // Inserts at index (0..Count), taking ownership.
    void Insert(int index, TGIFItem* item);
    // Frees the item at index.
    void Delete(int index);
    // Takes the item out without freeing it; nothing when it is not listed.
    void Remove(const TGIFItem* item);
    // Frees every item, first to last.
    void Clear();

    virtual void Warning(int severity, const std::string& message);
    virtual void SaveToStream(TStream& stream);
    virtual void LoadFromStream(TStream& stream, TPersistent* parent) = 0;

    std::string ClassName() const override { return "TGIFList"; }

private:
    TGIFImage* image_;
    std::vector<TGIFItem*> items_;
};
