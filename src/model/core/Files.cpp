#include "model/core/Files.h"

#include "model/core/Error.h"
#include "model/core/Paths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmark {

namespace {

WriteObserver& writeObserver() {
    static WriteObserver observer = nullptr;
    return observer;
}

void noteWritten(const QString& path) {
    if (writeObserver()) writeObserver()(path);
}

std::string native(const QString& path) { return QDir::toNativeSeparators(path).toStdString(); }

[[noreturn]] void refuseLink(const QString& link, const QString& root) {
    throw Error(formatMessage("\"%s\" é um link simbólico que leva para fora da pasta \"%s\"; "
                              "o editor não grava através dele.",
                              {native(link), native(root)}));
}

bool isWithin(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder.endsWith('/') ? folder : folder + '/');
}

// A write killed between making its temporary file ("name.XXXXXX" beside the
// target) and renaming it leaves that file behind. The leftovers of a file are
// removed when the file is next written whole: six letters or digits after
// its name and a dot, a plain file, untouched for a quarter of an hour (no
// write of the editor takes that long, so none is still being written).
void removeStaleTemporaries(const QString& path) {
    const QFileInfo target(path);
    const QString prefix = target.fileName() + '.';
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-15 * 60);
    const QDir folder(target.absolutePath());
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.size() != prefix.size() + 6 || !name.startsWith(prefix)) continue;
        bool temporary = true;
        for (const QChar c : QStringView(name).mid(prefix.size()))
            temporary = temporary && c.unicode() < 128 && c.isLetterOrNumber();
        if (!temporary) continue;
        const QFileInfo leftover(folder.filePath(name));
        if (leftover.isSymLink() || leftover.lastModified().toUTC() > before) continue;
        QFile::remove(leftover.filePath());
    }
}

// Why a file operation failed, in the system's words: Qt's text unless it
// knows no more than "Unknown error", else the error number's.
std::string failureReason(const QFileDevice& file, int sysError) {
    std::string reason = file.error() != QFileDevice::NoError ? file.errorString().toStdString() : "";
    if (sysError && (reason.empty() || reason == "Unknown error")) reason = std::strerror(sysError);
    if (reason.empty()) reason = "The disk took only part of the data";
    return reason;
}

}  // namespace

void setWriteObserver(WriteObserver observer) { writeObserver() = observer; }

void checkWriteInsideProject(const QString& projectFolder, const QString& path) {
    if (projectFolder.isEmpty()) return;
    const QString root = QDir::cleanPath(QDir(QDir::fromNativeSeparators(projectFolder)).absolutePath());
    const QString target = QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(path)).absoluteFilePath());
    if (!isWithin(target, root))
        throw Error(
            formatMessage("\"%s\" fica fora da pasta \"%s\"; o editor não grava ali.", {native(target), native(root)}));
    // where the project folder really is, its own links resolved
    QString real = QFileInfo(root).canonicalFilePath();
    if (real.isEmpty()) return;  // no project folder yet: nothing below it can be a link
    QString current = root;
    for (const QString& part : target.mid(root.size()).split('/', Qt::SkipEmptyParts)) {
        current += '/' + part;
        struct stat entry;
        if (::lstat(QFile::encodeName(current).constData(), &entry) != 0) return;  // the rest is yet to be made
        if (!S_ISLNK(entry.st_mode)) continue;
        const QString leadsTo = QFileInfo(current).canonicalFilePath();  // empty: a link to nothing
        if (leadsTo.isEmpty() || !isWithin(leadsTo, real)) refuseLink(current, root);
    }
}

void writeFileAtomic(const QString& path, const QByteArray& content, const QString& projectFolder) {
    checkWriteInsideProject(projectFolder, path);
    writeFileAtomic(path, content);
}

void writeFileAtomic(const QString& path, const QByteArray& content) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Error(formatMessage("Cannot create file \"%s\". %s",
                                  {QDir::toNativeSeparators(path).toStdString(), file.errorString().toStdString()}));
    // A large write that the disk cuts short comes back short with no error
    // recorded; writing the rest then fails with the system's reason.
    qint64 done = 0;
    while (done < content.size()) {
        errno = 0;
        const qint64 n = file.write(content.constData() + done, content.size() - done);
        if (n <= 0) {
            const std::string reason = failureReason(file, errno);
            file.cancelWriting();
            throw Error(
                formatMessage("Cannot write file \"%s\". %s", {QDir::toNativeSeparators(path).toStdString(), reason}));
        }
        done += n;
    }
    // A write that the disk cut short (full disk, file size limit) only shows
    // when the buffer is flushed, and commit() alone does not notice it.
    errno = 0;
    if (!file.flush()) {
        const std::string reason = failureReason(file, errno);
        file.cancelWriting();
        throw Error(
            formatMessage("Cannot write file \"%s\". %s", {QDir::toNativeSeparators(path).toStdString(), reason}));
    }
    errno = 0;
    if (!file.commit()) {
        const std::string reason = failureReason(file, errno);
        throw Error(
            formatMessage("Cannot write file \"%s\". %s", {QDir::toNativeSeparators(path).toStdString(), reason}));
    }
    noteEntryCreated(path);
    removeStaleTemporaries(path);
    noteWritten(path);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(formatMessage("Cannot open file \"%s\". %s",
                                  {QDir::toNativeSeparators(path).toStdString(), file.errorString().toStdString()}));
    return file.readAll();
}

