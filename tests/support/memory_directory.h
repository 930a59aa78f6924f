// The test host's directory: every search finds |entries|, in pages of the
// size asked, or meets |fault| at its start.
#pragma once

#include <algorithm>
#include <vector>

#include "system/directory.h"

class MemoryDirectory : public Directory {
public:
    std::vector<DirectoryEntry> entries;
    DirectoryFault fault = DirectoryFault::None;
    std::vector<DirectoryQuery> asked;
    int pagesRead = 0;

    std::unique_ptr<DirectoryPages> Search(const DirectoryQuery& query) override {
        asked.push_back(query);
        return std::make_unique<Pages>(*this, static_cast<std::size_t>(query.pageSize));
    }

private:
    struct Pages : DirectoryPages {
        Pages(MemoryDirectory& directory, std::size_t size) : m_directory(directory), m_size(size) {}
        DirectoryPage Next() override {
            ++m_directory.pagesRead;
            DirectoryPage page;
            if ((page.fault = m_directory.fault) != DirectoryFault::None) return page;
            const std::size_t end = std::min(m_next + m_size, m_directory.entries.size());
            page.entries.assign(m_directory.entries.begin() + static_cast<long>(m_next), m_directory.entries.begin() + static_cast<long>(end));
            m_next = end;
            page.last = end == m_directory.entries.size();
            return page;
        }
        MemoryDirectory& m_directory;
        std::size_t m_size;
        std::size_t m_next = 0;
    };
};
