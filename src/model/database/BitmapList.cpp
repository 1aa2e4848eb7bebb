#include "model/database/BitmapList.h"

#include <algorithm>

#include "model/core/Error.h"

#include <QBuffer>
#include <QtEndian>

namespace quillmark {

namespace {

[[noreturn]] void outOfBounds(int index) {
    throw Error(formatMessage("List index out of bounds (%d)", {std::to_string(index)}));
}

[[noreturn]] void readError() { throw Error("Stream read error"); }

quint32 readU32(QIODevice& stream) {
    uchar bytes[4];
    if (stream.read(reinterpret_cast<char*>(bytes), 4) != 4) readError();
    return qFromLittleEndian<quint32>(bytes);
}

void writeU32(QIODevice& stream, quint32 value) {
    uchar bytes[4];
    qToLittleEndian(value, bytes);
    stream.write(reinterpret_cast<const char*>(bytes), 4);
}

}  // namespace

TBitmapList::~TBitmapList() {
    for (auto& item : items_)
        if (item) item->onChange = nullptr;
}

void TBitmapList::checkIndex(int index) const {
    if (index < 0 || index >= Count()) outOfBounds(index);
}

void TBitmapList::adopt(Picture* bitmap) {
    if (bitmap) bitmap->onChange = [this] { Changed(); };
}

void TBitmapList::Changed() {
    if (updateCount_ == 0 && OnChange) OnChange(*this);
}

void TBitmapList::EndUpdate() {
    if (updateCount_ == 0) return;
    if (--updateCount_ == 0) Changed();
}

void TBitmapList::Put(int index, const Picture* picture) {
    if (index < 0 || index > Count()) outOfBounds(index);
    BitmapListUpdate update(*this);
    if (index == Count()) AddCopy(nullptr);
    auto& slot = items_[static_cast<size_t>(index)];
    if (!slot) {
        slot = std::make_unique<Picture>();
        adopt(slot.get());
    }
    slot->Assign(picture);
}

Picture* TBitmapList::Get(int index) const {
    checkIndex(index);
    return items_[static_cast<size_t>(index)].get();
}

void TBitmapList::Delete(int index) {
    checkIndex(index);
    items_.erase(items_.begin() + index);
    Changed();
}

void TBitmapList::Clear() {
    BitmapListUpdate update(*this);
    for (int i = Count() - 1; i >= 0; --i) Delete(i);
}

void TBitmapList::Exchange(int index1, int index2) {
    checkIndex(index1);
    checkIndex(index2);
    std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
    Changed();
}

int TBitmapList::Add(std::unique_ptr<Picture> bitmap) {
    adopt(bitmap.get());
    items_.push_back(std::move(bitmap));
    Changed();
    return Count() - 1;
}

int TBitmapList::AddCopy(const Picture* picture) {
    auto bitmap = std::make_unique<Picture>();
    bitmap->Assign(picture);
    return Add(std::move(bitmap));
}

void TBitmapList::Assign(const TPersistent* source) {
    if (!source) {
        Clear();
        return;
    }
    if (source == this) return;
    if (auto list = dynamic_cast<const TBitmapList*>(source)) {
        BitmapListUpdate update(*this);
        Clear();
        for (const auto& item : list->items_) AddCopy(item.get());
        return;
    }
    if (auto picture = dynamic_cast<const Picture*>(source)) {
        BitmapListUpdate update(*this);
        Clear();
        AddCopy(picture);
        return;
    }
    throw Error(formatMessage("Cannot assign a %s to a %s", {source->ClassName(), ClassName()}));
}

bool TBitmapList::DefineProperties(const TBitmapList* ancestor) const {
    if (items_.empty()) return false;
    if (!ancestor) return true;
    if (ancestor->Count() != Count()) return true;
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() != ancestor->items_[i].get()) return true;
    return false;
}

void TBitmapList::WriteBitmaps(QIODevice& stream) const {
    writeU32(stream, static_cast<quint32>(items_.size()));
    for (const auto& item : items_) {
        if (!item || item->isEmpty()) {
            writeU32(stream, 0);
            continue;
        }
        const QByteArray bmp = Picture::encode(item->image(), "bmp");
        writeU32(stream, static_cast<quint32>(bmp.size()));
        stream.write(bmp);
    }
}

QByteArray TBitmapList::WriteBitmaps() const {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    WriteBitmaps(buffer);
    return data;
}

void TBitmapList::ReadBitmaps(QIODevice& stream) {
    BitmapListUpdate update(*this);
    Clear();
    try {
        const qint32 count = static_cast<qint32>(readU32(stream));
        // Every entry takes at least its 4-byte size.
        if (!stream.isSequential() && count > 0 && qint64(count) * 4 > stream.bytesAvailable()) readError();
        for (qint32 i = 0; i < count; ++i) {
            const qint32 size = static_cast<qint32>(readU32(stream));
            if (size <= 0) {
                Add(nullptr);
                continue;
            }
            // A damaged size must not ask for memory the stream cannot fill:
            // it is checked against what remains, or read a piece at a time.
            if (!stream.isSequential() && size > stream.bytesAvailable()) readError();
            QByteArray bytes;
            while (bytes.size() < size) {
                const QByteArray piece = stream.read(std::min<qint64>(size - bytes.size(), 1 << 20));
                if (piece.isEmpty()) readError();
                bytes += piece;
            }
            auto bitmap = std::make_unique<Picture>(Picture::decode(bytes, "bmp"));
            Add(std::move(bitmap));
        }
    } catch (...) {
        Clear();
        throw;
    }
}

void TBitmapList::ReadBitmaps(const QByteArray& data) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    ReadBitmaps(buffer);
}

TBitmapList& TGameListImage::Slot(int n) {
    if (n < 1 || n > kSlots) outOfBounds(n);
    return slots_[static_cast<size_t>(n - 1)];
}

void TGameListImage::SetSlot(int n, const TBitmapList* list) { Slot(n).Assign(list); }

Picture* TGameListImage::GetImage(int slot, int index) const {
    if (slot < 1 || slot > kSlots) return nullptr;
    return slots_[static_cast<size_t>(slot - 1)].Get(index);
}

}  // namespace quillmark
