#pragma once
// Writing and copying files. Every write is atomic: a temporary file in the same
// folder, then a rename, so a failed or interrupted write leaves the previous
// file whole.
#include <QByteArray>
#include <QString>

namespace quillmark {

// Writes the whole content, replacing the file. Throws Error with the system's
// reason when the file cannot be written.
void writeFileAtomic(const QString& path, const QByteArray& content);

// Reads a whole file. Throws Error("Cannot open file "%s". %s") when it cannot.
QByteArray readFile(const QString& path);

// Copies src to dst unless dst exists already. Never throws and reports
// nothing: a missing source or a failed copy is silently skipped. Returns
// whether a copy was made, for callers that care.
bool copyWithoutReplacing(const QString& src, const QString& dst);

// Many copies for one operation (a new project): the same rule as
// copyWithoutReplacing, each file appearing whole under its name with the
// source's permissions, but the data reach the disk by one sync of the whole
// file system when the batch finishes, instead of one sync per file.
class CopyBatch {
public:
    CopyBatch() = default;
    ~CopyBatch();  // finishes
    CopyBatch(const CopyBatch&) = delete;
    CopyBatch& operator=(const CopyBatch&) = delete;

    bool copyWithoutReplacing(const QString& src, const QString& dst);
    // Makes everything copied so far durable. Never throws.
    void finish();

private:
    QString lastFolder_;  // a folder on the file system to sync
    bool pending_ = false;
};

// Creates a folder with its missing parents. Throws Error when it cannot.
void makeFolder(const QString& path);

}  // namespace quillmark
