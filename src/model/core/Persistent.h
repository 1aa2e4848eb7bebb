#pragma once
// The common base of objects that can copy one another by Assign (a bitmap
// list from another list or from one picture). An assignment between kinds
// that do not know each other fails with "Cannot assign a %s to a %s".
namespace quillmark {

class TPersistent {
public:
    virtual ~TPersistent() = default;
    // The class name used in assignment errors ("TBitmap", "TBitmapList" …).
    virtual const char* ClassName() const = 0;
};

}  // namespace quillmark
