#pragma once

#include "protocol/TransferInterfaces.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace oskel::test {

using Bytes = std::vector<uint8_t>;

// A source over a byte vector that reports the end as soon as a piece comes
// out short; `onRead` runs before every read (to look at the sender's state).
class MemorySource : public ITransferSource {
public:
    explicit MemorySource(Bytes bytes) : data(std::move(bytes)) {}
    int Begin() override { return ++begins; }
    int Read(uint8_t* destination, int maximum, int* status) override
    {
        if (onRead)
            onRead();
        if (reads++ == failAtRead) {
            *status = -1;
            return 0;
        }
        const int n = std::min<int>(maximum, static_cast<int>(data.size() - offset));
        std::copy(data.begin() + static_cast<long>(offset), data.begin() + static_cast<long>(offset) + n, destination);
        offset += static_cast<size_t>(n);
        *status = n < maximum ? 1 : 0;
        return n;
    }
    int End() override { return ++ends; }

    Bytes data;
    size_t offset = 0;
    int begins = 0;
    int ends = 0;
    std::function<void()> onRead;
    int failAtRead = -1; // the read (from 0) that reports an error
    int reads = 0;
};

} // namespace oskel::test
