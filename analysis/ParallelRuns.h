#pragma once

#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <expected>
#include <functional>
#include <thread>
#include <vector>

// Calls task(0 .. count-1) on `jobs` threads, each index once, and counts
// the finished ones in done. The calling thread reports progress meanwhile,
// when there is a report to make. Setting cancel stops handing out indices;
// a long task looks at cancel itself.
template<typename Task>
void ForEachInParallel(qint64 count, int jobs, const std::atomic<bool> *cancel, std::atomic<qint64> &done,
                       const std::function<void()> &report, const Task &task)
{
    std::atomic<qint64> next{0};
    const auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };
    // Taken before any thread starts: a task that ends first would count twice.
    const qint64 target = done.load() + count;
    std::vector<std::thread> threads;
    for (int t = 0; t < std::max(1, jobs); ++t)
        threads.emplace_back([&] {
            for (qint64 index; !cancelled() && (index = next.fetch_add(1)) < count; ++done)
                task(index);
        });
    // Progress every 100 ms; a cancel is looked at more often, so that the
    // threads are joined as soon as they have seen it.
    for (int tick = 0; report && done.load() < target && !cancelled(); ++tick) {
        if (tick % 10 == 0)
            report();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    for (std::thread &thread : threads)
        thread.join();
}

// The values task(0 .. count-1) makes on `jobs` threads, in index order,
// with progress(done, count) reported as ForEachInParallel does; the first
// failure in index order when any task failed.
template<typename Value, typename Task>
std::expected<std::vector<Value>, QString> CollectInParallel(qint64 count, int jobs, const std::atomic<bool> *cancel,
                                                             const std::function<void(qint64, qint64)> &progress,
                                                             const Task &task)
{
    std::vector<Value> values(static_cast<size_t>(count));
    std::vector<QString> errors(static_cast<size_t>(count));
    std::atomic<qint64> done{0};
    std::function<void()> report;
    if (progress)
        report = [&] { progress(done.load(), count); };
    ForEachInParallel(count, jobs, cancel, done, report, [&](qint64 index) {
        std::expected<Value, QString> value = task(index);
        if (value)
            values[size_t(index)] = std::move(*value);
        else
            errors[size_t(index)] = std::move(value.error());
    });
    if (report)
        report();
    for (QString &error : errors)
        if (!error.isEmpty())
            return std::unexpected(std::move(error));
    return values;
}

// Runs first..end-1 of `count`, the slice `shard` (from 0) of `shards` nearly
// equal consecutive slices: the slices one after the other are all the runs.
struct RunSlice
{
    qint64 first = 0;
    qint64 end = 0;
};

inline RunSlice ShardSlice(qint64 count, int shard, int shards)
{
    shards = std::max(1, shards);
    return {count * shard / shards, count * (shard + 1) / shards};
}
