#include "model/database/BitmapList.h"
#include "Errors.h"
#include "model/core/Error.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace quillmark;

namespace {

Picture solid(QRgb c, int w = 4, int h = 3) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return Picture(img);
}

QRgb colourOf(const Picture* p) { return p ? p->image().pixel(0, 0) & 0xFFFFFF : 0xDEADu; }

// Counts OnChange notifications.
struct Watch {
    int count = 0;
    explicit Watch(TBitmapList& list) {
        list.OnChange = [this](TBitmapList&) { ++count; };
    }
};

using qmtest::errorOf;

QByteArray le32(qint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    return QByteArray(b, 4);
}

}  // namespace

TEST(BitmapList, PutAppendsAtCountAndFailsBeyondIt) {
    TBitmapList list;
    Watch w(list);
    const Picture red = solid(qRgb(255, 0, 0));
    list.Put(0, &red);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(w.count, 1);  // one notification per Put
    list.Put(1, &red);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(w.count, 2);
    EXPECT_EQ(errorOf([&] { list.Put(3, &red); }), "List index out of bounds (3)");
    EXPECT_EQ(errorOf([&] { list.Put(-1, &red); }), "List index out of bounds (-1)");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(w.count, 2);
    // Put copies: changing the source leaves the entry alone
    Picture blue = solid(qRgb(0, 0, 255));
    list.Put(0, &blue);
    blue.setImage(solid(qRgb(0, 255, 0)).image());
    EXPECT_EQ(colourOf(list.Get(0)), 0x0000FFu);
    EXPECT_NE(list.Get(0), &blue);
    // nothing empties the entry but keeps it
    list.Put(1, nullptr);
    ASSERT_NE(list.Get(1), nullptr);
    EXPECT_TRUE(list.Get(1)->isEmpty());
}

TEST(BitmapList, OwnershipAddDeleteExchangeClear) {
    TBitmapList list;
    Watch w(list);
    auto own = std::make_unique<Picture>(solid(qRgb(1, 1, 1)));
    Picture* raw = own.get();
    EXPECT_EQ(list.Add(std::move(own)), 0);
    EXPECT_EQ(list.Get(0), raw);  // Add takes the picture itself
    const Picture two = solid(qRgb(2, 2, 2));
    EXPECT_EQ(list.AddCopy(&two), 1);
    EXPECT_EQ(list.AddCopy(nullptr), 2);
    EXPECT_TRUE(list.Get(2)->isEmpty());
    EXPECT_EQ(list.Add(nullptr), 3);  // an empty entry
    EXPECT_EQ(list.Get(3), nullptr);
    EXPECT_EQ(w.count, 4);

    list.Exchange(0, 1);
    EXPECT_EQ(colourOf(list.Get(0)), 0x020202u);
    EXPECT_EQ(list.Get(1), raw);
    EXPECT_EQ(w.count, 5);
    EXPECT_EQ(errorOf([&] { list.Exchange(0, 4); }), "List index out of bounds (4)");

    list.Delete(1);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(w.count, 6);
    EXPECT_EQ(errorOf([&] { list.Delete(3); }), "List index out of bounds (3)");
    EXPECT_EQ(errorOf([&] { list.Get(3); }), "List index out of bounds (3)");

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(w.count, 7);  // one notification for the whole clear
}

TEST(BitmapList, UpdatesAreCountedAndEachPictureReportsItsChanges) {
    TBitmapList list;
    Watch w(list);
    const Picture red = solid(qRgb(255, 0, 0));
    list.BeginUpdate();
    list.BeginUpdate();
    list.Put(0, &red);
    list.AddCopy(&red);
    list.EndUpdate();
    EXPECT_EQ(w.count, 0);
    list.EndUpdate();
    EXPECT_EQ(w.count, 1);  // once, when the counter is back at 0
    list.EndUpdate();       // unmatched: ignored, notifications keep working
    EXPECT_EQ(w.count, 1);
    // a picture in the list tells the list when it changes
    list.Get(1)->setTransparent(true);
    EXPECT_EQ(w.count, 2);
    list.Get(1)->setImage(solid(qRgb(9, 9, 9)).image());
    EXPECT_EQ(w.count, 3);
    // a picture that left the list no longer does
    Picture outside(*list.Get(1));
    outside.setTransparent(false);
    EXPECT_EQ(w.count, 3);
}

