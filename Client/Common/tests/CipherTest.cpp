#include "common/Cipher.h"

#include <gtest/gtest.h>

#include "common/TextUtils.h"

namespace {

std::string FromHex(std::string_view hex) {
    return HexDecode(hex);
}

TEST(HexCoding, EncodesUpperCaseAndDecodesPairs) {
    EXPECT_EQ(HexEncode(std::string("\x00\x0f\xab\xff", 4)), "000FABFF");
    EXPECT_EQ(HexDecode("000FabFF"), std::string("\x00\x0f\xab\xff", 4));
    EXPECT_EQ(HexDecode("414"), std::string("A\x04"));  // a lone last digit is one byte
    EXPECT_EQ(HexDecode(""), "");
}

TEST(HexCoding, RejectsNonHexPairWithItsText) {
    try {
        HexDecode("41XY");
        FAIL() << "no ConvertError";
    } catch (const ConvertError& e) {
        EXPECT_STREQ(e.what(), "'XY' is not a valid hexadecimal value");
    }
    EXPECT_THROW(HexDecode("4 "), ConvertError);
}

TEST(SealText, LengthHeaderAndBlockCount) {
    EXPECT_EQ(SealText("", kPasswordKey, KeyKind::Aes128), std::string(16, '0'));
    std::string sealed16 = SealText(std::string(16, 'a'), kPasswordKey, KeyKind::Aes128);
    EXPECT_EQ(sealed16.size(), 2u * (8 + 16));
    EXPECT_EQ(sealed16.substr(0, 16), "1000000000000000");
    std::string sealed17 = SealText(std::string(17, 'a'), kPasswordKey, KeyKind::Aes128);
    EXPECT_EQ(sealed17.size(), 2u * (8 + 32));
    EXPECT_EQ(sealed17.substr(0, 16), "1100000000000000");
}

TEST(SealText, KnownAnswers) {
    // FIPS-197 appendix C.1 and C.3: a full-size key used as given.
    const std::string plain = FromHex("00112233445566778899AABBCCDDEEFF");
    EXPECT_EQ(SealText(plain, FromHex("000102030405060708090A0B0C0D0E0F"), KeyKind::Aes128),
              "1000000000000000"
              "69C4E0D86A7B0430D8CDB78070B4C55A");
    EXPECT_EQ(SealText(plain,
                       FromHex("000102030405060708090A0B0C0D0E0F"
                               "101112131415161718191A1B1C1D1E1F"),
                       KeyKind::Aes256),
              "1000000000000000"
              "8EA2B7CA516745BFEAFC49904B496089");
    // Short keys are zero-filled, long ones cut; the last block is zero-filled.
    EXPECT_EQ(SealText("abc", kPasswordKey, KeyKind::Aes128),
              "0300000000000000"
              "49C8340AC42E7AB1811F0C04F7655656");
    EXPECT_EQ(SealText("abc", kWebAddressKey, KeyKind::Aes256),
              "0300000000000000"
              "10D294C8E70E3AC88024EAEAE57FBDD2");
    EXPECT_EQ(SealText("abc", std::string(kPasswordKey) + std::string(40, 'x'), KeyKind::Aes128),
              SealText("abc", std::string(kPasswordKey) + std::string(13, 'x'), KeyKind::Aes128));
}

TEST(SealText, OpensBackAfterTrimming) {
    const std::string texts[] = {"p", "secret12", std::string(16, 'z'), "\xC3\xDC\xC2\xEB pass",
                                 std::string(33, 'q')};
    for (const auto& [key, kind] :
         {std::pair{kPasswordKey, KeyKind::Aes128}, std::pair{kWebAddressKey, KeyKind::Aes256}}) {
        for (const std::string& p : texts) {
            std::string opened = OpenSealedText(SealText(p, key, kind), key, kind);
            EXPECT_EQ(opened.size() % 16, 0u);
            EXPECT_EQ(TrimBlanks(opened), p);
        }
    }
    EXPECT_NE(TrimBlanks(OpenSealedText(SealText("abc", kPasswordKey, KeyKind::Aes128), "other",
                                        KeyKind::Aes128)),
              "abc");
}

TEST(OpenSealedText, BadInput) {
    EXPECT_EQ(OpenSealedText("", kPasswordKey, KeyKind::Aes128), "");
    EXPECT_EQ(OpenSealedText(std::string(16, '0'), kPasswordKey, KeyKind::Aes128), "");
    EXPECT_THROW(OpenSealedText("ZZ", kPasswordKey, KeyKind::Aes128), ConvertError);
    std::string sealed = SealText("abc", kPasswordKey, KeyKind::Aes128);
    for (const std::string& bad :
         {std::string("0300"), sealed.substr(0, sealed.size() - 2), sealed + "00"}) {
        try {
            OpenSealedText(bad, kPasswordKey, KeyKind::Aes128);
            ADD_FAILURE() << "no CipherError for " << bad;
        } catch (const CipherError& e) {
            EXPECT_STREQ(e.what(), "Invalid buffer size for decryption");
        }
    }
}

TEST(Md5Hex, KnownDigests) {
    EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
}

}  // namespace
