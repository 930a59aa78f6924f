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
    int pagesRead = 0;

    std::unique_ptr<DirectoryPages> Search(const DirectoryQuery& query) override {
        return std::make_unique<Pages>(*this, static_cast<std::size_t>(query.pageSize));
    }

private:
    struct Pages : DirectoryPages {
        Pages(MemoryDirectory& directory, std::size_t size) : all(directory), size(size) {}
        DirectoryPage Next() override {
            ++all.pagesRead;
            const std::size_t end = std::min(next + size, all.entries.size());
            DirectoryPage page{all.fault, 0, {all.entries.begin() + long(next), all.entries.begin() + long(end)}, end == all.entries.size()};
            next = end;
            if (page.fault != DirectoryFault::None) page.entries.clear();
            return page;
        }
        MemoryDirectory& all;
        std::size_t size, next = 0;
    };
};