TEST(BitmapList, AssignCopiesListsAndPicturesAndRefusesOthers) {
    TBitmapList source;
    const Picture a = solid(qRgb(1, 0, 0)), b = solid(qRgb(2, 0, 0));
    source.AddCopy(&a);
    source.Add(nullptr);
    source.AddCopy(&b);

    TBitmapList target;
    Watch w(target);
    target.AddCopy(&b);
    w.count = 0;
    target.Assign(&source);
    EXPECT_EQ(w.count, 1);
    ASSERT_EQ(target.Count(), 3);
    EXPECT_EQ(colourOf(target.Get(0)), 0x010000u);
    EXPECT_NE(target.Get(0), source.Get(0));  // copies, not shared
    ASSERT_NE(target.Get(1), nullptr);        // an empty source entry becomes an empty picture
    EXPECT_TRUE(target.Get(1)->isEmpty());
    EXPECT_EQ(colourOf(target.Get(2)), 0x020000u);

    target.Assign(&a);
    ASSERT_EQ(target.Count(), 1);
    EXPECT_EQ(colourOf(target.Get(0)), 0x010000u);

    target.Assign(&target);  // assigning a list to itself keeps it
    EXPECT_EQ(target.Count(), 1);

    TGameListImage holder;
    EXPECT_EQ(errorOf([&] { target.Assign(&holder); }), "Cannot assign a TGameListImage to a TBitmapList");
    EXPECT_EQ(target.Count(), 1);

    target.Assign(nullptr);
    EXPECT_EQ(target.Count(), 0);
}

TEST(BitmapListStream, WritesCountSizesAndBitmapsAndReadsThemBack) {
    TBitmapList list;
    const Picture a = solid(qRgb(10, 20, 30), 5, 2);
    list.AddCopy(&a);
    list.Add(nullptr);
    list.AddCopy(nullptr);
    const QByteArray data = list.WriteBitmaps();
    ASSERT_GE(data.size(), 16);
    EXPECT_EQ(qFromLittleEndian<qint32>(data.constData()), 3);
    const qint32 size0 = qFromLittleEndian<qint32>(data.constData() + 4);
    EXPECT_EQ(data.mid(8, 2), QByteArray("BM"));
    EXPECT_EQ(qFromLittleEndian<qint32>(data.constData() + 8 + size0), 0);
    EXPECT_EQ(qFromLittleEndian<qint32>(data.constData() + 12 + size0), 0);
    EXPECT_EQ(data.size(), 16 + size0);

    TBitmapList back;
    const Picture old = solid(qRgb(7, 7, 7));
    back.AddCopy(&old);  // reading replaces what was there
    Watch w(back);
    back.ReadBitmaps(data);
    EXPECT_EQ(w.count, 1);
    ASSERT_EQ(back.Count(), 3);
    EXPECT_EQ(back.Get(0)->size(), QSize(5, 2));
    EXPECT_EQ(colourOf(back.Get(0)), 0x0A141Eu);
    EXPECT_EQ(back.Get(1), nullptr);  // size 0: an empty entry, not a missing one
    EXPECT_EQ(back.Get(2), nullptr);
}

