#pragma once
// The editor's two settings files.
//
// "Data/conf.ini" beside the editor keeps the last project opened with
// "Abrir Projeto" (section "Project", key "Recent"). When the editor folder
// cannot be written (an installed editor), the file lives in the user's
// configuration folder instead.
//
// "quillmark.INI" in the user's configuration folder keeps the main window's
// placement (section "Form1": "Maximized" 1/0, "Left", "Top", "Width",
// "Height") and the left positions of the four tool-bar bands (section "Bar":
// "Bar1Left" … "Bar4Left").
//
// Both are plain INI profiles: sections and keys are found without regard to
// letter case, unknown sections and keys are kept, and every write replaces
// the file atomically.
#include <QString>
#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace quillmark {

class IniFile {
public:
    // Reads the file when it exists; a missing file is an empty profile.
    explicit IniFile(QString path);

    const QString& path() const { return path_; }

    bool hasKey(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Leading blanks, an optional sign and decimal digits; anything else gives the default.
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    // "1"/"0" as written here; "true"/"false" and other numbers are understood too.
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);  // "1" or "0"

    // The profile's text: "[Section]" lines, "Key=Value" lines, CR LF line ends.
    QByteArray text() const;
    // Writes the file, creating its folder when missing. Throws Error when it cannot.
    void save() const;

private:
    struct Section {
        QString name;
        std::vector<std::pair<QString, QString>> keys;
    };
    const Section* findSection(const QString& name) const;
    const QString* findValue(const QString& section, const QString& key) const;

    QString path_;
    std::vector<Section> sections_;
};

// --- where the files live -----------------------------------------------------

// The user's configuration folder for the editor ($XDG_CONFIG_HOME/quillmark/),
// ending with '/'.
QString userSettingsFolder();
// The placement file: userSettingsFolder() + "quillmark.INI".
QString editorIniPath();
// editorFolder + "Data/conf.ini" when that place can be written, otherwise
// userSettingsFolder() + "conf.ini".
QString recentSettingsPath(const QString& editorFolder);
// The same decision with the writability given.
QString recentSettingsPath(const QString& editorFolder, const QString& settingsFolder, bool editorFolderWritable);
// Whether the editor folder's "Data/conf.ini" can be created or replaced.
bool canWriteEditorSettings(const QString& editorFolder);

// --- the recent project ----------------------------------------------------------

// "Recent" of section "Project"; empty when not set.
QString readRecent(const QString& confPath);
void writeRecent(const QString& confPath, const QString& projectFile);

// --- window placement and bands ---------------------------------------------------

struct FormPlacement {
    // Nothing when the file has no "Maximized" (first start).
    std::optional<bool> maximized;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Reads section "Form1"; bounds missing from the file keep the given defaults.
FormPlacement LoadFormPlacement(const IniFile& ini, const FormPlacement& defaults);
// Writes "Maximized" and, only when not maximised, the four bounds.
void SaveFormPlacement(IniFile& ini, bool maximized, int left, int top, int width, int height);

inline constexpr int kBandCount = 4;
using BandLefts = std::array<int, kBandCount>;
// "Bar1Left" … "Bar4Left" of section "Bar", each defaulting to the given value.
BandLefts loadBandLefts(const IniFile& ini, const BandLefts& defaults);
void saveBandLefts(IniFile& ini, const BandLefts& lefts);

}  // namespace quillmark
