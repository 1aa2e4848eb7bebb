#pragma once
// Small pieces the database window's page files share.
#include <QGroupBox>
#include <QString>
#include <string>

namespace quillmark::pageparts {

inline QString utf8(const char* text) { return QString::fromUtf8(text); }

inline QGroupBox* group(const char* caption, QWidget* parent) { return new QGroupBox(utf8(caption), parent); }

inline std::string twoDigits(int i) { return (i < 10 ? "0" : "") + std::to_string(i); }

}  // namespace quillmark::pageparts
