// The upload's data source and the sharing of one bar among several files.
#include "support/TempDir.h"
#include "transfer/ProgressBarSink.h"
#include "transfer/ProgressPlan.h"
#include "transfer/UploadSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace oskel {
namespace {

using test::TempDir;
using test::WriteFileBytes;

struct CountingSink : CProgressSink {
    int cancelAtStep = -1; // Step number (1-based) that answers 2
    std::vector<int> percents;
    int begins = 0, ends = 0;
    std::vector<int64_t> acknowledged; // bytes, at each report
    int64_t lastTotal = 0;
    int Begin() override { return ++begins, 0; }
    int Step(int percent) override
    {
        percents.push_back(percent);
        return static_cast<int>(percents.size()) == cancelAtStep ? 2 : 0;
    }
    int End() override { return ++ends, 0; }
    void Transferred(int64_t sent, int64_t total) override
    {
        acknowledged.push_back(sent);
        lastTotal = total;
    }
};

// Reads the whole source in pieces of `piece`, as the protocol does.
std::vector<uint8_t> Drain(UploadSource& source, int piece, int* lastStatus)
{
    std::vector<uint8_t> all;
    std::vector<uint8_t> buffer(static_cast<size_t>(piece));
    for (;;) {
        int status = 0;
        const int count = source.Read(buffer.data(), piece, &status);
        all.insert(all.end(), buffer.begin(), buffer.begin() + std::max(count, 0));
        *lastStatus = status;
        if (status != -1)
            source.Acknowledged(); // the camera took the piece
        if (status != 0)
            return all;
    }
}

class UploadSourceTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, size_t size)
    {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<char>(i * 7);
        WriteFileBytes(dir / name, bytes);
        return dir / name;
    }
    TempDir dir;
    CountingSink sink;
};

TEST_F(UploadSourceTest, SendsTheWholeFileAndReportsRoundedPercents)
{
    UploadSource source(Write("P.FNC", 300), &sink);
    source.SetTotalBytes(300);
    ASSERT_EQ(source.Begin(), 1);
    int status = 0;
    EXPECT_EQ(Drain(source, 128, &status).size(), 300u);
    EXPECT_EQ(status, 1);
    source.End();
    EXPECT_EQ(source.Status(), 0);
    EXPECT_EQ(sink.percents, (std::vector<int>{43, 85, 100})); // 42.67, 85.33, 100
    EXPECT_EQ(sink.acknowledged, (std::vector<int64_t>{0, 128, 256, 300})); // none before the camera took it
    EXPECT_EQ(sink.lastTotal, 300);
    EXPECT_EQ(sink.begins, 1);
    EXPECT_EQ(sink.ends, 1);
}

TEST_F(UploadSourceTest, AFileChangedSinceTheScanIsNotSent)
{
    struct Case {
        const char* what;
        size_t onDisk;
        int scanned;
    } cases[] = {{"vanished", 0, 300}, {"shrank", 200, 300}, {"grew", 400, 300}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = c.onDisk ? Write("P.FNC", c.onDisk) : dir / "GONE.FNC";
        UploadSource source(path, &sink);
        source.SetTotalBytes(c.scanned);
        EXPECT_EQ(source.Begin(), 0);
        EXPECT_EQ(source.Status(), 3);
        uint8_t buffer[128];
        int status = 0;
        EXPECT_EQ(source.Read(buffer, 128, &status), 0);
        EXPECT_EQ(status, -1);
    }
}

TEST_F(UploadSourceTest, AFileThatShrinksDuringTheTransferStopsIt)
{
    const std::string path = Write("P.FNC", 300);
    UploadSource source(path, &sink);
    source.SetTotalBytes(300);
    ASSERT_EQ(source.Begin(), 1);
    uint8_t buffer[128];
    int status = 0;
    EXPECT_EQ(source.Read(buffer, 128, &status), 128);
    std::filesystem::resize_file(path, 150);
    EXPECT_EQ(source.Read(buffer, 128, &status), 0);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(source.Status(), 3);
}

TEST_F(UploadSourceTest, TheFirstStopRequestSticks)
{
    sink.cancelAtStep = 2;
    UploadSource source(Write("P.FNC", 300), &sink);
    source.SetTotalBytes(300);
    ASSERT_EQ(source.Begin(), 1);
    int status = 0;
    EXPECT_EQ(Drain(source, 128, &status).size(), 128u);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(source.Status(), 2);
    source.End(); // closing fine does not replace it
    EXPECT_EQ(source.Status(), 2);
}

TEST(ProgressPlan, SharesTheBarInOrderWithoutOverflowForLargeSelections)
{
    // Three files of 30 MB: 32-bit bytes x 100 would overflow.
    const int size = 30 * 1000 * 1000;
    ProgressPlan plan;
    for (int i = 0; i < 3; ++i)
        plan.Add(size);
    CProgressBarSink sink;
    std::vector<std::pair<int, int>> shares;
    for (int i = 0; i < 3; ++i) {
        plan.ShareNext(sink, size);
        shares.emplace_back(sink.m_nLow, sink.m_nHigh);
    }
    EXPECT_EQ(shares, (std::vector<std::pair<int, int>>{{0, 33}, {33, 66}, {66, 100}}));
    plan.ShareNext(sink, 5000); // a file not foreseen: the end of the bar
    EXPECT_EQ(sink.m_nLow, 100);
    EXPECT_EQ(sink.m_nHigh, 100);
}

} // namespace
} // namespace oskel
