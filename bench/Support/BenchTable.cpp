#include "Support/BenchTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Support/BenchRun.h"

namespace BENCH {

Figures Figures::Of(std::vector<double> samples)
{
    Figures figures;
    figures.count = samples.size();
    if (samples.empty())
        return figures;
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double q) {
        const auto rank = std::size_t(std::ceil(q * double(samples.size()))) ;
        return samples[std::min(samples.size() - 1, rank == 0 ? 0 : rank - 1)];
    };
    figures.median = at(0.5);
    figures.p95 = at(0.95);
    figures.max = samples.back();
    return figures;
}

void CTable::Row(const std::string& figure, double ours, double peer, const std::string& goal)
{
    m_lines.push_back({figure, ours, peer, goal});
}

void CTable::Rows(const std::string& figure, const Figures& ours, const Figures& peer, const std::string& goal)
{
    Row(figure + ", median", ours.median, peer.median);
    Row(figure + ", p95", ours.p95, peer.p95, goal);
    Row(figure + ", max", ours.max, peer.max);
}

void CTable::Print() const
{
    std::printf("\n%s%s\n", m_title.c_str(), IsSmoke() ? " (smoke run: short recordings, few samples)" : "");
    std::printf("%-62s %11s %11s %8s  %s\n", "figure", "ours", "peer", "ours/peer", "goal");
    for (const Line& line : m_lines) {
        const double ratio = line.peer > 0 ? line.ours / line.peer : 0;
        std::printf("%-62s %11.2f %11.2f %8.2fx  %s\n", line.figure.c_str(), line.ours, line.peer, ratio,
                    line.goal.c_str());
    }
    std::fflush(stdout);
}

}  // namespace BENCH
