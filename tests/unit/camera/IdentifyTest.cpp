#include "unit/camera/ConnectionFixture.h"

#include <cstring>
#include <memory>

namespace oskel::test {
namespace {

class IdentifyTest : public ConnectionFixture {
protected:
    int Classify(const char* text) { return connection->ClassifyModel(text); }
    std::unique_ptr<CCameraConnection> connection = MakeConnection();
};

TEST_F(IdentifyTest, PrefixesInOrder)
{
    EXPECT_EQ(Classify("SR82 anything"), 5);
    EXPECT_EQ(Classify("SR52"), 4);
    EXPECT_EQ(Classify("FUPLOADER"), 5);
    EXPECT_EQ(Classify("FUPLOA"), 0);
    EXPECT_EQ(Classify("SR42x"), 3);
    EXPECT_EQ(Classify("SR22"), 2);
    EXPECT_EQ(Classify("SR1 "), 1);
    EXPECT_EQ(Classify("SR10"), 0);
    EXPECT_EQ(Classify("SR1"), 0);
    EXPECT_EQ(Classify("SR8"), 0);
    EXPECT_EQ(Classify("sr52"), 0);
    EXPECT_EQ(Classify(""), 0);
    EXPECT_EQ(Classify(nullptr), 0);
}

TEST_F(IdentifyTest, Sr35DependsOnTheUnknownModelsFlag)
{
    EXPECT_EQ(Classify("SR35"), 0);
    camera.texts[27] = "XY99";
    frontEnd.SetModifiers(CCameraConnection::kUnknownModelsChord);
    ASSERT_TRUE(connection->Connect());
    EXPECT_EQ(Classify("SR35"), 4);
}

TEST_F(IdentifyTest, ReadsNoMoreThan64Bytes)
{
    // 64 non-zero bytes followed by a guard page's worth of nothing readable
    // would be caught by the address sanitizer; here the buffer simply ends.
    char* text = new char[64];
    std::memset(text, 'S', 64);
    std::memcpy(text, "SR82", 4);
    EXPECT_EQ(Classify(text), 5);
    delete[] text;
}

TEST_F(IdentifyTest, IdentifyReadsTheModelText)
{
    connection->SetPort(0);
    camera.texts[27] = std::string(64, 'Q');
    camera.texts[27].replace(0, 4, "SR22");
    ASSERT_TRUE(connection->Open());
    EXPECT_EQ(connection->Identify(), 2);
    camera.texts.erase(27);
    EXPECT_EQ(connection->Identify(), 0);
}

} // namespace
} // namespace oskel::test
