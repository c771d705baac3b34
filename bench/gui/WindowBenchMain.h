#pragma once

// The main of a benchmark program that drives the program in a window: the
// program's own preparation, the application, the benchmarks, and the session
// they share ended while the application still exists.

#include "OpenGLTemplateApp.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>

template <typename Session>
int RunWindowBenchmarks(int argc, char** argv, std::unique_ptr<Session>& session)
{
    OpenGLTemplateApp::PrepareEnvironment();
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    session.reset();
    benchmark::Shutdown();
    return 0;
}
