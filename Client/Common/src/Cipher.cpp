#include "common/Cipher.h"

#include <openssl/evp.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::size_t kBlock = 16;
constexpr std::size_t kHeader = 8;

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

const EVP_CIPHER* CipherFor(KeyKind kind, std::size_t& keySize) {
    switch (kind) {
        case KeyKind::Aes128:
            keySize = 16;
            return EVP_aes_128_ecb();
        case KeyKind::Aes192:
            keySize = 24;
            return EVP_aes_192_ecb();
        case KeyKind::Aes256:
            keySize = 32;
            return EVP_aes_256_ecb();
    }
    throw CipherError("Invalid key kind");
}

// Runs whole blocks through AES-ECB without padding.
std::string RunBlocks(std::string_view data, std::string_view key, KeyKind kind, bool encrypt) {
    std::size_t keySize = 0;
    const EVP_CIPHER* cipher = CipherFor(kind, keySize);
    unsigned char keyBuf[32] = {};
    std::memcpy(keyBuf, key.data(), key.size() < keySize ? key.size() : keySize);

    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                        &EVP_CIPHER_CTX_free);
    std::string out(data.size() + kBlock, '\0');
    int n1 = 0, n2 = 0;
    bool ok =
        ctx && EVP_CipherInit_ex(ctx.get(), cipher, nullptr, keyBuf, nullptr, encrypt ? 1 : 0) == 1;
    ok = ok && EVP_CIPHER_CTX_set_padding(ctx.get(), 0) == 1;
    ok = ok && EVP_CipherUpdate(ctx.get(), reinterpret_cast<unsigned char*>(out.data()), &n1,
                                reinterpret_cast<const unsigned char*>(data.data()),
                                static_cast<int>(data.size())) == 1;
    ok = ok &&
         EVP_CipherFinal_ex(ctx.get(), reinterpret_cast<unsigned char*>(out.data()) + n1, &n2) == 1;
    std::memset(keyBuf, 0, sizeof keyBuf);
    if (!ok)
        throw CipherError("Cipher operation failed");
    out.resize(static_cast<std::size_t>(n1 + n2));
    return out;
}

}  // namespace

std::string HexEncode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        out += kHexDigits[b >> 4];
        out += kHexDigits[b & 0x0F];
    }
    return out;
}

std::string HexDecode(std::string_view hex) {
    std::string out;
    out.reserve(hex.size() / 2 + 1);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        std::string_view pair = hex.substr(i, 2);
        int value = 0;
        for (char c : pair) {
            int d = HexValue(c);
            if (d < 0)
                throw ConvertError("'" + std::string(pair) + "' is not a valid hexadecimal value");
            value = value * 16 + d;
        }
        out += static_cast<char>(value);
    }
    return out;
}

std::string SealText(std::string_view plain, std::string_view key, KeyKind kind) {
    std::string data(kHeader, '\0');
    std::uint64_t length = plain.size();
    for (std::size_t i = 0; i < kHeader; ++i)
        data[i] = static_cast<char>(length >> (8 * i));

    std::string padded(plain);
    padded.resize((plain.size() + kBlock - 1) / kBlock * kBlock, '\0');
    if (!padded.empty())
        data += RunBlocks(padded, key, kind, true);
    return HexEncode(data);
}

std::string OpenSealedText(std::string_view sealed, std::string_view key, KeyKind kind) {
    std::string data = HexDecode(sealed);
    // An empty text is what an unset value reads as; it opens to nothing. Any
    // other text too short for the header is as broken as a partial block.
    if (data.empty())
        return {};
    if (data.size() < kHeader || (data.size() - kHeader) % kBlock != 0)
        throw CipherError("Invalid buffer size for decryption");
    std::string_view blocks = std::string_view(data).substr(kHeader);
    if (blocks.empty())
        return {};
    return RunBlocks(blocks, key, kind, false);
}

std::string Md5Hex(std::string_view bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_md5(), nullptr) != 1)
        throw CipherError("MD5 digest failed");
    static constexpr char kLower[] = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < size; ++i) {
        out += kLower[digest[i] >> 4];
        out += kLower[digest[i] & 0x0F];
    }
    return out;
}
