#pragma once
// A game project in a temporary folder for the animation tests: the template
// set's tables opened in a workspace with scripted prompts, a placeholder
// "Imagens\null.bmp" in a known colour, and helpers that write frame pictures
// (each a solid colour with a differently coloured bottom-left pixel, the
// colour drawn transparent) and read them back.
#include "ProjectFixture.h"
#include "ScriptedPrompts.h"

#include "SessionSetUp.h"
#include "model/core/Picture.h"
#include "model/core/RecordTable.h"
#include "model/core/Text.h"
#include "model/session/Workspace.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

namespace qmtest {

inline const QRgb kPlaceholder = qRgb(1, 2, 3);
inline const QRgb kKey = qRgb(255, 0, 255);  // the bottom-left pixel of every frame written here

// A frame of one colour whose bottom-left pixel is the transparent key.
inline QImage frameImage(QRgb colour, int width = 40, int height = -1) {
    QImage image(width, height < 0 ? width : height, QImage::Format_RGB32);
    image.fill(colour);
    image.setPixel(0, image.height() - 1, kKey);
    return image;
}

// A distinct colour for frame n.
inline QRgb frameColour(int n) { return qRgb(20 + 9 * n, 200 - 7 * n, 60 + 5 * n); }

struct AnimationProject : ::testing::Test {
    ProjectFixture project;
    ScriptedPrompts* prompts = new ScriptedPrompts;
    quillmark::Workspace ws{std::unique_ptr<quillmark::Prompts>(prompts)};
    quillmark::TDataModule1& data = ws.session().tables();

    AnimationProject() {
        qmtest::projectOf(ws).ProjectFolder = project.folder();
        data.pointAtProject(project.folder());
        writePicture("Imagens/null.bmp", frameImage(kPlaceholder));
    }

    QString file(const QString& relative) const { return project.folder() + relative; }
    void writePicture(const QString& relative, const QImage& image) const {
        quillmark::Picture(image).SaveToFile(file(relative));
    }
    // The colour in the middle of a stored picture; 0 when it is missing or unreadable.
    QRgb storedColour(const QString& relative) const {
        if (!QFile::exists(file(relative))) return 0;
        try {
            const quillmark::Picture p = quillmark::Picture::fromFile(file(relative));
            return p.image().pixel(p.width() / 2, p.height() / 2) | 0xff000000u;
        } catch (...) {
            return 0;
        }
    }
    QByteArray storedBytes(const QString& relative) const {
        QFile f(file(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The hero's file name in a field (the first hero record).
    QString hero(const std::string& field) {
        if (data.cdsPersonagem.recNo() != 1) data.cdsPersonagem.first();
        return quillmark::fromCp1252(data.cdsPersonagem.asString(field));
    }
    QString heroFrame(const std::string& field) { return "Imagens/" + hero(field); }

    // A new monster or item: its record (with the default frame names) and,
    // when asked, its record folder. It becomes the current record.
    void addRecord(quillmark::RecordTable& table, const std::string& nome, bool folder = true) {
        table.insert();
        table.setString("Nome", nome);
        table.post();
        for (int i = 1; i <= table.recordCount(); ++i) {
            table.setRecNo(i);
            if (table.asString("Nome") == nome) break;
        }
        if (folder) QDir().mkpath(file("Imagens/" + quillmark::fromCp1252(nome)));
    }
    void setField(quillmark::RecordTable& table, const std::string& field, const std::string& value) {
        table.edit();
        table.setString(field, value);
        table.post();
    }
    QString recordFrame(const std::string& nome, quillmark::RecordTable& table, const std::string& field) {
        return "Imagens/" + quillmark::fromCp1252(nome) + "/" + quillmark::fromCp1252(table.asString(field));
    }
};

}  // namespace qmtest