namespace {

// Closes a descriptor when it goes out of scope.
struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
};

// All the bytes of `in` into `out`: in the kernel where the file system
// allows it, by reading and writing otherwise.
bool copyBytes(int in, int out, off_t size) {
    off_t left = size;
    while (left > 0) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(left), 0);
        if (n > 0) {
            left -= n;
            continue;
        }
        if (n == 0) break;  // the source got shorter
        if (errno == EINTR) continue;
        if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP && errno != EBADF) return false;
        // no kernel copy here: the plain way from where it stopped
        char buffer[1 << 16];
        for (;;) {
            const ssize_t got = ::read(in, buffer, sizeof buffer);
            if (got == 0) return true;
            if (got < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            for (ssize_t done = 0; done < got;) {
                const ssize_t put = ::write(out, buffer + done, static_cast<size_t>(got - done));
                if (put < 0) {
                    if (errno == EINTR) continue;
                    return false;
                }
                done += put;
            }
        }
    }
    return true;
}

// Writes the copy into a new file in dst's folder and links it under dst: a
// link never replaces an existing entry, and dst never shows a half-written
// file. The file has no name until then where the file system allows it, a
// temporary one otherwise. 1: copied, 0: dst exists or the copy failed,
// -1: this way is not available here.
int copyThroughNewFile(int in, const struct stat& source, const QByteArray& folder, const QString& dst, bool unnamed,
                       bool durable) {
    const QByteArray to = QFile::encodeName(dst);
    QByteArray temporary;
    int fd = -1;
    if (unnamed) {
        fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0) return -1;
    } else {
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            temporary = folder + "/." + QFile::encodeName(QFileInfo(dst).fileName()) + ".part" +
                        QByteArray::number(static_cast<qlonglong>(::getpid())) + "-" + QByteArray::number(attempt);
            fd = ::open(temporary.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
            if (fd < 0 && errno != EEXIST) break;
        }
        if (fd < 0) return 0;
    }
    const Fd out(fd);
    if (::lseek(in, 0, SEEK_SET) != 0) return 0;
    bool ok = copyBytes(in, out.fd, source.st_size) && ::fchmod(out.fd, source.st_mode & 0777) == 0;
    if (ok && durable) ok = ::fdatasync(out.fd) == 0;
    int result = ok ? 1 : 0;
    if (ok && unnamed) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(out.fd);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW) != 0)
            result = errno == EEXIST ? 0 : -1;
    } else if (ok) {
        if (::link(temporary.constData(), to.constData()) != 0) {
            // a file system without links: a rename that refuses to replace
            result = errno != EEXIST && ::renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, to.constData(),
                                                    RENAME_NOREPLACE) == 0
                         ? 1
                         : 0;
        }
    }
    if (!temporary.isEmpty()) ::unlink(temporary.constData());
    return result;
}

// Copies src to dst unless dst exists, with the source's permission bits.
// `durable`: the data are synced before the file appears.
bool copyFile(const QString& src, const QString& dst, bool durable) {
    const QByteArray from = QFile::encodeName(src);
    struct stat target;
    if (::lstat(QFile::encodeName(dst).constData(), &target) == 0) return false;
    const Fd in(::open(from.constData(), O_RDONLY | O_CLOEXEC));
    if (in.fd < 0) return false;
    struct stat source;
    if (::fstat(in.fd, &source) != 0 || !S_ISREG(source.st_mode)) return false;
    const QByteArray folder = QFile::encodeName(QFileInfo(dst).absolutePath());
    int result = copyThroughNewFile(in.fd, source, folder, dst, true, durable);
    if (result < 0) result = copyThroughNewFile(in.fd, source, folder, dst, false, durable);
    if (result == 1) {
        noteEntryCreated(dst);
        noteWritten(dst);
    }
    return result == 1;
}

}  // namespace

bool copyWithoutReplacing(const QString& src, const QString& dst) { return copyFile(src, dst, true); }

CopyBatch::~CopyBatch() { finish(); }

bool CopyBatch::copyWithoutReplacing(const QString& src, const QString& dst) {
    checkWriteInsideProject(projectFolder_, dst);
    const bool copied = copyFile(src, dst, false);
    if (copied) {
        pending_ = true;
        lastFolder_ = QFileInfo(dst).absolutePath();
    }
    return copied;
}

void CopyBatch::finish() {
    if (!pending_) return;
    pending_ = false;
    const Fd folder(::open(QFile::encodeName(lastFolder_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.fd >= 0) ::syncfs(folder.fd);
}

void makeFolder(const QString& path) {
    if (QFileInfo(path).isDir()) return;
    const bool made = QDir().mkpath(path);
    forgetFolderListings();
    if (!made)
        throw Error(formatMessage("Cannot create folder \"%s\"", {QDir::toNativeSeparators(path).toStdString()}));
    noteWritten(path);
}

void makeFolder(const QString& path, const QString& projectFolder) {
    checkWriteInsideProject(projectFolder, path);
    makeFolder(path);
}

}  // namespace quillmark
