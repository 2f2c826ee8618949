#include <gtest/gtest.h>

#include "KvxWriter/TestRecorderKey.h"
#include "Platform/PlayModule/Format/KvxChainVerifier.h"
#include "Platform/PlayModule/Format/KvxSigner.h"
#include "Platform/PlayModule/Support/SampleFolder.h"

using namespace PLAY_MODULE;
using namespace PLAY_MODULE_TEST;
using Result = CKvxChainVerifier::Result;

namespace {

struct Verdict {
    int ok = 0;
    int digestMismatches = 0;
    int chainBreaks = 0;
    int validSignatures = 0;
    int invalidSignatures = 0;
};

Verdict Verify(const std::vector<KvxRecord>& records)
{
    CKvxChainVerifier verifier;
    Verdict v;
    for (const auto& r : records) {
        switch (verifier.Check(r)) {
        case Result::Ok: ++v.ok; break;
        case Result::DigestMismatch: ++v.digestMismatches; break;
        case Result::ChainBreak: ++v.chainBreaks; break;
        case Result::SignatureValid: ++v.validSignatures; break;
        case Result::SignatureInvalid: ++v.invalidSignatures; break;
        }
    }
    return v;
}

class KvxSignatures : public ::testing::Test {
protected:
    std::vector<KvxRecord> Recording(std::shared_ptr<const CKvxSigner> signer, bool signedFile = true)
    {
        KVX_WRITER::SyntheticOptions options;
        options.seconds = 3;
        options.width = 160;
        options.height = 120;
        options.gopSeconds = 1;
        options.signer = std::move(signer);
        return ReadAllRecords(m_folder.MakeKvx(options, signedFile));
    }

    CSampleFolder m_folder;
};

}  // namespace

TEST_F(KvxSignatures, CorrectlySignedRecordingVerifiesClean)
{
    const auto records = Recording(KVX_WRITER::TestRecorderSigner());
    const Verdict v = Verify(records);
    EXPECT_EQ(v.validSignatures, 3);  // before key frames 2 and 3, and at the end
    EXPECT_EQ(v.ok + v.validSignatures, static_cast<int>(records.size()));
    EXPECT_EQ(records.back().header.kind, kvx::RecordKind::Signature);
}

TEST_F(KvxSignatures, UnsignedRecordingCarriesNoSignatureButAnIntactChain)
{
    const auto records = Recording(nullptr, false);
    const Verdict v = Verify(records);
    EXPECT_EQ(v.validSignatures + v.invalidSignatures, 0);
    EXPECT_EQ(v.ok, static_cast<int>(records.size()));
}

TEST_F(KvxSignatures, RecordingSignedWithAnotherKeyFailsEverySignature)
{
    const auto records = Recording(CKvxSigner::Generate());
    const Verdict v = Verify(records);
    EXPECT_EQ(v.validSignatures, 0);
    EXPECT_EQ(v.invalidSignatures, 3);
    EXPECT_EQ(v.digestMismatches + v.chainBreaks, 0);
}

TEST_F(KvxSignatures, ChangedRemovedAndSwappedRecordsAreFound)
{
    const auto records = Recording(KVX_WRITER::TestRecorderSigner());
    auto changed = records;
    changed[12].payload[changed[12].payload.size() / 2] ^= 1;
    EXPECT_EQ(Verify(changed).digestMismatches, 1);

    auto removed = records;
    removed.erase(removed.begin() + 12);
    EXPECT_EQ(Verify(removed).chainBreaks, 1);

    auto swapped = records;
    std::swap(swapped[12], swapped[13]);
    const Verdict v = Verify(swapped);
    EXPECT_GE(v.chainBreaks, 2);
    EXPECT_EQ(v.digestMismatches, 0);
}

TEST_F(KvxSignatures, SignatureDoesNotCoverADifferentChain)
{
    // A signature record moved in front of other data no longer matches.
    const auto records = Recording(KVX_WRITER::TestRecorderSigner());
    std::size_t firstSignature = 0;
    while (records[firstSignature].header.kind != kvx::RecordKind::Signature) ++firstSignature;
    CKvxChainVerifier verifier;
    for (std::size_t i = 0; i + 1 < firstSignature; ++i) verifier.Check(records[i]);
    EXPECT_NE(verifier.Check(records[firstSignature]), Result::SignatureValid);
}

TEST(KvxSigner, LoadsOnlyEd25519PrivateKeys)
{
    EXPECT_NE(KVX_WRITER::TestRecorderSigner(), nullptr);
    EXPECT_EQ(KVX_WRITER::TestRecorderSigner()->PublicKey(), RecorderPublicKey());
    EXPECT_EQ(CKvxSigner::FromPem("not a key"), nullptr);
    EXPECT_EQ(CKvxSigner::FromPemFile("/nonexistent/key.pem"), nullptr);
}
