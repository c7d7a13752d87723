// From DoModal to the main dialog on screen, with the probe's clock
// measurement taken out (a non-AMD processor is scripted), against a plain
// Qt dialog with the same number of controls built by hand.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <chrono>
#include <cstdlib>

#include "cpu/cpu_probe.h"
#include "ui/BiosPatch.h"
#include "ui/BiosPatchDlg.h"

namespace {

using Clock = std::chrono::steady_clock;

class OtherVendor final : public quendel::CpuOps {
public:
    bool id_flag_toggles() override { return true; }
    quendel::CpuidResult cpuid(std::uint32_t) override { return {0, 0x756E6547, 0x6C65746E, 0x49656E69}; }
    std::uint64_t rdtsc() override { return 0; }
    std::uint32_t clock_ms() override { return 0; }
};

void BM_MainDialogShown(benchmark::State& state) {
    OtherVendor cpu;
    quendel::cpu_set_ops(&cpu);
    for (auto _ : state) {
        CBiosPatchDlg dlg;
        Clock::time_point start = Clock::now(), shown;
        QTimer::singleShot(0, [&] {
            shown = Clock::now();
            dlg.EndDialog(IDCANCEL);
        });
        dlg.DoModal();
        state.SetIterationTime(std::chrono::duration<double>(shown - start).count());
    }
    quendel::cpu_set_ops(nullptr);
}
BENCHMARK(BM_MainDialogShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_PlainQtDialogShown(benchmark::State& state) {
    for (auto _ : state) {
        Clock::time_point start = Clock::now(), shown;
        QDialog dialog;
        for (int i = 0; i < 25; ++i) (new QLabel(QStringLiteral("label %1").arg(i), &dialog))->move(0, 10 * i);
        new QLineEdit(&dialog);
        new QLineEdit(&dialog);
        dialog.resize(366, 465);
        QTimer::singleShot(0, [&] {
            shown = Clock::now();
            dialog.reject();
        });
        dialog.exec();
        state.SetIterationTime(std::chrono::duration<double>(shown - start).count());
    }
}
BENCHMARK(BM_PlainQtDialogShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication application(argc, argv);
    CBiosPatchApp app;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
