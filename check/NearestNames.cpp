#include "check/NearestNames.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

qsizetype editDistance(const QString &a, const QString &b)
{
    // One row of the table at a time: row[j] is the distance between the
    // part of a read so far and the first j characters of b.
    std::vector<qsizetype> row(size_t(b.size()) + 1);
    std::iota(row.begin(), row.end(), qsizetype(0));
    for (qsizetype i = 1; i <= a.size(); ++i) {
        qsizetype diagonal = row[0];
        row[0] = i;
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const qsizetype above = row[size_t(j)];
            row[size_t(j)] = std::min({above + 1, row[size_t(j - 1)] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}

} // namespace

QStringList NearestNames(const QString &name, const QStringList &names)
{
    constexpr qsizetype MaxOffered = 3;
    qsizetype best = std::max<qsizetype>(1, (name.size() + 2) / 3);
    QStringList nearest;
    for (const QString &candidate : names) {
        if (candidate.isEmpty() || nearest.contains(candidate))
            continue;
        const qsizetype distance = editDistance(name, candidate);
        if (distance > best)
            continue;
        if (distance < best) {
            nearest.clear();
            best = distance;
        }
        if (nearest.size() < MaxOffered)
            nearest.append(candidate);
    }
    return nearest;
}