TEST(BitmapListStream, CountZeroNegativeSizesAndDamage) {
    TBitmapList list;
    const Picture a = solid(qRgb(1, 2, 3));
    list.AddCopy(&a);
    list.ReadBitmaps(le32(0));
    EXPECT_EQ(list.Count(), 0);

    list.ReadBitmaps(le32(2) + le32(-5) + le32(0));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Get(0), nullptr);

    EXPECT_EQ(errorOf([&] { list.ReadBitmaps(le32(1) + le32(100) + QByteArray("BM")); }), "Stream read error");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(errorOf([&] { list.ReadBitmaps(le32(1) + le32(4) + QByteArray("XXXX")); }), "Bitmap image is not valid");
    EXPECT_EQ(errorOf([&] { list.ReadBitmaps(QByteArray("\x01")); }), "Stream read error");
}

TEST(BitmapListStream, SizesBeyondWhatRemainsAreDamageNotAllocations) {
    TBitmapList list;
    const Picture a = solid(qRgb(1, 2, 3));
    list.AddCopy(&a);
    // eight bytes that claim a 2 GB picture, or two billion entries
    EXPECT_EQ(errorOf([&] { list.ReadBitmaps(le32(1) + le32(0x7FFFFFFF)); }), "Stream read error");
    EXPECT_EQ(list.Count(), 0);
    list.AddCopy(&a);
    EXPECT_EQ(errorOf([&] { list.ReadBitmaps(le32(0x7FFFFFFF) + le32(0)); }), "Stream read error");
    EXPECT_EQ(list.Count(), 0);
    // a picture followed by a size one byte larger than the rest
    TBitmapList one;
    one.AddCopy(&a);
    const QByteArray whole = one.WriteBitmaps();
    QByteArray longer = le32(2) + whole.mid(4) + le32(3) + QByteArray("BM");
    EXPECT_EQ(errorOf([&] { list.ReadBitmaps(longer); }), "Stream read error");
    // the exact sizes still read
    list.ReadBitmaps(le32(2) + whole.mid(4) + whole.mid(4));
    ASSERT_EQ(list.Count(), 2);
    ASSERT_NE(list.Get(1), nullptr);
    EXPECT_EQ(colourOf(list.Get(1)), colourOf(&a));
}

TEST(BitmapListStream, WrittenOnlyWithEntriesThatDifferFromTheAncestor) {
    TBitmapList list, ancestor;
    EXPECT_FALSE(list.DefineProperties(nullptr));
    const Picture a = solid(qRgb(1, 2, 3));
    list.AddCopy(&a);
    EXPECT_TRUE(list.DefineProperties(nullptr));
    EXPECT_TRUE(list.DefineProperties(&ancestor));  // different count
    ancestor.AddCopy(&a);
    EXPECT_TRUE(list.DefineProperties(&ancestor));  // same picture content, but not the same picture
    EXPECT_FALSE(list.DefineProperties(&list));
}

TEST(GameListImage, NineSlotsAndGetImage) {
    TGameListImage holder;
    const Picture a = solid(qRgb(5, 5, 5));
    holder.Slot1().AddCopy(&a);
    EXPECT_EQ(holder.GetImage(1, 0), holder.Slot1().Get(0));
    EXPECT_EQ(holder.GetImage(0, 0), nullptr);
    EXPECT_EQ(holder.GetImage(10, 0), nullptr);
    EXPECT_EQ(holder.GetImage(-1, 0), nullptr);
    for (int n = 2; n <= 9; ++n) EXPECT_EQ(holder.Slot(n).Count(), 0);
    EXPECT_EQ(&holder.Slot(9), &holder.Slot9());
    EXPECT_THROW(holder.Slot(0), Error);

    // setting a slot copies the list into the slot's own list
    TBitmapList given;
    given.AddCopy(&a);
    given.AddCopy(&a);
    holder.SetSlot(3, &given);
    EXPECT_EQ(holder.Slot3().Count(), 2);
    EXPECT_NE(holder.GetImage(3, 1), given.Get(1));
    EXPECT_EQ(colourOf(holder.GetImage(3, 1)), 0x050505u);
}
