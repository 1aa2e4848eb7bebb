#pragma once
// The database window over a project on disk, with recording links for the
// frame previews and the "Tiles" page, driven through its widgets.
#include "FirstFramePreviews.h"
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"
#include "model/core/DataPacket.h"
#include "model/core/Error.h"
#include "model/core/ProjectFile.h"
#include "model/database/DataModule.h"
#include "model/session/Workspace.h"
#include "ui/database/uBoundControls.h"
#include "ui/database/uConfig.h"
#include "ui/database/uDBNavigator.h"
#include "ui/database/uRecordListPage.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <gtest/gtest.h>

namespace dbwindow {

using namespace quillmark;

inline QString pageName(DatabasePage p) {
    static const char* names[] = {"Game", "Personagem", "Inimigos", "Itens", "Magias", "Tiles"};
    return QString::fromLatin1(names[static_cast<int>(p)]);
}

// Records what the window asks of the frame previews and editors.
struct FakePreviews : FramePreviewsLink {
    QStringList calls;
    QMap<QString, QWidget*> hosts;
    std::function<void(const QString&)> onEdit;
    void attach(const QString& key, QWidget* host) override { hosts.insert(key, host); }
    void pageEntered(DatabasePage p) override { calls << "entered " + pageName(p); }
    void pageLeft(DatabasePage p) override { calls << "left " + pageName(p); }
    void recordChanged(DatabasePage p) override { calls << "record " + pageName(p); }
    void editFrames(const QString& unit) override {
        calls << "edit " + unit;
        if (onEdit) onEdit(unit);
    }
};

struct FakeTiles : TilesPageLink {
    QWidget* page = nullptr;
    int builds = 0, entries = 0;
    void build(QWidget* p) override {
        page = p;
        ++builds;
    }
    void entered() override { ++entries; }
};

struct Db {
    qmtest::ProjectFixture fixture;
    qmtest::ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<Workspace> ws;
    FakePreviews previews;
    FakeTiles tiles;
    std::unique_ptr<TForm2> form;

    explicit Db(bool links = true) {
        auto scripted = std::make_unique<qmtest::ScriptedPrompts>();
        prompts = scripted.get();
        ws = std::make_unique<Workspace>(std::move(scripted));
        ws->session().setEditorFolder(qmtest::binFolder());
        form = std::make_unique<TForm2>(*ws);  // before the data holder, as at start-up
        ws->session().tables().DataModuleCreate(ws->session().editorFolder());
        ws->session().openProject(fixture.projectFile());
        if (links) {
            form->setFramePreviewsLink(&previews);
            form->setTilesPageLink(&tiles);
        }
    }
    ~Db() { form.reset(); }

    TDataModule1& dm() { return ws->session().tables(); }
    void open() {
        form->FormShow();
        form->show();
    }
    // The close box.
    bool close() {
        form->close();
        return !form->isVisible();
    }
    void tab(DatabasePage p) {
        QTabBar* bar = form->PageControl->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(static_cast<int>(p)).center());
        ASSERT_EQ(form->pageInFront(), p);
    }
    void clickEntry(QListWidget* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }
    static QStringList entries(QListWidget* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
        return out;
    }
    std::vector<Record> onDisk(const char* file) const {
        return datapacket::parse(fixture.dir.read(file).toStdString(), {}).records;
    }
    std::string stored(const char* file, size_t row, const std::string& field) const {
        const auto records = onDisk(file);
        const Schema s = datapacket::parse(fixture.dir.read(file).toStdString(), {}).fields;
        for (size_t i = 0; i < s.size(); ++i)
            if (s[i].name == field) return records.at(row)[i].value_or("");
        return "?";
    }
    void addMonsters(std::initializer_list<const char*> names) {
        RecordTable& t = dm().cdsMonstros;
        for (const char* n : names) {
            t.insert();
            t.setString("Nome", n);
            t.setInteger("HP", 10);
            t.post();
        }
    }
    // A spell posted through the table: its list is rebuilt by hand, as posting a spell does not.
    void addSpell(const char* name) {
        RecordTable& t = dm().cdsMagias;
        t.insert();
        t.setString("Nome", name);
        t.post();
        form->PageMagias->rebuild();
    }
    void addItems(std::initializer_list<const char*> names) {
        RecordTable& t = dm().cdsItens;
        for (const char* n : names) {
            t.insert();
            t.setString("Nome", n);
            t.post();
        }
    }
    QLineEdit* entryOf(QWidget* page, const QString& caption) {
        for (QLabel* l : page->findChildren<QLabel*>())
            if (l->text() == caption) return qobject_cast<QLineEdit*>(l->buddy());
        return nullptr;
    }
    QWidget* page(DatabasePage p) { return form->PageControl->widget(static_cast<int>(p)); }
};

}  // namespace dbwindow
