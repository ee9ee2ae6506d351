// The blacklist page with a known.lst of 50,000 lines: showing it, the user's edit of one line,
// and "&Save" (the list rebuilt, written and shown again). Each must leave the window responsive:
// a freeze the user notices starts at a few tenths of a second.
#include "app/settings/HomeLock.h"
#include "gui/screening/KnownListPanel.h"
#include "gui/widgets/MessageBox.h"
#include "screening/KnownListPage.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>
#include <benchmark/benchmark.h>
#include <fstream>
#include <random>

namespace mv {
namespace {

constexpr int kLines = 50000;

// Addresses and domains in random order, as lists collected from several sources come.
void writeKnownList(const std::filesystem::path& file) {
    std::mt19937 random(7);
    std::ofstream out(file, std::ios::binary);
    for (int i = 0; i < kLines; ++i) {
        const unsigned n = random();
        if (i % 3 == 0)
            out << "bulk" << n % 100000 << ".spam" << i % 97 << ".example\r\n";
        else
            out << "sender" << n << "@mass" << i % 211 << ".example\r\n";
    }
}

struct Page {
    QTemporaryDir dir;
    RuleSet rules{dir.path().toStdString()};
    KnownListPage page{rules};
    gui::KnownListPanel panel{page, std::filesystem::path(dir.path().toStdString()) / kLockFileName};
    Page() {
        writeKnownList(rules.knownPath());
        rules.LoadUpKnownList();
        panel.reload();
        panel.resize(600, 400);
        panel.show();
    }
};

void BM_ShowList(benchmark::State& state) {
    Page p;
    for (auto _ : state) {
        p.panel.reload();
        QCoreApplication::processEvents();
    }
    state.counters["lines"] = double(p.page.lines().size());
}
BENCHMARK(BM_ShowList)->Unit(benchmark::kMillisecond);

void BM_EditOneLine(benchmark::State& state) {
    Page p;
    p.panel.beginEdit();
    QTextCursor cursor(p.panel.view()->document());
    cursor.movePosition(QTextCursor::End);
    for (auto _ : state) {
        cursor.insertText(QStringLiteral("\nnew.example"));
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_EditOneLine)->Unit(benchmark::kMillisecond);

void BM_SaveEdit(benchmark::State& state) {
    Page p;
    for (auto _ : state) {
        state.PauseTiming();
        p.panel.beginEdit();
        QTextCursor cursor(p.panel.view()->document());
        cursor.insertText(QStringLiteral("first.example\n"));
        state.ResumeTiming();
        p.panel.saveEdit();
        QCoreApplication::processEvents();
    }
    state.counters["entries"] = double(p.rules.known().size());
}
BENCHMARK(BM_SaveEdit)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace mv

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    mv::gui::MessageBox::setTestMode(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
