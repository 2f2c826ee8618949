#pragma once

#include <array>
#include <cstdint>

// DES block cipher (electronic code book, one 8-byte block at a time).
// kStandard follows FIPS 46-3 exactly. kStored is the variant our protected
// files use: bit k of a block or key is bit (k-1) mod 8 from the least
// significant end of byte (k-1) div 8, and entry 36 of PC-2 is 47.
class CDesCipher {
public:
    enum class Variant { kStored, kStandard };
    using Block = std::array<std::uint8_t, 8>;

    CDesCipher(const std::uint8_t key[8], Variant variant);

    void EncryptBlock(std::uint8_t block[8]) const;
    void DecryptBlock(std::uint8_t block[8]) const;

private:
    using Bits64 = std::array<std::uint8_t, 64>;
    using RoundKey = std::array<std::uint8_t, 48>;

    Bits64 ToBits(const std::uint8_t bytes[8]) const;
    void FromBits(const Bits64& bits, std::uint8_t bytes[8]) const;
    void Crypt(std::uint8_t block[8], bool decrypt) const;

    Variant m_variant;
    std::array<RoundKey, 16> m_roundKeys{};
};
