#include "apps/cli/Cli.h"

#include "model/core/Paths.h"
#include "model/core/Text.h"

#include <QFile>

#include <algorithm>
#include <cstdio>

namespace quillmark::cli {

Args::Args(const std::vector<std::string>& words, const std::vector<std::string>& valued,
           const std::vector<std::string>& flags) {
    auto listed = [](const std::vector<std::string>& list, const std::string& name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    bool optionsEnded = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (optionsEnded || w.size() < 2 || w.compare(0, 2, "--") != 0) {
            words_.push_back(w);
            continue;
        }
        if (w == "--") {
            optionsEnded = true;
            continue;
        }
        const size_t eq = w.find('=');
        const std::string name = w.substr(0, eq);
        if (listed(valued, name)) {
            if (eq != std::string::npos) {
                options_.emplace_back(name, w.substr(eq + 1));
            } else {
                if (i + 1 >= words.size()) throw UsageError("a opção " + name + " precisa de um valor");
                options_.emplace_back(name, words[++i]);
            }
        } else if (listed(flags, name) && eq == std::string::npos) {
            options_.emplace_back(name, std::string());
        } else {
            throw UsageError("opção desconhecida " + w);
        }
    }
}

void Args::requireCount(size_t count) const {
    if (words_.size() < count) throw UsageError("faltam argumentos");
    if (words_.size() > count) throw UsageError("argumento a mais: \"" + words_[count] + "\"");
}

bool Args::has(const std::string& option) const {
    return std::any_of(options_.begin(), options_.end(), [&](const auto& o) { return o.first == option; });
}

std::string Args::value(const std::string& option, const std::string& fallback) const {
    std::string result = fallback;
    for (const auto& o : options_)
        if (o.first == option) result = o.second;  // the last one given wins
    return result;
}

QString pathArg(const std::string& arg) { return QFile::decodeName(QByteArray::fromStdString(arg)); }

std::string cp1252Arg(const std::string& arg, const char* what) {
    const QString text = QString::fromUtf8(arg);
    if (text.toUtf8().toStdString() != arg) throw UsageError(std::string(what) + " não está em UTF-8: \"" + arg + "\"");
    if (!isCp1252(text))
        throw UsageError(std::string(what) + " tem caracteres que o projeto (Windows-1252) não guarda: \"" + arg +
                         "\"");
    return toCp1252(text);
}

ProjectState readProject(const QString& projectFile) {
    ProjectState state;
    readProjectFile(projectFile, state);
    return state;
}

QString mapPath(const ProjectState& project, const std::string& mapName) {
    return projectPath(project.ProjectFolder, "Mapas\\" + mapName);
}

void out(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void err(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

std::string jsonString(const std::string& utf8) {
    std::string s;
    s.reserve(utf8.size() + 2);
    s += '"';
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            s += "\\\"";
            break;
        case '\\':
            s += "\\\\";
            break;
        case '\n':
            s += "\\n";
            break;
        case '\r':
            s += "\\r";
            break;
        case '\t':
            s += "\\t";
            break;
        case '\b':
            s += "\\b";
            break;
        case '\f':
            s += "\\f";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                s += buf;
            } else {
                s += ch;
            }
        }
    }
    s += '"';
    return s;
}

namespace {

void appendLayer(std::string& s, const MapGrid& grid, const std::vector<unsigned char>& layer) {
    s += '[';
    for (int r = 1; r <= grid.N; ++r) {
        if (r > 1) s += ", ";
        s += '[';
        for (int c = 1; c <= grid.N; ++c) {
            if (c > 1) s += ", ";
            s += std::to_string(layer[MapGrid::index(r, c)]);
        }
        s += ']';
    }
    s += ']';
}

}  // namespace

std::string mapJson(const MapGrid& grid) {
    std::string s;
    s.reserve(static_cast<size_t>(grid.N) * static_cast<size_t>(grid.N) * 16 + 64);
    s += "{\"size\": " + std::to_string(grid.N);
    s += ", \"tipo\": ";
    appendLayer(s, grid, grid.Tipo);
    s += ", \"fundo\": ";
    appendLayer(s, grid, grid.Fundo);
    s += ", \"xo\": ";
    appendLayer(s, grid, grid.XO);
    s += ", \"events\": [";
    bool first = true;
    for (int r = 1; r <= grid.N; ++r) {
        for (int c = 1; c <= grid.N; ++c) {
            const std::string& text = grid.evento(r, c);
            if (!MapGrid::hasEvent(text)) continue;
            if (!first) s += ", ";
            first = false;
            s += "{\"row\": " + std::to_string(r) + ", \"column\": " + std::to_string(c) +
                 ", \"text\": " + jsonString(cp1252ToUtf8(text)) + "}";
        }
    }
    s += "]}";
    return s;
}

}  // namespace quillmark::cli
