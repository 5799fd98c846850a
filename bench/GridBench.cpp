// The grid component on 100,000 rows x 13 columns (a check box, name, date, size and nine value columns
// of about 1,000 values each), on the offscreen platform: time to the first painted grid, a model reset
// (new row count) to the repainted grid, a full repaint, and fitting every column to its contents over
// all rows. The reference, measured in the same run, is a plain QTableView over a minimal table model
// answering from the same data (its fit: Qt's resizeColumnsToContents with every row looked at).

#include <benchmark/benchmark.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QPixmap>
#include <QTableView>

#include <memory>
#include <random>
#include <vector>

#include "grid/CUGCtrl.h"
#include "grid/CUGDataSource.h"

namespace {

constexpr int kRows = 100'000;
constexpr int kCols = 13;
constexpr int kValuesPerColumn = 1000;
const QSize kWindow(1200, 800);

// Every column draws its texts from a pool; a row holds one pool index per column.
struct Table {
    std::vector<QStringList> pools;
    std::vector<std::vector<int>> cells;  // [col][row]

    Table() {
        std::mt19937 random(15);
        pools.resize(kCols);
        pools[0] = {"0", "1"};
        for (int i = 0; i < kRows; ++i) {
            pools[1].append(QString("写真%1_IMG_%2.jpg").arg(i % 977).arg(i, 6, 10, QLatin1Char('0')));
        }
        for (int i = 0; i < 4000; ++i) {
            pools[2].append(QString("20%1/%2/%3 %4:%5").arg(10 + i % 15).arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                                .arg(1 + i % 28, 2, 10, QLatin1Char('0')).arg(i % 24, 2, 10, QLatin1Char('0'))
                                .arg(i % 60, 2, 10, QLatin1Char('0')));
            pools[3].append(QLocale(QLocale::English).toString(static_cast<qlonglong>(i) * 7919 % 98'765'432));
        }
        for (int col = 4; col < kCols; ++col) {
            for (int value = 0; value < kValuesPerColumn; ++value) {
                pools[static_cast<size_t>(col)].append(QString("分類%1-値%2").arg(col - 3).arg(value));
            }
        }
        cells.resize(kCols);
        for (int col = 0; col < kCols; ++col) {
            std::uniform_int_distribution<int> pick(0, static_cast<int>(pools[static_cast<size_t>(col)].size()) - 1);
            auto& column = cells[static_cast<size_t>(col)];
            column.resize(kRows);
            for (int row = 0; row < kRows; ++row) {
                column[static_cast<size_t>(row)] = col == 1 ? row : pick(random);
            }
        }
    }
    QString text(int col, int row) const {
        return pools[static_cast<size_t>(col)][cells[static_cast<size_t>(col)][static_cast<size_t>(row)]];
    }
    static QString heading(int col) {
        static const QStringList fixed{"選択", "名前", "日付", "サイズ"};
        return col < 4 ? fixed[col] : QString("分類%1").arg(col - 3);
    }
};

const Table& table() {
    static const Table instance;
    return instance;
}

class CBenchGrid final : public CUGCtrl, public CUGDataSource {
public:
    CBenchGrid() {
        setDataSource(this);
        createGrid(QRect(QPoint(), kWindow), nullptr, 1234);
        setNumberCols(kCols);
        setNumberRows(kRows);
        lockColumns(1);
    }
    QString cellText(int col, int row) const override {
        if (row < 0) {
            return Table::heading(col);
        }
        return col < 0 ? QString::number(row + 1) : table().text(col, row);
    }
    CUGCellKind cellType(int col, int row) const override {
        return col == 0 && row >= 0 ? CUGCellKind::CheckBox : col >= 4 ? CUGCellKind::DropList : CUGCellKind::Normal;
    }
    Qt::Alignment cellAlignment(int col, int /*row*/) const override {
        return (col == 3 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }
};

class CReferenceModel final : public QAbstractTableModel {
public:
    int rows = kRows;
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kCols; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::DisplayRole) {
            return table().text(index.column(), index.row());
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole) {
            return {};
        }
        return orientation == Qt::Horizontal ? Table::heading(section) : QString::number(section + 1);
    }
    void reset(int count) {
        beginResetModel();
        rows = count;
        endResetModel();
    }
};

struct Reference {
    CReferenceModel model;
    QTableView view;
    Reference() {
        view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view.setModel(&model);
        view.resize(kWindow);
    }
};

void paint(QWidget& widget) {
    widget.show();
    QPixmap pixmap = widget.grab();
    benchmark::DoNotOptimize(pixmap);
}

void BM_FirstPaint_Grid(benchmark::State& state) {
    table();
    for (auto _ : state) {
        CBenchGrid grid;
        paint(grid);
    }
}

void BM_FirstPaint_Reference(benchmark::State& state) {
    table();
    for (auto _ : state) {
        Reference reference;
        paint(reference.view);
    }
}

void BM_ResetRows_Grid(benchmark::State& state) {
    CBenchGrid grid;
    paint(grid);
    int rows = kRows;
    for (auto _ : state) {
        rows = rows == kRows ? kRows - 1 : kRows;
        grid.setNumberRows(rows);
        paint(grid);
    }
}

void BM_ResetRows_Reference(benchmark::State& state) {
    Reference reference;
    paint(reference.view);
    int rows = kRows;
    for (auto _ : state) {
        rows = rows == kRows ? kRows - 1 : kRows;
        reference.model.reset(rows);
        paint(reference.view);
    }
}

void BM_Repaint_Grid(benchmark::State& state) {
    CBenchGrid grid;
    paint(grid);
    for (auto _ : state) {
        grid.redrawAll();
        paint(grid);
    }
}

void BM_Repaint_Reference(benchmark::State& state) {
    Reference reference;
    paint(reference.view);
    for (auto _ : state) {
        reference.view.viewport()->update();
        paint(reference.view);
    }
}

void BM_FitAllRows_Grid(benchmark::State& state) {
    CBenchGrid grid;
    paint(grid);
    for (auto _ : state) {
        grid.fitColumns(0, kCols - 1, kRows);
    }
}

void BM_FitAllRows_Reference(benchmark::State& state) {
    Reference reference;
    reference.view.horizontalHeader()->setResizeContentsPrecision(-1);
    paint(reference.view);
    for (auto _ : state) {
        reference.view.resizeColumnsToContents();
    }
}

}  // namespace

BENCHMARK(BM_FirstPaint_Grid)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FirstPaint_Reference)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ResetRows_Grid)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ResetRows_Reference)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Repaint_Grid)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_Repaint_Reference)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_FitAllRows_Grid)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FitAllRows_Reference)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
