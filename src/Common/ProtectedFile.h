#pragma once

#include <cstdint>
#include <string>

// Enciphers a file block by block with the stored DES variant; a last part
// block of n bytes is filled with zeros and ends in 8 - n. 1 on success;
// -1 when the input cannot be read, -2 when the output cannot be written.
int EncryptFileDes(const char* inputPath, const std::uint8_t key[8], const char* outputPath);
// The reverse, dropping the fill of the last block. Results as above.
int DecryptFileDes(const char* inputPath, const std::uint8_t key[8], const char* outputPath);

// The 8 key bytes of our protected files.
const std::uint8_t* GetProtectedFileKey();

// Temporary file of a protect or unprotect operation: the file's own name
// cut before its last '.' plus "_des.dat", in the same folder.
std::string MakeProtectTempPath(const std::string& path);

// A protected file is the MD5 of the ciphertext (16 bytes) followed by the
// ciphertext. ProtectFileTo enciphers plainPath into protectedPath (which
// may be the same file); true when protectedPath was written.
bool ProtectFileTo(const std::string& plainPath, const std::string& protectedPath);
bool ProtectFile(const char* path);

// Checks and deciphers protectedPath into plainPath; the protected file is
// left as it is unless plainPath names it. True when plainPath now holds
// the plain text.
bool UnprotectFileTo(const std::string& protectedPath, const std::string& plainPath);
// Deciphers the file in place. True when it FAILED (the file is then
// unchanged), false when the file now holds the plain text.
bool UnprotectFile(const char* path);
