#include "Common/CustomLayoutStore.h"
#include "Common/DesCipher.h"
#include "Common/ProtectedFile.h"
#include "Support/Fifo.h"
#include "Support/TempFolder.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

CDesCipher::Block Hex(const char* text)
{
    CDesCipher::Block block{};
    for (int i = 0; i < 8; ++i)
        block[i] = static_cast<std::uint8_t>(std::stoi(std::string(text + 2 * i, 2), nullptr, 16));
    return block;
}

struct KnownAnswer {
    const char* key;
    const char* plain;
    const char* cipher;
};

TEST(DesCipherTest, StandardModePassesKnownAnswers)
{
    const KnownAnswer answers[] = {
        {"133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
        {"0123456789ABCDEF", "4E6F772069732074", "3FA40E8A984D4815"},
        {"0E329232EA6D0D73", "8787878787878787", "0000000000000000"},
        // Variable-plaintext and variable-key tests with the odd-parity zero key.
        {"0101010101010101", "8000000000000000", "95F8A5E5DD31D900"},
        {"0101010101010101", "0000000000000001", "166B40B44ABA4BD6"},
        {"8001010101010101", "0000000000000000", "95A8D72813DAA94D"},
    };
    for (const auto& answer : answers) {
        CDesCipher::Block key = Hex(answer.key);
        CDesCipher des(key.data(), CDesCipher::Variant::kStandard);
        CDesCipher::Block block = Hex(answer.plain);
        des.EncryptBlock(block.data());
        EXPECT_EQ(block, Hex(answer.cipher)) << answer.key << " " << answer.plain;
        des.DecryptBlock(block.data());
        EXPECT_EQ(block, Hex(answer.plain));
    }
}

TEST(DesCipherTest, StoredVariantDiffersButRoundTrips)
{
    CDesCipher::Block key = Hex("133457799BBCDFF1");
    CDesCipher stored(key.data(), CDesCipher::Variant::kStored);
    CDesCipher standard(key.data(), CDesCipher::Variant::kStandard);
    CDesCipher::Block a = Hex("0123456789ABCDEF"), b = a;
    stored.EncryptBlock(a.data());
    standard.EncryptBlock(b.data());
    EXPECT_NE(a, b);
    stored.DecryptBlock(a.data());
    EXPECT_EQ(a, Hex("0123456789ABCDEF"));
}

TEST(DesCipherTest, StoredVariantIsTheStandardCoreOnBitReversedBytesApartFromPC2)
{
    // With every byte bit-reversed, the stored numbering reads the same bits
    // as the standard one; only the PC-2 entry then differs.
    auto reverse = [](CDesCipher::Block block) {
        for (auto& byte : block) {
            std::uint8_t r = 0;
            for (int i = 0; i < 8; ++i)
                r = static_cast<std::uint8_t>(r | (((byte >> i) & 1) << (7 - i)));
            byte = r;
        }
        return block;
    };
    // Only parity bits set: the key halves are all zero, so the changed PC-2
    // entry selects the same bit.
    CDesCipher::Block key = Hex("0101010101010101");
    CDesCipher standard(key.data(), CDesCipher::Variant::kStandard);
    CDesCipher::Block reversedKey = reverse(key);
    CDesCipher stored(reversedKey.data(), CDesCipher::Variant::kStored);
    CDesCipher::Block plain = Hex("8000000000000000");
    CDesCipher::Block a = plain, b = reverse(plain);
    standard.EncryptBlock(a.data());
    stored.EncryptBlock(b.data());
    EXPECT_EQ(reverse(b), a);
}

class ProtectedFileTest : public ::testing::Test {
protected:
    TempFolder m_dir;
    std::string m_path = m_dir.File("CustomLayout.dat");
};

TEST_F(ProtectedFileTest, OneElevenByteLayoutGivesA32ByteFileHeadedByItsDigest)
{
    ASSERT_TRUE(SaveCustomLayoutsTo(m_path, {"2/2/4/abcde"}));
    std::string bytes = ReadFile(m_path);
    ASSERT_EQ(bytes.size(), 32u);
    QByteArray digest = QCryptographicHash::hash(QByteArray::fromStdString(bytes.substr(16)),
                                                 QCryptographicHash::Md5);
    EXPECT_EQ(bytes.substr(0, 16), digest.toStdString());
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("CustomLayout_des.dat")));
    EXPECT_FALSE(std::filesystem::exists(m_path + ".plain"));
}

TEST_F(ProtectedFileTest, CipherPaddingBySize)
{
    const std::string plain = m_dir.File("plain.bin");
    const std::string cipher = m_dir.File("cipher.bin");
    const std::string back = m_dir.File("back.bin");
    for (std::size_t size : {0u, 1u, 7u, 8u, 13u, 16u, 17u}) {
        std::string text(size, 'x');
        for (std::size_t i = 0; i < size; ++i)
            text[i] = static_cast<char>('a' + i);
        WriteFile(plain, text);
        ASSERT_EQ(EncryptFileDes(plain.c_str(), GetProtectedFileKey(), cipher.c_str()), 1);
        EXPECT_EQ(ReadFile(cipher).size(), (size + 7) / 8 * 8) << size;
        ASSERT_EQ(DecryptFileDes(cipher.c_str(), GetProtectedFileKey(), back.c_str()), 1);
        EXPECT_EQ(ReadFile(back), text) << size;
    }
    EXPECT_LT(EncryptFileDes(m_dir.File("missing").c_str(), GetProtectedFileKey(), cipher.c_str()), 0);
    EXPECT_LT(EncryptFileDes(plain.c_str(), GetProtectedFileKey(), m_dir.File("no/dir/x").c_str()), 0);
}

