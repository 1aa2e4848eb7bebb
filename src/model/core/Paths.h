#pragma once
// Project paths. The editor names files inside a project with backslashes
// ("Imagens\null.bmp", "Data\Tiles.xml"); the project folder is a native path
// ending with a separator. On case-sensitive file systems an existing file or
// folder is found without regard to letter case.
#include <QString>
#include <string_view>

namespace quillmark {

// Makes a folder path end with '/'.
QString withTrailingSlash(const QString& folder);

// The folder part of a path, ending with '/'.
QString folderOf(const QString& path);

// The file-name part of a path (after the last '/' or '\').
QString fileNameOf(const QString& path);

// Joins a folder and a relative path written with backslashes (CP1252 bytes).
// Each part that exists under any letter case resolves to the existing entry;
// parts that do not exist are kept as spelled, so a write creates them so.
QString projectPath(const QString& folder, std::string_view relativeCp1252);
QString projectPath(const QString& folder, const QString& relative);

// Finds an existing entry named `name` in `folder` without regard to letter case.
// Returns the exact name on disk, or an empty string.
QString findEntryIgnoringCase(const QString& folder, const QString& name);

// While one of these lives (one operation: filling the tile cache, creating a
// project), the case-blind lookup lists each folder at most once and reuses
// the listing; the editor's own writes (Files.h) add the names they create.
// Scopes nest; the listings are dropped when the outermost one ends.
class FolderListingScope {
public:
    FolderListingScope();
    ~FolderListingScope();
    FolderListingScope(const FolderListingScope&) = delete;
    FolderListingScope& operator=(const FolderListingScope&) = delete;
};

// Tells the listings kept by an open scope that an entry now exists (a file
// just written). Without an open scope it does nothing.
void noteEntryCreated(const QString& path);
// Drops every kept listing (a folder was created or removed).
void forgetFolderListings();

// True when the path names an existing file (after the case-blind lookup
// that projectPath already did).
bool fileExists(const QString& path);
bool folderExists(const QString& path);

// The folder of the editor's executable (the template set lies there), ending with '/'.
QString editorFolder();
// Tests and tools may point it elsewhere.
void setEditorFolder(const QString& folder);

// "Imagens\null.bmp" in a project or editor folder: the picture shown for a missing one.
inline QString placeholderPath(const QString& folder) {
    return projectPath(folder, std::string_view("Imagens\\null.bmp"));
}

}  // namespace quillmark
