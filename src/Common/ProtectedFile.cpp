#include "Common/ProtectedFile.h"

#include "Base/AtomicFileWriter.h"
#include "Base/FileSystemHelpers.h"
#include "Common/DesCipher.h"

#include <QCryptographicHash>

#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

// Fixed key text; only its first 8 bytes key the cipher.
constexpr char kKeyText[13] = "Lv#7qR2m!Kp9";
constexpr std::size_t kPiece = 1024;
constexpr std::size_t kDigestSize = 16;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Only a regular file is opened: a FIFO would block.
FilePtr OpenRead(const std::string& path)
{
    const int fd = SF_SOFT_BASE::OpenRegularFileForReading(path);
    std::FILE* file = fd < 0 ? nullptr : ::fdopen(fd, "rb");
    if (fd >= 0 && !file)
        ::close(fd);
    return FilePtr(file);
}

// Reads up to 8 bytes; the count read.
std::size_t ReadBlock(std::FILE* file, std::uint8_t block[8])
{
    return std::fread(block, 1, 8, file);
}

bool IsFillOfLastBlock(const std::uint8_t block[8], std::size_t* keep)
{
    int fill = block[7];
    if (fill < 1 || fill > 7)
        return false;
    for (int i = 8 - fill; i < 7; ++i)
        if (block[i] != 0)
            return false;
    *keep = static_cast<std::size_t>(8 - fill);
    return true;
}

QByteArray DigestOfFile(std::FILE* file, bool* ok)
{
    QCryptographicHash md5(QCryptographicHash::Md5);
    char piece[kPiece];
    std::size_t n;
    while ((n = std::fread(piece, 1, kPiece, file)) > 0)
        md5.addData(QByteArrayView(piece, static_cast<qsizetype>(n)));
    *ok = !std::ferror(file);
    return md5.result();
}

bool CopyRest(std::FILE* from, SF_SOFT_BASE::CAtomicFileWriter& to)
{
    char piece[kPiece];
    std::size_t n;
    while ((n = std::fread(piece, 1, kPiece, from)) > 0)
        if (!to.Write(piece, n))
            return false;
    return !std::ferror(from);
}

}  // namespace

const std::uint8_t* GetProtectedFileKey()
{
    return reinterpret_cast<const std::uint8_t*>(kKeyText);
}

namespace {

using BlockWriter = bool (*)(std::FILE* in, const CDesCipher& cipher,
                            SF_SOFT_BASE::CAtomicFileWriter& out);

// Enciphers every block; false when the output cannot be written.
bool EncryptBlocks(std::FILE* in, const CDesCipher& cipher, SF_SOFT_BASE::CAtomicFileWriter& out)
{
    std::uint8_t block[8];
    std::size_t n;
    while ((n = ReadBlock(in, block)) > 0) {
        if (n < 8) {
            std::memset(block + n, 0, 7 - n);
            block[7] = static_cast<std::uint8_t>(8 - n);
        }
        cipher.EncryptBlock(block);
        if (!out.Write(block, 8))
            return false;
        if (n < 8)
            break;
    }
    return true;
}

// Deciphers every block, dropping the fill of the last; false when the
// output cannot be written.
bool DecryptBlocks(std::FILE* in, const CDesCipher& cipher, SF_SOFT_BASE::CAtomicFileWriter& out)
{
    std::uint8_t block[8];
    std::uint8_t next[8];
    std::size_t n = ReadBlock(in, block);
    while (n > 0) {
        if (n < 8)
            std::memset(block + n, 0, 8 - n);
        cipher.DecryptBlock(block);
        std::size_t nextCount = n == 8 ? ReadBlock(in, next) : 0;
        std::size_t keep = 8;
        if (nextCount == 0)
            IsFillOfLastBlock(block, &keep);
        if (!out.Write(block, keep))
            return false;
        std::memcpy(block, next, 8);
        n = nextCount;
    }
    return true;
}

int CipherFile(const char* inputPath, const std::uint8_t key[8], const char* outputPath,
               BlockWriter writeBlocks)
{
    FilePtr in = inputPath ? OpenRead(inputPath) : nullptr;
    if (!in)
        return -1;
    SF_SOFT_BASE::CAtomicFileWriter out(outputPath ? outputPath : "");
    if (!out.Open())
        return -2;
    CDesCipher cipher(key, CDesCipher::Variant::kStored);
    if (!writeBlocks(in.get(), cipher, out))
        return -2;
    if (std::ferror(in.get()))
        return -1;
    return out.Commit() ? 1 : -2;
}

}  // namespace

int EncryptFileDes(const char* inputPath, const std::uint8_t key[8], const char* outputPath)
{
    return CipherFile(inputPath, key, outputPath, &EncryptBlocks);
}

int DecryptFileDes(const char* inputPath, const std::uint8_t key[8], const char* outputPath)
{
    return CipherFile(inputPath, key, outputPath, &DecryptBlocks);
}

std::string MakeProtectTempPath(const std::string& path)
{
    auto slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    auto dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.resize(dot);
    return folder + name + "_des.dat";
}

bool ProtectFileTo(const std::string& plainPath, const std::string& protectedPath)
{
    const std::string temp = MakeProtectTempPath(protectedPath);
    if (EncryptFileDes(plainPath.c_str(), GetProtectedFileKey(), temp.c_str()) != 1)
        return false;
    bool ok = false;
    if (FilePtr cipherText = OpenRead(temp)) {
        QByteArray digest = DigestOfFile(cipherText.get(), &ok);
        std::rewind(cipherText.get());
        SF_SOFT_BASE::CAtomicFileWriter out(protectedPath);
        ok = ok && out.Open() && out.Write(digest.constData(), kDigestSize) &&
             CopyRest(cipherText.get(), out) && out.Commit();
    }
    std::remove(temp.c_str());
    return ok;
}

bool ProtectFile(const char* path)
{
    return path && ProtectFileTo(path, path);
}

bool UnprotectFileTo(const std::string& protectedPath, const std::string& plainPath)
{
    FilePtr in = OpenRead(protectedPath);
    if (!in)
        return false;
    char stored[kDigestSize];
    if (std::fread(stored, 1, kDigestSize, in.get()) != kDigestSize)
        return false;
    const std::string temp = MakeProtectTempPath(protectedPath);
    SF_SOFT_BASE::CAtomicFileWriter cipherText(temp);
    if (!cipherText.Open())
        return false;
    long start = std::ftell(in.get());
    bool ok = false;
    QByteArray digest = DigestOfFile(in.get(), &ok);
    if (!ok || digest != QByteArray(stored, kDigestSize))
        return false;
    std::fseek(in.get(), start, SEEK_SET);
    if (!CopyRest(in.get(), cipherText) || !cipherText.Commit()) {
        std::remove(temp.c_str());
        return false;
    }
    in.reset();
    ok = DecryptFileDes(temp.c_str(), GetProtectedFileKey(), plainPath.c_str()) == 1;
    std::remove(temp.c_str());
    return ok;
}

bool UnprotectFile(const char* path)
{
    return !path || !UnprotectFileTo(path, path);
}
