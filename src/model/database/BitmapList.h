#pragma once
// TBitmapList: an ordered list of owned pictures (an entry may be empty) that
// tells its owner when it changes. TGameListImage: nine such lists; the first
// one is the tile image cache of the editor.
#include "model/core/Persistent.h"
#include "model/core/Picture.h"

#include <QByteArray>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;

namespace quillmark {

class TBitmapList : public TPersistent {
public:
    TBitmapList() = default;
    ~TBitmapList() override;
    TBitmapList(const TBitmapList&) = delete;
    TBitmapList& operator=(const TBitmapList&) = delete;

    const char* ClassName() const override { return "TBitmapList"; }

    // Fires OnChange unless updates are suspended (BeginUpdate).
    virtual void Changed();
    // Copies the picture into entry `index`; `index` == Count() appends.
    // Fires Changed once. Beyond Count(): "List index out of bounds (%d)".
    virtual void Put(int index, const Picture* picture);
    // The picture of an entry, or nullptr for an empty entry.
    virtual Picture* Get(int index) const;
    virtual void Delete(int index);
    virtual void Clear();
    virtual void Exchange(int index1, int index2);
    // Appends a copy of the picture (nothing gives an empty picture); its index.
    virtual int AddCopy(const Picture* picture);
    // nothing: Clear(); a TBitmapList: copies of its entries; a picture: one
    // copy of it; anything else: "Cannot assign a %s to a %s".
    virtual void Assign(const TPersistent* source);
    // Whether the stored property "Bitmaps" is written: the list has entries
    // and differs from the ancestor (count, or any entry not the same picture).
    virtual bool DefineProperties(const TBitmapList* ancestor) const;

    int Count() const { return static_cast<int>(items_.size()); }
    // Appends the picture itself (the list takes ownership; nullptr makes an
    // empty entry) and fires Changed; returns the new index.
    int Add(std::unique_ptr<Picture> bitmap);
    void BeginUpdate() { ++updateCount_; }
    // Back at 0, fires Changed. An EndUpdate without a BeginUpdate is ignored.
    void EndUpdate();
    int updateCount() const { return updateCount_; }

    // The stored form of "Bitmaps": a 32-bit little-endian count, then per
    // entry a 32-bit little-endian size and that many bytes of a BMP file
    // (size 0 for an empty entry). Reading replaces the whole list; a damaged
    // stream fails with "Stream read error" and leaves the list empty.
    void WriteBitmaps(QIODevice& stream) const;
    QByteArray WriteBitmaps() const;
    void ReadBitmaps(QIODevice& stream);
    void ReadBitmaps(const QByteArray& data);

    std::function<void(TBitmapList&)> OnChange;

private:
    void checkIndex(int index) const;
    void adopt(Picture* bitmap);

    std::vector<std::unique_ptr<Picture>> items_;
    int updateCount_ = 0;
};

// Suspends a list's notifications for a scope (one Changed at the end).
class BitmapListUpdate {
public:
    explicit BitmapListUpdate(TBitmapList& list) : list_(list) { list_.BeginUpdate(); }
    ~BitmapListUpdate() { list_.EndUpdate(); }
    BitmapListUpdate(const BitmapListUpdate&) = delete;
    BitmapListUpdate& operator=(const BitmapListUpdate&) = delete;

private:
    TBitmapList& list_;
};

class TGameListImage : public TPersistent {
public:
    static constexpr int kSlots = 9;

    TGameListImage() = default;
    const char* ClassName() const override { return "TGameListImage"; }

    TBitmapList& Slot1() { return slots_[0]; }
    TBitmapList& Slot2() { return slots_[1]; }
    TBitmapList& Slot3() { return slots_[2]; }
    TBitmapList& Slot4() { return slots_[3]; }
    TBitmapList& Slot5() { return slots_[4]; }
    TBitmapList& Slot6() { return slots_[5]; }
    TBitmapList& Slot7() { return slots_[6]; }
    TBitmapList& Slot8() { return slots_[7]; }
    TBitmapList& Slot9() { return slots_[8]; }
    const TBitmapList& Slot1() const { return slots_[0]; }

    // Slot n (1 … 9); "List index out of bounds (%d)" for any other n.
    TBitmapList& Slot(int n);
    // Setting a slot copies the given list into the slot's own list.
    void SetSlot(int n, const TBitmapList* list);

    // The picture at `index` of slot 1 … 9 (nullptr for an empty entry), and
    // nullptr for any other slot number.
    Picture* GetImage(int slot, int index) const;

private:
    std::array<TBitmapList, kSlots> slots_;
};

}  // namespace quillmark
