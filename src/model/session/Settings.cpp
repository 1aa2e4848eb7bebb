#include "model/session/Settings.h"

#include "model/core/Files.h"
#include "model/core/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace quillmark {

namespace {

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// GetPrivateProfileInt's reading: leading blanks, a sign, digits; stops at the first other character.
std::optional<int> leadingInteger(const QString& text) {
    int i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    int digits = 0;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > 0x7fffffffLL + 1) return std::nullopt;
        ++i;
        ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (negative) value = -value;
    if (value > 0x7fffffffLL || value < -0x7fffffffLL - 1) return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace

// --- IniFile -----------------------------------------------------------------------

IniFile::IniFile(QString path) : path_(std::move(path)) {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QString text = QString::fromUtf8(file.readAll());
    Section* current = nullptr;
    for (QString line : text.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            const QString name = line.mid(1, line.size() - 2).trimmed();
            current = const_cast<Section*>(findSection(name));
            if (!current) {
                sections_.push_back(Section{name, {}});
                current = &sections_.back();
            }
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0 || !current) continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        // The first of two equal keys wins, as the profile functions read it.
        bool known = false;
        for (const auto& kv : current->keys) known = known || sameName(kv.first, key);
        if (!known) current->keys.emplace_back(key, value);
    }
}

const IniFile::Section* IniFile::findSection(const QString& name) const {
    for (const Section& s : sections_)
        if (sameName(s.name, name)) return &s;
    return nullptr;
}

const QString* IniFile::findValue(const QString& section, const QString& key) const {
    const Section* s = findSection(section);
    if (!s) return nullptr;
    for (const auto& kv : s->keys)
        if (sameName(kv.first, key)) return &kv.second;
    return nullptr;
}

bool IniFile::hasKey(const QString& section, const QString& key) const { return findValue(section, key) != nullptr; }

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const {
    const QString* v = findValue(section, key);
    return v ? *v : defaultValue;
}

int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const {
    const QString* v = findValue(section, key);
    if (!v) return defaultValue;
    return leadingInteger(*v).value_or(defaultValue);
}

bool IniFile::readBool(const QString& section, const QString& key, bool defaultValue) const {
    const QString* v = findValue(section, key);
    if (!v) return defaultValue;
    if (sameName(*v, QStringLiteral("true"))) return true;
    if (sameName(*v, QStringLiteral("false"))) return false;
    if (auto n = leadingInteger(*v)) return *n != 0;
    return defaultValue;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    // Line breaks would split the entry; a profile value holds one line.
    QString clean = value;
    clean.replace('\r', ' ').replace('\n', ' ');
    Section* s = const_cast<Section*>(findSection(section));
    if (!s) {
        sections_.push_back(Section{section, {}});
        s = &sections_.back();
    }
    for (auto& kv : s->keys)
        if (sameName(kv.first, key)) {
            kv.second = clean;
            return;
        }
    s->keys.emplace_back(key, clean);
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QByteArray IniFile::text() const {
    QByteArray out;
    bool first = true;
    for (const Section& s : sections_) {
        if (!first) out += "\r\n";
        first = false;
        out += '[' + s.name.toUtf8() + "]\r\n";
        for (const auto& kv : s.keys) out += kv.first.toUtf8() + '=' + kv.second.toUtf8() + "\r\n";
    }
    return out;
}

void IniFile::save() const {
    makeFolder(QFileInfo(path_).absolutePath());
    writeFileAtomic(path_, text());
}

// --- where the files live -------------------------------------------------------------

QString userSettingsFolder() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
    return withTrailingSlash(base) + QStringLiteral("quillmark/");
}

QString editorIniPath() { return userSettingsFolder() + QStringLiteral("quillmark.INI"); }

bool canWriteEditorSettings(const QString& editorFolder) {
    const QString conf = projectPath(editorFolder, std::string_view("Data\\conf.ini"));
    QFileInfo file(conf);
    // An atomic replacement needs a writable folder, and an existing file must be writable too.
    QFileInfo data(file.absolutePath());
    if (data.isDir()) return data.isWritable() && (!file.exists() || file.isWritable());
    QFileInfo editor(editorFolder);
    return editor.isDir() && editor.isWritable();
}

QString recentSettingsPath(const QString& editorFolder, const QString& settingsFolder, bool editorFolderWritable) {
    if (editorFolderWritable) return projectPath(editorFolder, std::string_view("Data\\conf.ini"));
    return withTrailingSlash(settingsFolder) + QStringLiteral("conf.ini");
}

QString recentSettingsPath(const QString& editorFolder) {
    return recentSettingsPath(editorFolder, userSettingsFolder(), canWriteEditorSettings(editorFolder));
}

// --- the recent project ------------------------------------------------------------------

QString readRecent(const QString& confPath) {
    return IniFile(confPath).readString(QStringLiteral("Project"), QStringLiteral("Recent"), QString());
}

void writeRecent(const QString& confPath, const QString& projectFile) {
    IniFile ini(confPath);
    ini.writeString(QStringLiteral("Project"), QStringLiteral("Recent"), projectFile);
    ini.save();
}

// --- window placement and bands -------------------------------------------------------------

FormPlacement LoadFormPlacement(const IniFile& ini, const FormPlacement& defaults) {
    const QString form = QStringLiteral("Form1");
    FormPlacement p = defaults;
    if (ini.hasKey(form, QStringLiteral("Maximized")))
        p.maximized = ini.readBool(form, QStringLiteral("Maximized"), false);
    p.left = ini.readInteger(form, QStringLiteral("Left"), defaults.left);
    p.top = ini.readInteger(form, QStringLiteral("Top"), defaults.top);
    p.width = ini.readInteger(form, QStringLiteral("Width"), defaults.width);
    p.height = ini.readInteger(form, QStringLiteral("Height"), defaults.height);
    return p;
}

void SaveFormPlacement(IniFile& ini, bool maximized, int left, int top, int width, int height) {
    const QString form = QStringLiteral("Form1");
    ini.writeBool(form, QStringLiteral("Maximized"), maximized);
    if (maximized) return;
    ini.writeInteger(form, QStringLiteral("Left"), left);
    ini.writeInteger(form, QStringLiteral("Top"), top);
    ini.writeInteger(form, QStringLiteral("Width"), width);
    ini.writeInteger(form, QStringLiteral("Height"), height);
}

BandLefts loadBandLefts(const IniFile& ini, const BandLefts& defaults) {
    BandLefts lefts = defaults;
    for (int i = 0; i < kBandCount; ++i)
        lefts[i] = ini.readInteger(QStringLiteral("Bar"), QStringLiteral("Bar%1Left").arg(i + 1), defaults[i]);
    return lefts;
}

void saveBandLefts(IniFile& ini, const BandLefts& lefts) {
    for (int i = 0; i < kBandCount; ++i)
        ini.writeInteger(QStringLiteral("Bar"), QStringLiteral("Bar%1Left").arg(i + 1), lefts[i]);
}

}  // namespace quillmark
