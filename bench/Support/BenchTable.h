#pragma once

#include <string>
#include <vector>

namespace BENCH {

// Median, 95th percentile and maximum of a series of samples.
struct Figures {
    double median = 0;
    double p95 = 0;
    double max = 0;
    std::size_t count = 0;
    static Figures Of(std::vector<double> samples);
};

// The table a program prints last: each figure of ours beside the peer's
// on the same basis, and ours / peer.
class CTable {
public:
    explicit CTable(std::string title) : m_title(std::move(title)) {}
    void Row(const std::string& figure, double ours, double peer, const std::string& goal = "");
    // Three rows: median, p95 and max.
    void Rows(const std::string& figure, const Figures& ours, const Figures& peer, const std::string& goal = "");
    void Print() const;

private:
    struct Line {
        std::string figure;
        double ours;
        double peer;
        std::string goal;
    };
    std::string m_title;
    std::vector<Line> m_lines;
};

}  // namespace BENCH