TEST_F(ProtectedFileTest, SaveAndLoadKeepTheFile)
{
    std::list<std::string> layouts{"3/3/9/400:300/a", "  2/2/4/400:300/b \t", ""};
    ASSERT_TRUE(SaveCustomLayoutsTo(m_path, layouts));
    std::list<std::string> loaded{"stale"};
    ASSERT_TRUE(LoadCustomLayoutsFrom(m_path, loaded));
    EXPECT_EQ(loaded, (std::list<std::string>{"3/3/9/400:300/a", "2/2/4/400:300/b"}));
    EXPECT_TRUE(std::filesystem::exists(m_path));
    ASSERT_TRUE(LoadCustomLayoutsFrom(m_path, loaded));
    EXPECT_EQ(loaded.size(), 2u);
    int files = 0;
    for (auto& entry : std::filesystem::directory_iterator(m_dir.Path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST_F(ProtectedFileTest, AnyChangedByteFailsTheLoadAndKeepsTheFile)
{
    ASSERT_TRUE(SaveCustomLayoutsTo(m_path, {"1/1/1/400:300/x", "2/2/4/400:300/y"}));
    const std::string original = ReadFile(m_path);
    for (std::size_t i = 0; i < original.size(); ++i) {
        std::string changed = original;
        changed[i] = static_cast<char>(changed[i] ^ 0x01);
        WriteFile(m_path, changed);
        std::list<std::string> loaded{"stale"};
        EXPECT_FALSE(LoadCustomLayoutsFrom(m_path, loaded)) << i;
        EXPECT_TRUE(loaded.empty());
        EXPECT_EQ(ReadFile(m_path), changed);
    }
}

TEST_F(ProtectedFileTest, ShortMissingAndEmptyFilesFail)
{
    std::list<std::string> loaded;
    EXPECT_FALSE(LoadCustomLayoutsFrom(m_path, loaded));
    WriteFile(m_path, "0123456789");
    EXPECT_FALSE(LoadCustomLayoutsFrom(m_path, loaded));
    EXPECT_TRUE(UnprotectFile(m_path.c_str()));
    EXPECT_EQ(ReadFile(m_path), "0123456789");
    ASSERT_TRUE(SaveCustomLayoutsTo(m_path, {"   "}));
    EXPECT_FALSE(LoadCustomLayoutsFrom(m_path, loaded));  // no layout in it
}

TEST_F(ProtectedFileTest, EmptyListLeavesTheFileAlone)
{
    WriteFile(m_path, "keep");
    EXPECT_FALSE(SaveCustomLayoutsTo(m_path, {}));
    EXPECT_EQ(ReadFile(m_path), "keep");
}

TEST_F(ProtectedFileTest, ProtectAndUnprotectInPlace)
{
    WriteFile(m_path, std::string(16, 'z'));
    ASSERT_TRUE(ProtectFile(m_path.c_str()));
    EXPECT_EQ(ReadFile(m_path).size(), 32u);  // 16 bytes need no fill block
    EXPECT_FALSE(UnprotectFile(m_path.c_str()));
    EXPECT_EQ(ReadFile(m_path), std::string(16, 'z'));
    EXPECT_FALSE(ProtectFile(m_dir.File("missing.dat").c_str()));
    std::filesystem::create_directory(m_dir.File("ro"));
    WriteFile(m_dir.File("ro/a.dat"), "abc");
    std::filesystem::permissions(m_dir.File("ro"), std::filesystem::perms::owner_read |
                                                       std::filesystem::perms::owner_exec);
    if (::geteuid() != 0) {
        EXPECT_FALSE(ProtectFile(m_dir.File("ro/a.dat").c_str()));
    }
    std::filesystem::permissions(m_dir.File("ro"), std::filesystem::perms::owner_all);
}

TEST_F(ProtectedFileTest, AFifoInPlaceOfTheLayoutFileLoadsNothingWithoutBlocking)
{
    const std::string path = m_dir.File("CustomLayout.dat");
    Fifo fifo(path);
    ASSERT_TRUE(fifo.IsValid());
    std::list<std::string> layouts{"1;1"};
    bool loaded = true;
    EXPECT_TRUE(ReturnsWithoutBlocking(fifo, [&] { loaded = LoadCustomLayoutsFrom(path, layouts); }));
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(layouts.empty());
}

TEST(ProtectTempPathTest, DerivedFromTheFileNameInItsFolder)
{
    EXPECT_EQ(MakeProtectTempPath("/opt/app/CustomLayout.dat"), "/opt/app/CustomLayout_des.dat");
    EXPECT_EQ(MakeProtectTempPath("/opt/my.app/CustomLayout"), "/opt/my.app/CustomLayout_des.dat");
    EXPECT_EQ(MakeProtectTempPath("a.b.c"), "a.b_des.dat");
}

}  // namespace
