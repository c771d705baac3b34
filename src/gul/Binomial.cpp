#include "gul/Binomial.h"

#include "gul/Error.h"

#include <atomic>
#include <mutex>

namespace gul {
namespace {

constexpr int kMaxRows = 1024;

// Rows are published through an atomic count, so readers of existing rows
// never wait for a writer that grows the table.
struct BinomialTable {
    float* rows[kMaxRows] = {};
    std::atomic<int> rowCount{0};
    std::mutex growth;

    void growTo(int n)
    {
        std::lock_guard<std::mutex> guard(growth);
        for (int r = rowCount.load(std::memory_order_relaxed); r <= n; ++r) {
            float* row = new float[r + 1];
            row[0] = row[r] = 1.0f;
            for (int k = 1; k < r; ++k) row[k] = rows[r - 1][k - 1] + rows[r - 1][k];
            rows[r] = row;
            rowCount.store(r + 1, std::memory_order_release);
        }
    }
};

BinomialTable& table()
{
    static BinomialTable* t = new BinomialTable; // lives for the whole process
    return *t;
}

} // namespace

float Binomial(int n, int k)
{
    if (n < 0 || k < 0 || k > n) return 0.0f;
    if (n >= kMaxRows) throw Error();
    BinomialTable& t = table();
    if (n >= t.rowCount.load(std::memory_order_acquire)) t.growTo(n);
    return t.rows[n][k];
}

} // namespace gul
