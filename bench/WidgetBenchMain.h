#pragma once
// The main of a benchmark program that drives widgets: the offscreen platform
// (unless one is set), a private runtime folder, the application, the
// benchmarks, then `teardown` (the widgets go before the application).
#include <QApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <functional>

inline int runWidgetBenchmarks(int argc, char** argv, const std::function<void()>& teardown = {}) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString dir = QDir::tempPath() + "/quillmark-runtime";
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", dir.toUtf8());
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (teardown) teardown();
    return 0;
}
