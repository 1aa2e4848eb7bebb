#pragma once
// Writing and copying files. Every write is atomic: a temporary file in the same
// folder, then a rename, so a failed or interrupted write leaves the previous
// file whole.
#include <QByteArray>
#include <QString>

#include <utility>

namespace quillmark {

// Writes the whole content, replacing the file. Throws Error with the system's
// reason when the file cannot be written. Temporary files that an earlier
// write of the same file left when it was killed ("Vila.xml.a1B2c3", a quarter
// of an hour old) are removed once the file is written.
void writeFileAtomic(const QString& path, const QByteArray& content);

// Every write into a project stays inside the project folder. A project may
// come from someone else's archive, and a symbolic link in it ("Mapas" leading
// to the user's home folder, "Data\Project.dat" leading to another file) would
// otherwise make a save replace a file anywhere the user can write. So a write
// refuses a target, and any folder on its way below the project folder, that
// is a symbolic link leading outside the project folder (or nowhere), and a
// path that lies outside the folder. Links that stay inside the project are
// followed, and so is the project folder itself being a link. Reading through
// links stays allowed: a project may share pictures kept elsewhere.
//
// Throws Error naming the link (or the path) when the write must not happen.
// An empty projectFolder checks nothing.
void checkWriteInsideProject(const QString& projectFolder, const QString& path);

// The same write after that check.
void writeFileAtomic(const QString& path, const QByteArray& content, const QString& projectFolder);

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
    // Copies into a project: each destination passes checkWriteInsideProject,
    // and one that does not stops the batch with its Error.
    explicit CopyBatch(QString projectFolder) : projectFolder_(std::move(projectFolder)) {}
    ~CopyBatch();  // finishes
    CopyBatch(const CopyBatch&) = delete;
    CopyBatch& operator=(const CopyBatch&) = delete;

    bool copyWithoutReplacing(const QString& src, const QString& dst);
    // Makes everything copied so far durable. Never throws.
    void finish();

private:
    QString projectFolder_;  // copies stay inside it (when not empty)
    QString lastFolder_;     // a folder on the file system to sync
    bool pending_ = false;
};

// Creates a folder with its missing parents. Throws Error when it cannot.
void makeFolder(const QString& path);
// The same inside a project, after checkWriteInsideProject.
void makeFolder(const QString& path, const QString& projectFolder);

// The test seam for commands cut short: when set, called after every file
// written or copied and every folder made by the functions above, with the
// path. A test makes it end a forked process at the n-th write, as a kill
// would, and then looks at what the command left behind.
using WriteObserver = void (*)(const QString& path);
void setWriteObserver(WriteObserver observer);

}  // namespace quillmark
