#pragma once
// The category selector's lines as the archive list shows them, with their lists.

#include "archive/DATArchive.h"

#include <string>
#include <vector>

namespace orvanel::cli {

class CLineCollector final : public ICategorySelector {
public:
    struct Line {
        std::string text;
        const DATEntryList* list = nullptr;
    };
    void RemoveAllLines() override { m_lines.clear(); }
    int AppendLine(const std::string& text) override
    {
        m_lines.push_back({text, nullptr});
        return int(m_lines.size()) - 1;
    }
    void SetLineData(int index, const DATEntryList* list) override { m_lines.at(size_t(index)).list = list; }
    const std::vector<Line>& Lines() const { return m_lines; }

private:
    std::vector<Line> m_lines;
};

} // namespace orvanel::cli
